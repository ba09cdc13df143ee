#!/usr/bin/env python3
"""Torvane for Windows, as a person gets it, under Wine: the zip unpacked and
the installer run silently, each in an empty Windows, figure 12.55, from the
zip by keys alone; the uninstaller leaves neither the program's folder nor its
Start menu entry.

Usage: test_windows.py torvane-VERSION-win64.zip torvane-VERSION-win64-setup.exe [unittest options]
"""

import os
import pathlib
import shutil
import subprocess
import sys
import unittest

import desktop
import wine

INSTALLED = r"C:\Program Files\Torvane"
START_MENU = ("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "Torvane")
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvane"
MANIFEST = pathlib.Path(__file__).parents[2] / "packaging" / "torvane.exe.manifest"


class Windows(unittest.TestCase):
    zip = None
    installer = None

    def figure(self, session, by_keys=False):
        """Begin, 300 hp and 3000 lb, Figure: the quarter-mile ET; then Exit. By keys alone, Enter presses
        the focused button, Begin and then Figure, and presses nothing in a field."""
        with desktop.places_scaled(session.scale()):
            if by_keys:
                session.splash().wait_active()
                session.key("Return")
                main = session.main_window()
                main.wait_active()
                session.type("300")  # over the prompt, which is selected
                session.key("Tab")
                session.type("3000")
                session.key("Return")
                self.assertEqual(session.read_field(main, "txtET"), "Your ET")
                session.key("shift+Tab", "Return")  # from the quarter-mile ET back to Figure
            else:
                main = session.begin()
                session.figure_et(main, "300", "3000")
            self.assertEqual(session.read_field(main, "txtET"), "12.55")
            session.choose("Exit", main)
            self.assertEqual(session.wait_exit(), 0)

    def test_zip(self):
        with wine.WineSession(wine.unpacked(self.zip), "zip") as session:
            # Resource 1 of type 24 (RT_MANIFEST), as Windows reads it when it starts the program.
            self.assertEqual(subprocess.run(["wrestool", "-x", "--raw", "--type=24", "--name=1", session.executable],
                                            capture_output=True, check=True).stdout, MANIFEST.read_bytes())
            self.figure(session, by_keys=True)

    def test_installer(self):
        def install(session):
            session.wine(self.installer, "/S")
            return INSTALLED + r"\bin\torvane.exe"

        with wine.WineSession(install, "installer") as session:
            folder = session.drive_c("Program Files", "Torvane")
            self.assertTrue(os.path.isfile(session.drive_c(*START_MENU, "Torvane.lnk")))
            self.figure(session)
            # Settings > Apps reads the size in KB, and these flags, as DWORDs.
            key = session.wine("reg", "query", UNINSTALL_KEY)
            size = sum(os.path.getsize(os.path.join(path, name)) for path, _, names in os.walk(folder) for name in names)
            for name, data in ("EstimatedSize", hex(size // 1024)), ("NoModify", "0x1"), ("NoRepair", "0x1"):
                self.assertRegex(key, rf"\n +{name} +REG_DWORD +{data}\r?\n")
            session.wine(INSTALLED + r"\Uninstall.exe", "/S")
            self.assertFalse(os.path.exists(folder), os.listdir(folder) if os.path.exists(folder) else "")
            self.assertFalse(os.path.exists(session.drive_c(*START_MENU)))
            self.assertNotIn("Torvane", session.wine("reg", "query", UNINSTALL_KEY, check=False))


def main():
    if len(sys.argv) < 3:
        sys.exit(f"usage: {sys.argv[0]} ZIP INSTALLER [unittest options]")
    Windows.zip, Windows.installer = (os.path.abspath(path) for path in sys.argv[1:3])
    del sys.argv[1:3]
    missing = sorted({package for tool, package in wine.TOOLS.items() if not shutil.which(tool)})
    if missing:
        print("Skipped: install the Debian packages " + " ".join(missing))
        sys.exit(desktop.SKIPPED)
    unittest.main(module="__main__", verbosity=2)


if __name__ == "__main__":
    main()
