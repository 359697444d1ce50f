#!/usr/bin/env python3
"""End-to-end tests of the Windows program: kestrum.exe under Wine on Xvfb with openbox, driven by
real X input (xdotool), in a Japanese locale (code page 932). The suite makes a Wine prefix of its
own; every case gets its own AppData folder in it.

Usage: kestrum_wine_e2e.py <wine> <wineserver> <kestrum.exe> <setup.exe> <fontconfig file>
"""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

import e2e_support as e2e
from e2e_support import config, focus, is_shown, outer_geometry, roster, scaled, wait_for

WINE = WINESERVER = KESTRUM = SETUP = FONTCONFIG = ""
PREFIX = ""
LOCALE = "ja_JP.UTF-8"


def wine_env(**extra):
    return dict(os.environ, WINEPREFIX=PREFIX, WINEDEBUG="-all", LANG=LOCALE, LC_ALL=LOCALE,
                FONTCONFIG_FILE=FONTCONFIG, DISPLAY=e2e.XSERVER.display, **extra)


def wine(*args, env=None):
    """Runs a Windows program to its end; its output goes through a file, as the services Wine
    starts would hold a pipe open after it ends. Wine's console speaks the locale's code page."""
    with tempfile.TemporaryFile() as out:
        result = subprocess.run([WINE, *args], env=env or wine_env(), stdout=out, stderr=subprocess.DEVNULL,
                                timeout=scaled(120))
        out.seek(0)
        result.stdout = out.read().decode("cp932", errors="replace")
    return result


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def make_prefix():
    """A fresh prefix whose AppData shell folder is %KESTRUM_TEST_APPDATA%."""
    global PREFIX
    PREFIX = tempfile.mkdtemp(prefix="kestrum-wine-e2e-")
    # A server kept up for the whole suite: one started by a case's program would take the services
    # it starts with it down when that program ends, and hold the output open meanwhile.
    subprocess.run([WINESERVER, "-p"], env=wine_env(), check=True)
    wine("wineboot", "-i")
    wine("reg", "add", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders",
         "/v", "AppData", "/t", "REG_EXPAND_SZ", "/d", "%KESTRUM_TEST_APPDATA%", "/f")


class Home(e2e.Home):
    """The case's AppData folder, with Kestrum's folder in it."""

    encoding = "cp932"

    def __init__(self):
        super().__init__("")

    def env(self):
        return wine_env(KESTRUM_TEST_APPDATA=windows_path(self.root))


class KestrumCase(e2e.KestrumCase):
    def make_home(self):
        return Home()

    def command(self):
        return [WINE, KESTRUM]

    def setUp(self):
        super().setUp()
        if not e2e.XSERVER.wm:
            e2e.XSERVER.start_wm(self.home.root)

    def keys(self, window, *keys):
        focus(window)
        e2e.XSERVER.x("xdotool", "key", "--clearmodifiers", *keys)


def windows_date(text):
    """Whether a stored end is in the Japanese Windows short date and long time, quoted."""
    return re.fullmatch(r'"\d{4}/\d{2}/\d{2} \d{1,2}:\d{2}:\d{2}"', text) is not None


class WindowsProgram(KestrumCase):
    def test_roster_in_code_page_932_records_a_run_from_the_keyboard(self):
        self.home.write("raid.dat", roster(["アイラ", "Bren"], ["VoN", "TF"]))
        copy, window = self.start_and_wait()
        self.keys(window, "space")
        wait_for("a run in raid.dat", lambda: b"VoN COUNT=1" in self.home.read("raid.dat"))
        text = self.home.read("raid.dat").decode("cp932")
        self.assertIn("NAME=アイラ\r\n", text)
        first = text[text.index("[CHARA0]"):text.index("[CHARA1]")]
        ended = re.search(r"^VoN=(.*)\r$", first, re.M).group(1)
        self.assertTrue(windows_date(ended), ended)  # the Japanese Windows short date and long time
        self.assertIn("TF COUNT=0", first)
        self.assertEqual(copy.quit(window), 0)

    def test_add_character_dialog_adds_the_name_typed(self):
        self.home.write("raid.dat", roster(["Alpha"], ["VoN"]))
        copy, window = self.start_and_wait()
        self.keys(window, "alt+c", "Return")
        dialog = wait_for("the Add Character dialog", lambda: [
            w for w in e2e.XSERVER.x("xdotool", "search", "--onlyvisible", "--pid", str(copy.process.pid),
                                     "--name", ".").split() if w != window])[-1]
        e2e.XSERVER.x("xdotool", "type", "--window", dialog, "Bravo")
        self.keys(dialog, "Tab", "space")  # from the name to OK
        wait_for("the character in raid.dat", lambda: b"NAME=Bravo\r\n" in self.home.read("raid.dat"))
        self.assertEqual(copy.quit(window), 0)

    def test_quit_and_start_keep_the_window_where_it_was(self):
        self.home.write("cfg.ini", config(200, 150, 400, 260, 0))
        written, placed = [], []
        for run in range(2):
            copy, window = self.start_and_wait()
            placed.append(wait_for(f"the window placed at start {run + 1}", lambda: outer_geometry(window)))
            self.assertEqual(copy.quit(window), 0)
            written.append(self.home.read("cfg.ini"))
        self.assertEqual(written[0], written[1])
        self.assertEqual(placed[0], placed[1])
        self.assertIn(b"LEFT=200\r\nTOP=150\r\nWIDTH=400\r\nHEIGHT=260\r\n", written[0])

    def test_second_start_hands_over_and_brings_a_minimised_window_back(self):
        first, window = self.start_and_wait()
        e2e.XSERVER.x("xdotool", "windowminimize", "--sync", window)
        wait_for("the window minimised", lambda: not is_shown(window))
        second = self.start()
        second.process.wait(scaled(30))
        self.assertEqual(second.process.returncode, 0)
        wait_for("the first window back", lambda: is_shown(window))
        wait_for("the first window active", lambda: int(window) == int(
            e2e.XSERVER.x("xprop", "-root", "_NET_ACTIVE_WINDOW").split()[-1], 16))
        self.assertIsNone(first.process.poll())
        self.assertEqual(first.quit(window), 0)

    def test_second_start_brings_the_open_dialog_in_front_of_another_program(self):
        first, window = self.start_and_wait()
        self.keys(window, "alt+a")
        dialog = wait_for("the About dialog", lambda: e2e.XSERVER.x(
            "xdotool", "search", "--onlyvisible", "--name", "About Kestrum").split())[-1]
        other = subprocess.Popen(["xmessage", "-name", "other", "another program"],
                                 env=dict(os.environ, DISPLAY=e2e.XSERVER.display))
        self.addCleanup(other.kill)
        shown = wait_for("the other program's window", lambda: e2e.XSERVER.x(
            "xdotool", "search", "--onlyvisible", "--pid", str(other.pid), "--name", ".").split())[-1]
        focus(shown)
        second = self.start()
        second.process.wait(scaled(30))
        self.assertEqual(second.process.returncode, 0)
        wait_for("the dialog active", lambda: int(dialog) == int(
            e2e.XSERVER.x("xprop", "-root", "_NET_ACTIVE_WINDOW").split()[-1], 16))
        self.keys(dialog, "Escape")
        wait_for("the dialog closed", lambda: not is_shown(dialog))
        self.assertEqual(first.quit(window), 0)


class Installer(KestrumCase):
    def test_installs_and_uninstalls_silently_leaving_the_roster(self):
        self.home.write("raid.dat", roster(["Alpha"], ["VoN"]))
        roster_bytes = self.home.read("raid.dat")
        env = self.home.env()
        self.assertEqual(wine(SETUP, "/S", env=env).returncode, 0)
        installed = lambda: glob.glob(os.path.join(PREFIX, "drive_c/users/*/AppData/Local/Programs/Kestrum"))
        folder = wait_for("the installed folder", installed)[0]
        for name in ("kestrum.exe", "README.txt", "LICENSE.txt", "uninstall.exe"):
            self.assertTrue(os.path.isfile(os.path.join(folder, name)), name)
        links = glob.glob(os.path.join(PREFIX, "drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kestrum.lnk"))
        self.assertEqual(len(links), 1)
        key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brasswick.Kestrum"
        listed = wine("reg", "query", key, env=env).stdout
        self.assertIn("uninstall.exe", listed)
        self.assertRegex(listed, r"DisplayName\s+REG_SZ\s+Kestrum")

        self.assertEqual(wine(os.path.join(folder, "uninstall.exe"), "/S", env=env).returncode, 0)
        # The uninstaller goes on from a copy of itself in the temporary folder.
        wait_for("the folder removed", lambda: not os.path.exists(folder), timeout=scaled(60))
        self.assertFalse(any(os.path.exists(link) for link in links))
        self.assertNotEqual(wine("reg", "query", key, env=env).returncode, 0)
        self.assertEqual(self.home.read("raid.dat"), roster_bytes)


def main():
    global WINE, WINESERVER, KESTRUM, SETUP, FONTCONFIG
    WINE, WINESERVER, KESTRUM, SETUP, FONTCONFIG = sys.argv[1:6]
    del sys.argv[1:6]
    if not (os.path.isfile(KESTRUM) and os.path.isfile(SETUP)):
        print("kestrum.exe or the installer is missing", file=sys.stderr)
        return 1
    try:
        return e2e.run_suite(("xmessage",), prepare=make_prefix)
    finally:
        if PREFIX:
            subprocess.run([WINESERVER, "-k"], env=dict(os.environ, WINEPREFIX=PREFIX), capture_output=True)
            shutil.rmtree(PREFIX, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
