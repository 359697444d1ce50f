"""What the end-to-end suites share: an X server (Xvfb, with openbox where a case asks for one),
bounded waits, the program's windows seen through xdotool, xprop, xwininfo and ImageMagick, and the
files a case starts from. A suite sets the program's command and its cases' homes, then calls
run_suite()."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

TITLE = "Kestrum for DDO"


def time_scale():
    """KESTRUM_TEST_TIME_SCALE, the factor every time limit of the tests stretches by (1 when unset),
    so that a slow machine can give them more time; a value that is no positive number is reported
    and taken as 1."""
    text = os.environ.get("KESTRUM_TEST_TIME_SCALE", "")
    if not text:
        return 1.0
    try:
        value = float(text)
    except ValueError:
        value = 0.0
    if not 0.0 < value < float("inf"):
        print(f"KESTRUM_TEST_TIME_SCALE={text} is not a positive number; using 1", file=sys.stderr)
        return 1.0
    return value


TIME_SCALE = time_scale()


def scaled(seconds):
    return seconds * TIME_SCALE


TIMEOUT = scaled(10.0)
SKIPPED = 77  # the exit code CTest counts as a skipped test


def wait_for(what, probe, timeout=TIMEOUT, step=0.05):
    """Polls probe() until it returns something true; fails the test with `what` otherwise."""
    end = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(step)


def tool(*args, env=None):
    result = subprocess.run(args, capture_output=True, text=True, env=env)
    return result.stdout if result.returncode == 0 else ""


class XServer:
    """Xvfb on a free display number, and openbox on it when asked."""

    def __init__(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.wm = None

    def x(self, *args):
        return tool(*args, env=dict(os.environ, DISPLAY=self.display))

    def start_wm(self, home):
        if self.wm and self.wm.poll() is None:
            return  # one window manager at a time: a second would refuse and leave the first orphaned
        env = dict(os.environ, DISPLAY=self.display, HOME=home)
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("openbox", lambda: "window id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"),
                 timeout=3 * TIMEOUT)

    def stop_wm(self):
        if self.wm:
            self.wm.terminate()
            self.wm.wait(scaled(5))
            self.wm = None

    def stop(self):
        self.stop_wm()
        self.xvfb.terminate()
        self.xvfb.wait(scaled(5))


XSERVER = None


def config(left, top, width, height, align):
    return (f"[POS]\r\nDPI=96\r\nLEFT={left}\r\nTOP={top}\r\nWIDTH={width}\r\nHEIGHT={height}\r\n"
            f"ALIGN={align}\r\n[FONT]\r\nNAME=Tahoma\r\nSIZE=8\r\n")


def roster(charas, raids):
    """A raid.dat with every timer available and no runs yet."""
    lines = ["[RAID]", f"COUNT={len(raids)}"] + [f"{k}={r}" for k, r in enumerate(raids)]
    lines += ["[CHARA]", f"COUNT={len(charas)}"]
    for i, name in enumerate(charas):
        lines += [f"[CHARA{i}]", f"NAME={name}"]
        for r in raids:
            lines += [f"{r}=1980/01/01 00:00:00", f"{r} COUNT=0"]
    return "\r\n".join(lines) + "\r\n"


def runs_recorded(data):
    """(character, raid) of every timer with a run, read from raid.dat's text."""
    runs, name = [], None
    for line in data.decode("utf-8").splitlines():
        if line.startswith("NAME="):
            name = line[len("NAME="):]
        match = re.fullmatch(r"(.+) COUNT=(\d+)", line)
        if match and name is not None and int(match.group(2)) > 0:
            runs.append((name, match.group(1)))
    return runs


class Home:
    """A case's folder, root, with Kestrum's data folder at app; a suite adds the program's
    environment (env)."""

    encoding = "utf-8"  # what the program reads and writes

    def __init__(self, data_below_root):
        self.root = tempfile.mkdtemp(prefix="kestrum-e2e-")
        self.app = os.path.join(self.root, data_below_root, "Brasswick", "Kestrum")
        os.makedirs(self.app)

    def path(self, name):
        return os.path.join(self.app, name)

    def write(self, name, text):
        with open(self.path(name), "w", encoding=self.encoding, newline="") as f:
            f.write(text)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


class Kestrum:
    """One started copy of the program."""

    def __init__(self, command, env):
        self.process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def window(self):
        """The main window, once it is shown and has read its files."""
        return wait_for("the main window", lambda: XSERVER.x(
            "xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid), "--name", TITLE).split())[0]

    def quit(self, window):
        """Quits through the menu, the normal close path that writes cfg.ini."""
        focus(window)
        XSERVER.x("xdotool", "key", "--clearmodifiers", "alt+q")
        self.process.wait(TIMEOUT)
        return self.process.returncode

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def focus(window):
    if XSERVER.wm:
        XSERVER.x("xdotool", "windowactivate", "--sync", window)
    else:
        XSERVER.x("xdotool", "windowfocus", "--sync", window)


def outer_geometry(window):
    """The window's outer rectangle (left, top, width, height), frame included."""
    info = XSERVER.x("xwininfo", "-id", window)
    if not info:
        return None
    field = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
    extents = re.findall(r"-?\d+", XSERVER.x("xprop", "-id", window, "_NET_FRAME_EXTENTS").split("=")[-1])
    left, right, top, bottom = (int(e) for e in extents) if len(extents) == 4 else (0, 0, 0, 0)
    return (field("Absolute upper-left X") - left, field("Absolute upper-left Y") - top,
            field("Width") + left + right, field("Height") + top + bottom)


MWM_HINTS_FUNCTIONS = 1
MWM_FUNC_ALL, MWM_FUNC_MINIMIZE, MWM_FUNC_MAXIMIZE = 1, 8, 16


def motif_functions(window):
    """The flags and functions fields of the window's _MOTIF_WM_HINTS."""
    fields = XSERVER.x("xprop", "-id", window, "_MOTIF_WM_HINTS").split("=")[-1].split(",")
    return int(fields[0], 0), int(fields[1], 0)


def is_shown(window):
    return "IsViewable" in XSERVER.x("xwininfo", "-id", window) and "_NET_WM_STATE_HIDDEN" not in XSERVER.x(
        "xprop", "-id", window, "_NET_WM_STATE")


class Screenshot:
    """The window's client area as grey levels, from ImageMagick's import."""

    def __init__(self, window):
        ppm = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"], capture_output=True,
                             env=dict(os.environ, DISPLAY=XSERVER.display), check=True).stdout
        magic, size, _, pixels = ppm.split(b"\n", 3)
        assert magic == b"P6"
        self.width, self.height = map(int, size.split())
        self.pixels = pixels

    def grey(self, x, y):
        return self.pixels[(y * self.width + x) * 3]

    def grid_lines(self):
        """(horizontal, vertical): the grid's lines, one grey level across the window; None while
        fewer than two of each are drawn."""
        def uniform(values):
            level = max(set(values), key=values.count)
            return level if values.count(level) >= 0.95 * len(values) and level < 235 else None
        rows = [(y, uniform([self.grey(x, y) for x in range(self.width)])) for y in range(self.height)]
        rows = [(y, level) for y, level in rows if level is not None]
        if not rows:
            return None
        line_grey = rows[-1][1]  # the bottom line of the last raid
        horizontal = [y for y, level in rows if level == line_grey]
        if len(horizontal) < 2:
            return None
        first_row = range(horizontal[0] + 1, horizontal[1])
        vertical = [x for x in range(self.width) if all(self.grey(x, y) == line_grey for y in first_row)]
        return (horizontal, vertical) if len(vertical) >= 2 else None


def grid_lines(window):
    """The grid's lines once the window shows the grid."""
    return wait_for("the grid drawn", lambda: Screenshot(window).grid_lines())


def framed(window):
    return "=" in XSERVER.x("xprop", "-id", window, "_NET_FRAME_EXTENTS")


class KestrumCase(unittest.TestCase):
    """A case with a home of its own (make_home) in which it starts copies of the program (command)."""

    def make_home(self):
        raise NotImplementedError

    def command(self):
        raise NotImplementedError

    def setUp(self):
        self.home = self.make_home()
        self.copies = []
        self.addCleanup(self.home.remove)

    def tearDown(self):
        for copy in self.copies:
            copy.kill()

    def start(self):
        copy = Kestrum(self.command(), self.home.env())
        self.copies.append(copy)
        return copy

    def start_and_wait(self):
        copy = self.start()
        window = copy.window()
        if XSERVER.wm:
            wait_for("the window frame", lambda: framed(window))
        return copy, window


def run_suite(tools, prepare=None):
    """Runs the calling module's cases on a fresh X server, after prepare() when given; SKIPPED when
    a tool is missing."""
    global XSERVER
    for program in ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "import") + tuple(tools):
        if not shutil.which(program):
            print(f"{program} is missing (scripts/install-deps installs it): skipped", file=sys.stderr)
            return SKIPPED
    XSERVER = XServer()
    try:
        if prepare:
            prepare()
        result = unittest.main(module="__main__", exit=False, verbosity=2).result
    finally:
        XSERVER.stop()
    return 0 if result.wasSuccessful() else 1
