#!/usr/bin/env python3
"""The real program on Wayland, natively, with no X server anywhere.

Starts weston's headless compositor on a private runtime directory and socket,
then torvane on Qt's Wayland platform with the protocol logged
(WAYLAND_DEBUG=1), and reads the log: the splash window must become an
xdg-shell toplevel with its title and the program's application id, be
configured and drawn, and the program must still be running a few seconds
later. Ends with status 77 (skipped) where weston or Qt's Wayland platform
plugin is missing.

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

from desktop import TIMEOUT, wait_for

SKIPPED = 77
ALIVE_FOR = 3.0
SOCKET = "torvane-e2e"

SPLASH_TITLE = "Form1"
APPLICATION_ID = "io.github.torvane.Torvane"  # the name of the desktop entry

TORVANE = sys.argv[1] if len(sys.argv) > 1 else "torvane"
PLUGIN_DIR = sys.argv[2] if len(sys.argv) > 2 else ""


def read(path):
    with open(path, encoding="utf-8", errors="replace") as file:
        return file.read()


class Wayland(unittest.TestCase):
    def setUp(self):
        self.runtime = tempfile.mkdtemp(prefix="torvane-wayland-")  # mode 0700, as Wayland wants
        self.addCleanup(shutil.rmtree, self.runtime, ignore_errors=True)
        self.env = {name: value for name, value in os.environ.items()
                    if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_SOCKET")}
        self.env["XDG_RUNTIME_DIR"] = self.runtime
        self.weston_log = os.path.join(self.runtime, "weston.log")
        self.weston = self.start(["weston", "--backend=headless-backend.so", f"--socket={SOCKET}",
                                  "--no-config", "--idle-time=0"], self.env, self.weston_log)
        wait_for("weston's socket", lambda: os.path.exists(os.path.join(self.runtime, SOCKET))
                 or self.ended(self.weston, self.weston_log))

    def start(self, command, env, log):
        with open(log, "wb") as output:
            process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=output,
                                       stderr=subprocess.STDOUT)
        self.addCleanup(self.stop, process)
        return process

    @staticmethod
    def stop(process):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(TIMEOUT)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    @staticmethod
    def ended(process, log):
        if process.poll() is not None:
            raise AssertionError(f"{process.args[0]} ended with status {process.returncode}:\n{read(log)}")
        return False

    def test_splash_window_is_a_toplevel_and_the_program_stays_up(self):
        log = os.path.join(self.runtime, "torvane.log")
        env = dict(self.env, WAYLAND_DISPLAY=SOCKET, QT_QPA_PLATFORM="wayland", WAYLAND_DEBUG="1")
        torvane = self.start([TORVANE], env, log)

        def toplevel():
            match = re.search(r"xdg_surface@(\d+)\.get_toplevel\(new id xdg_toplevel@(\d+)\)", read(log))
            return match or self.ended(torvane, log)
        surface, top = wait_for("the splash window's xdg_toplevel", toplevel).groups()

        def drawn():
            text = read(log)
            return (re.search(rf"xdg_surface@{surface}\.ack_configure\(", text)
                    and re.search(r"wl_surface@\d+\.attach\(wl_buffer@", text)) or self.ended(torvane, log)
        wait_for("the splash window to be configured and drawn", drawn)
        text = read(log)
        self.assertIn(f'xdg_toplevel@{top}.set_title("{SPLASH_TITLE}")', text)
        self.assertIn(f'xdg_toplevel@{top}.set_app_id("{APPLICATION_ID}")', text)

        time.sleep(ALIVE_FOR)
        self.assertIsNone(torvane.poll(), f"torvane ended with status {torvane.returncode}")
        text = read(log)
        self.assertNotRegex(text, r"wl_display@1\.error\(", "the compositor reported a protocol error")
        self.assertEqual([line for line in text.splitlines() if not line.startswith("[")], [],
                         "torvane printed something besides the protocol log")


def missing():
    if not shutil.which("weston"):
        return "weston is not installed"
    if not glob.glob(os.path.join(PLUGIN_DIR, "libqwayland-*.so")):
        return f"Qt's Wayland platform plugin is not in {PLUGIN_DIR} (Debian package qt6-wayland)"
    return None


if __name__ == "__main__":
    reason = missing()
    if reason:
        print(f"{reason}: skipped")
        sys.exit(SKIPPED)
    unittest.main(argv=sys.argv[:1])
