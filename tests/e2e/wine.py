"""The real torvane.exe under Wine, driven as desktop.Session drives the Linux one.

A WineSession makes a Wine prefix of its own, an empty Windows, when its
desktop starts, so nothing a test installs outlives it. Wine shares its
clipboard with X, so fields are read back as on Linux. The layout follows
Wine's desktop font, so the places to click are scaled to the size the
splash window shows at (desktop.places_scaled).
"""

import glob
import os
import subprocess
import zipfile

import desktop

TOOLS = {"wine": "wine", "wineboot": "wine", "wineserver": "wine", "wrestool": "icoutils", **desktop.TOOLS}

# The time Wine may take to make a prefix on a busy machine.
PREFIX_TIMEOUT = 300

# Wine's own fonts (Debian's fonts-wine): where Windows keeps its fonts, they
# give Wine's desktop the face it asks for, Tahoma.
WINE_FONTS = "/usr/share/wine/fonts"


class WineSession(desktop.Session):
    """`prepare(session)`, run once the prefix is made, puts the program in it
    and returns the path of torvane.exe."""

    CLASS_NAME = "torvane.exe"

    def __init__(self, prepare, name="wine"):
        super().__init__(executable="torvane.exe", name=name)
        self.prepare = prepare

    def command(self):
        return ["wine", self.executable]

    def drive_c(self, *path):
        return os.path.join(self.env["WINEPREFIX"], "drive_c", *path)

    def wine(self, *command, timeout=PREFIX_TIMEOUT, check=True):
        """Runs a Windows program to its end, and every process it started too; returns its output."""
        env = {key: value for key, value in self.env.items() if key != "DISPLAY"}
        run = subprocess.run(["wine", *command], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=timeout, check=check, text=True)
        subprocess.run(["wineserver", "-w"], env=env, timeout=timeout, check=True)
        return run.stdout

    def _start_desktop(self):
        super()._start_desktop()
        # No chatter, no offer to fetch .NET or Gecko, no Linux menu entries
        # for the Windows ones.
        self.env.update(WINEPREFIX=os.path.join(self.home, "wine"), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=")
        env = {key: value for key, value in self.env.items() if key != "DISPLAY"}
        subprocess.run(["wineboot", "--init"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=PREFIX_TIMEOUT, check=True)
        subprocess.run(["wineserver", "-w"], env=env, timeout=PREFIX_TIMEOUT, check=True)
        for font in glob.glob(os.path.join(WINE_FONTS, "*.ttf")):
            os.symlink(font, self.drive_c("windows", "Fonts", os.path.basename(font)))
        self.executable = self.prepare(self)

    def _stop(self):
        if self.env and "WINEPREFIX" in self.env:
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=desktop.TIMEOUT, check=False)
        super()._stop()

    def scale(self):
        """The factor the layout is scaled by, from the splash window's width."""
        return self.splash().geometry()[2] / desktop.SPLASH_SIZE[0]


def unpacked(zip_path):
    """A WineSession's `prepare` that unpacks the zip into C:\\ and finds the program in it."""
    def prepare(session):
        with zipfile.ZipFile(zip_path) as archive:
            archive.extractall(session.drive_c())
        found = glob.glob(session.drive_c("*", "bin", "torvane.exe"))
        if len(found) != 1:
            raise desktop.Failure(f"the zip holds {len(found)} bin/torvane.exe")
        return found[0]
    return prepare
