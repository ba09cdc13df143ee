#!/usr/bin/env python3
"""The real program natively on Wayland, with no X server anywhere.

weston's headless compositor runs on a private runtime directory and socket,
torvane on Qt's Wayland platform with the protocol logged (WAYLAND_DEBUG=1).
Ends with status 77 (skipped) where weston or Qt's Wayland plugin is missing.
    test_wayland.py TORVANE QT_PLATFORM_PLUGIN_DIR
"""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from desktop import SKIPPED, wait_for

TORVANE, PLUGIN_DIR = sys.argv[1:3]
SOCKET = "torvane-e2e"
ALIVE_FOR = 3.0


class Wayland(unittest.TestCase):
    def start(self, command, env):
        log = os.path.join(self.runtime, os.path.basename(command[0]) + ".log")
        with open(log, "wb") as output:
            process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=output,
                                       stderr=subprocess.STDOUT)
        self.addCleanup(lambda: process.poll() is not None or (process.kill(), process.wait()))

        def read():
            if process.poll() is not None:
                raise AssertionError(f"{command[0]} ended with status {process.returncode}")
            with open(log, encoding="utf-8", errors="replace") as file:
                return file.read()
        return process, read

    def test_splash_window_is_a_toplevel_and_the_program_stays_up_while_the_compositor_does(self):
        self.runtime = tempfile.mkdtemp(prefix="torvane-wayland-")  # mode 0700, as Wayland wants
        self.addCleanup(shutil.rmtree, self.runtime, ignore_errors=True)
        env = {name: value for name, value in os.environ.items()
               if name not in ("DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM")}
        env["XDG_RUNTIME_DIR"] = self.runtime
        weston_process, weston = self.start(["weston", "--backend=headless-backend.so", f"--socket={SOCKET}",
                                             "--no-config", "--idle-time=0"], env)
        wait_for("weston's socket", lambda: weston() is not None and os.path.exists(f"{self.runtime}/{SOCKET}"))

        torvane, log = self.start([TORVANE], dict(env, WAYLAND_DISPLAY=SOCKET, QT_QPA_PLATFORM="wayland",
                                                  WAYLAND_DEBUG="1"))
        surface, top = wait_for("the splash window's xdg_toplevel", lambda: re.search(
            r"xdg_surface@(\d+)\.get_toplevel\(new id xdg_toplevel@(\d+)\)", log())).groups()
        # Configured by the compositor, and drawn.
        wait_for("the first picture", lambda: re.search(
            rf"xdg_surface@{surface}\.ack_configure\(.*wl_surface@\d+\.attach\(wl_buffer@", log(), re.S))
        self.assertIn(f'xdg_toplevel@{top}.set_title("Torvane")', log())
        # The name of the desktop entry, by which the desktop finds its icon and menu entry.
        self.assertIn(f'xdg_toplevel@{top}.set_app_id("io.github.torvane.Torvane")', log())

        time.sleep(ALIVE_FOR)
        text = log()  # fails if torvane has ended
        self.assertNotIn("wl_display@1.error(", text, "the compositor reported a protocol error")
        self.assertEqual([line for line in text.splitlines() if not line.startswith("[")], [],
                         "torvane printed something besides the protocol log")

        weston_process.kill()
        self.assertEqual(torvane.wait(timeout=30), 1)
        with open(os.path.join(self.runtime, "torvane.log"), encoding="utf-8") as file:
            self.assertIn("The Wayland connection broke. Did the Wayland compositor die?\n", file.read())


if __name__ == "__main__":
    if not shutil.which("weston"):
        print("weston is not installed: skipped")
        sys.exit(SKIPPED)
    if not glob.glob(os.path.join(PLUGIN_DIR, "libqwayland-*.so")):
        print(f"Qt's Wayland platform plugin is not in {PLUGIN_DIR} (Debian package qt6-wayland): skipped")
        sys.exit(SKIPPED)
    unittest.main(argv=sys.argv[:1])
