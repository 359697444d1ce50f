#!/usr/bin/env python3
"""End-to-end tests: the real kestrum under Xvfb, with openbox as window manager where a case
asks for one, driven by real X input (xdotool). Every case has its own HOME and data folder.

Usage: kestrum_e2e.py <path to kestrum>
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

KESTRUM = ""
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


class Home:
    """A private HOME with the data folder of Kestrum and its files."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="kestrum-e2e-")
        self.data = os.path.join(self.root, "data")
        self.run = os.path.join(self.root, "run")
        self.app = os.path.join(self.data, "Brasswick", "Kestrum")
        os.makedirs(self.app)
        os.makedirs(self.run, mode=0o700)

    def path(self, name):
        return os.path.join(self.app, name)

    def write(self, name, text):
        with open(self.path(name), "w", encoding="utf-8", newline="") as f:
            f.write(text)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def env(self):
        return dict(os.environ, DISPLAY=XSERVER.display, QT_QPA_PLATFORM="xcb", HOME=self.root,
                    XDG_DATA_HOME=self.data, XDG_RUNTIME_DIR=self.run, LC_ALL="C.UTF-8")

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


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


class Kestrum:
    """One started copy of the program."""

    def __init__(self, home):
        self.home = home
        self.process = subprocess.Popen([KESTRUM], env=home.env(), stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

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
    def setUp(self):
        self.home = Home()
        self.copies = []
        self.addCleanup(self.home.remove)

    def tearDown(self):
        for copy in self.copies:
            copy.kill()

    def start(self):
        copy = Kestrum(self.home)
        self.copies.append(copy)
        return copy

    def start_and_wait(self):
        copy = self.start()
        window = copy.window()
        if XSERVER.wm:
            wait_for("the window frame", lambda: framed(window))
        return copy, window


class WindowGeometry(KestrumCase):
    """A quit and start leaves cfg.ini byte-identical and the window where it was."""

    def round_trip(self, align):
        stored = (200, 150, 400, 260)
        self.home.write("cfg.ini", config(*stored, align))
        written = []
        for run in range(2):
            copy, window = self.start_and_wait()
            wait_for(f"outer geometry {stored} at start {run + 1}",
                     lambda: outer_geometry(window) == stored)
            self.assertEqual(copy.quit(window), 0)
            written.append(self.home.read("cfg.ini"))
        self.assertEqual(written[0], written[1])
        self.assertIn(b"LEFT=200\r\nTOP=150\r\nWIDTH=400\r\nHEIGHT=260\r\n", written[0])

    def test_round_trip(self):
        for wm in (False, True):
            for align in (0, 1):
                with self.subTest(window_manager=wm, align=align):
                    XSERVER.start_wm(self.home.root) if wm else XSERVER.stop_wm()
                    self.round_trip(align)


# More characters than a 400-pixel window shows: the grid's lines then cross the whole window.
SIX_CHARAS = ["Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot"]


class WithWindowManager(KestrumCase):
    def setUp(self):
        super().setUp()
        if not XSERVER.wm:
            XSERVER.start_wm(self.home.root)

    def test_second_start_hands_over_and_ends(self):
        first, window = self.start_and_wait()
        XSERVER.x("xdotool", "windowminimize", "--sync", window)
        second = self.start()
        second.process.wait(scaled(5))
        self.assertEqual(second.process.returncode, 0)
        wait_for("the first window activated", lambda: int(window) == int(
            XSERVER.x("xprop", "-root", "_NET_ACTIVE_WINDOW").split()[-1], 16))
        self.assertEqual(first.process.poll(), None)

    def test_fixed_size_dialog_asks_for_no_minimise_or_maximise_and_stays_up(self):
        self.home.write("raid.dat", roster(["Alpha"], ["VoN"]))
        copy, window = self.start_and_wait()
        focus(window)
        XSERVER.x("xdotool", "key", "--clearmodifiers", "alt+a")
        dialog = wait_for("the About dialog", lambda: XSERVER.x(
            "xdotool", "search", "--onlyvisible", "--name", "About Kestrum").split())[-1]
        wait_for("the dialog's frame", lambda: framed(dialog))
        self.assertNotIn("_NET_WM_ACTION_MAXIMIZE", XSERVER.x("xprop", "-id", dialog, "_NET_WM_ALLOWED_ACTIONS"))
        flags, functions = motif_functions(dialog)
        self.assertTrue(flags & MWM_HINTS_FUNCTIONS)
        self.assertFalse(functions & (MWM_FUNC_ALL | MWM_FUNC_MINIMIZE | MWM_FUNC_MAXIMIZE))
        # openbox offers to minimise it all the same: the dialog and its window come back at once.
        # Waits until minimised, unless it has come back before xdotool saw it go.
        XSERVER.x("timeout", str(scaled(3)), "xdotool", "windowminimize", "--sync", dialog)
        for shown in (dialog, window):
            wait_for("the window shown again", lambda: is_shown(shown))
        XSERVER.x("xdotool", "key", "--window", dialog, "Escape")
        wait_for("the dialog to close", lambda: not is_shown(dialog))
        self.assertEqual(copy.quit(window), 0)

    def test_press_on_a_partly_visible_ok_button_records_that_character(self):
        self.home.write("raid.dat", roster(SIX_CHARAS, ["VoN", "TF"]))
        self.home.write("cfg.ini", config(100, 100, 400, 260, 1))
        copy, window = self.start_and_wait()
        wait_for("the window's size", lambda: outer_geometry(window) == (100, 100, 400, 260))
        rows, columns = grid_lines(window)
        # columns[0] ends the raid names; the last character column seen is cut by the window edge.
        width = columns[1] - columns[0]
        self.assertGreater(columns[-1] + width, outer_geometry(window)[2], "no character column is cut")
        x, y = columns[-1] + 8, (rows[0] + rows[1]) // 2  # the left part of its first OK button
        XSERVER.x("xdotool", "mousemove", "--window", window, str(x), str(y), "click", "1")
        wait_for("a run in raid.dat", lambda: runs_recorded(self.home.read("raid.dat")))
        self.assertEqual(runs_recorded(self.home.read("raid.dat")), [(SIX_CHARAS[len(columns) - 1], "VoN")])
        self.assertEqual(copy.quit(window), 0)

    def test_character_editor_opens_at_its_stored_outer_height(self):
        self.home.write("raid.dat", roster(SIX_CHARAS, ["VoN", "TF"]))
        self.home.write("cfg.ini", config(100, 100, 400, 260, 1) + "[RDATPOS]\r\nHEIGHT=300\r\n")
        copy, window = self.start_and_wait()
        rows, columns = grid_lines(window)
        x, y = (columns[0] + columns[1]) // 2, rows[0] - 8  # Alpha's name
        XSERVER.x("xdotool", "mousemove", "--window", window, str(x), str(y), "click", "--repeat", "2", "1")
        editor = wait_for("the character editor", lambda: XSERVER.x(
            "xdotool", "search", "--onlyvisible", "--name", "Character Data Editor").split())[-1]
        wait_for("the editor's frame", lambda: framed(editor))
        wait_for("the editor's outer height 300", lambda: outer_geometry(editor)[3] == 300)
        XSERVER.x("xdotool", "key", "--clearmodifiers", "alt+F4")
        wait_for("the editor to close", lambda: not is_shown(editor))
        self.assertRegex(self.home.read("cfg.ini"), rb"\[RDATPOS\]\s+HEIGHT=300\r\n")
        self.assertEqual(copy.quit(window), 0)

    def test_keyboard_records_the_current_cell(self):
        self.home.write("raid.dat", roster(["Alpha", "Bravo", "Charlie"], ["VoN", "TF", "DQ"]))
        copy, window = self.start_and_wait()
        focus(window)
        XSERVER.x("xdotool", "key", "--clearmodifiers", "Right", "Down", "space")
        wait_for("a run in raid.dat", lambda: runs_recorded(self.home.read("raid.dat")))
        self.assertEqual(runs_recorded(self.home.read("raid.dat")), [("Bravo", "TF")])
        self.assertEqual(copy.quit(window), 0)

    def test_changes_by_another_program_are_shown_and_kept(self):
        self.home.write("raid.dat", roster(SIX_CHARAS, ["VoN", "TF"]))
        self.home.write("cfg.ini", config(100, 100, 400, 260, 1))
        copy, window = self.start_and_wait()
        rows, _ = grid_lines(window)

        # A hand edit in place: a raid added.
        self.home.write("raid.dat", roster(SIX_CHARAS, ["VoN", "TF", "DQ"]))
        wait_for("the new raid's row", lambda: len(grid_lines(window)[0]) == len(rows) + 1)
        # A sync tool's replace: a new file renamed over raid.dat, with a character renamed.
        charas = ["Alfa"] + SIX_CHARAS[1:]
        with open(self.home.path(".raid.dat.sync"), "w", encoding="utf-8", newline="") as f:
            f.write(roster(charas, ["VoN", "TF", "DQ", "LoB"]))
        os.replace(self.home.path(".raid.dat.sync"), self.home.path("raid.dat"))
        wait_for("the replaced file's row", lambda: len(grid_lines(window)[0]) == len(rows) + 2)

        focus(window)
        XSERVER.x("xdotool", "key", "--clearmodifiers", "space")
        wait_for("a run in raid.dat", lambda: runs_recorded(self.home.read("raid.dat")))
        data = self.home.read("raid.dat")
        self.assertEqual(runs_recorded(data), [("Alfa", "VoN")])
        self.assertIn(b"3=LoB\r\n", data)
        self.assertNotIn(b"NAME=Alpha\r\n", data)
        self.assertEqual(copy.quit(window), 0)


def main():
    global KESTRUM, XSERVER
    KESTRUM = os.path.abspath(sys.argv.pop(1))
    for program in ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "import"):
        if not shutil.which(program):
            print(f"{program} is missing (scripts/install-deps installs it): skipped", file=sys.stderr)
            return SKIPPED
    XSERVER = XServer()
    try:
        result = unittest.main(exit=False, verbosity=2).result
    finally:
        XSERVER.stop()
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
