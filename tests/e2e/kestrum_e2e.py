#!/usr/bin/env python3
"""End-to-end tests: the real kestrum under Xvfb, with openbox as window manager where a case
asks for one, driven by real X input (xdotool). Every case has its own HOME and data folder.

Usage: kestrum_e2e.py <path to kestrum>
"""

import os
import sys

import e2e_support as e2e
from e2e_support import (config, focus, framed, grid_lines, is_shown, motif_functions, outer_geometry,
                         roster, runs_recorded, scaled, wait_for, MWM_FUNC_ALL, MWM_FUNC_MAXIMIZE,
                         MWM_FUNC_MINIMIZE, MWM_HINTS_FUNCTIONS)

KESTRUM = ""


class Home(e2e.Home):
    """A private HOME with the data folder of Kestrum and its files."""

    def __init__(self):
        super().__init__("data")
        self.data = os.path.join(self.root, "data")
        self.run = os.path.join(self.root, "run")
        os.makedirs(self.run, mode=0o700)

    def env(self):
        return dict(os.environ, DISPLAY=e2e.XSERVER.display, QT_QPA_PLATFORM="xcb", HOME=self.root,
                    XDG_DATA_HOME=self.data, XDG_RUNTIME_DIR=self.run, LC_ALL="C.UTF-8")


class KestrumCase(e2e.KestrumCase):
    def make_home(self):
        return Home()

    def command(self):
        return [KESTRUM]


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
                    e2e.XSERVER.start_wm(self.home.root) if wm else e2e.XSERVER.stop_wm()
                    self.round_trip(align)


# More characters than a 400-pixel window shows: the grid's lines then cross the whole window.
SIX_CHARAS = ["Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot"]


class WithWindowManager(KestrumCase):
    def setUp(self):
        super().setUp()
        if not e2e.XSERVER.wm:
            e2e.XSERVER.start_wm(self.home.root)

    def test_second_start_hands_over_and_ends(self):
        first, window = self.start_and_wait()
        e2e.XSERVER.x("xdotool", "windowminimize", "--sync", window)
        second = self.start()
        second.process.wait(scaled(5))
        self.assertEqual(second.process.returncode, 0)
        wait_for("the first window activated", lambda: int(window) == int(
            e2e.XSERVER.x("xprop", "-root", "_NET_ACTIVE_WINDOW").split()[-1], 16))
        self.assertEqual(first.process.poll(), None)

    def test_fixed_size_dialog_asks_for_no_minimise_or_maximise_and_stays_up(self):
        self.home.write("raid.dat", roster(["Alpha"], ["VoN"]))
        copy, window = self.start_and_wait()
        focus(window)
        e2e.XSERVER.x("xdotool", "key", "--clearmodifiers", "alt+a")
        dialog = wait_for("the About dialog", lambda: e2e.XSERVER.x(
            "xdotool", "search", "--onlyvisible", "--name", "About Kestrum").split())[-1]
        wait_for("the dialog's frame", lambda: framed(dialog))
        self.assertNotIn("_NET_WM_ACTION_MAXIMIZE", e2e.XSERVER.x("xprop", "-id", dialog, "_NET_WM_ALLOWED_ACTIONS"))
        flags, functions = motif_functions(dialog)
        self.assertTrue(flags & MWM_HINTS_FUNCTIONS)
        self.assertFalse(functions & (MWM_FUNC_ALL | MWM_FUNC_MINIMIZE | MWM_FUNC_MAXIMIZE))
        # openbox offers to minimise it all the same: the dialog and its window come back at once.
        # Waits until minimised, unless it has come back before xdotool saw it go.
        e2e.XSERVER.x("timeout", str(scaled(3)), "xdotool", "windowminimize", "--sync", dialog)
        for shown in (dialog, window):
            wait_for("the window shown again", lambda: is_shown(shown))
        e2e.XSERVER.x("xdotool", "key", "--window", dialog, "Escape")
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
        e2e.XSERVER.x("xdotool", "mousemove", "--window", window, str(x), str(y), "click", "1")
        wait_for("a run in raid.dat", lambda: runs_recorded(self.home.read("raid.dat")))
        self.assertEqual(runs_recorded(self.home.read("raid.dat")), [(SIX_CHARAS[len(columns) - 1], "VoN")])
        self.assertEqual(copy.quit(window), 0)

    def test_character_editor_opens_at_its_stored_outer_height(self):
        self.home.write("raid.dat", roster(SIX_CHARAS, ["VoN", "TF"]))
        self.home.write("cfg.ini", config(100, 100, 400, 260, 1) + "[RDATPOS]\r\nHEIGHT=300\r\n")
        copy, window = self.start_and_wait()
        rows, columns = grid_lines(window)
        x, y = (columns[0] + columns[1]) // 2, rows[0] - 8  # Alpha's name
        e2e.XSERVER.x("xdotool", "mousemove", "--window", window, str(x), str(y), "click", "--repeat", "2", "1")
        editor = wait_for("the character editor", lambda: e2e.XSERVER.x(
            "xdotool", "search", "--onlyvisible", "--name", "Character Data Editor").split())[-1]
        wait_for("the editor's frame", lambda: framed(editor))
        wait_for("the editor's outer height 300", lambda: outer_geometry(editor)[3] == 300)
        e2e.XSERVER.x("xdotool", "key", "--clearmodifiers", "alt+F4")
        wait_for("the editor to close", lambda: not is_shown(editor))
        self.assertRegex(self.home.read("cfg.ini"), rb"\[RDATPOS\]\s+HEIGHT=300\r\n")
        self.assertEqual(copy.quit(window), 0)

    def test_keyboard_records_the_current_cell(self):
        self.home.write("raid.dat", roster(["Alpha", "Bravo", "Charlie"], ["VoN", "TF", "DQ"]))
        copy, window = self.start_and_wait()
        focus(window)
        e2e.XSERVER.x("xdotool", "key", "--clearmodifiers", "Right", "Down", "space")
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
        e2e.XSERVER.x("xdotool", "key", "--clearmodifiers", "space")
        wait_for("a run in raid.dat", lambda: runs_recorded(self.home.read("raid.dat")))
        data = self.home.read("raid.dat")
        self.assertEqual(runs_recorded(data), [("Alfa", "VoN")])
        self.assertIn(b"3=LoB\r\n", data)
        self.assertNotIn(b"NAME=Alpha\r\n", data)
        self.assertEqual(copy.quit(window), 0)



if __name__ == "__main__":
    KESTRUM = os.path.abspath(sys.argv.pop(1))
    sys.exit(e2e.run_suite(()))
