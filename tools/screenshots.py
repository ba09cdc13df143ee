#!/usr/bin/env python3
"""Takes the pictures of the program's windows shown in the README.

Usage: screenshots.py path/to/torvane output-folder
       screenshots.py --windows path/to/torvane-VERSION-win64.zip output-folder

It drives the program the way the end-to-end tests do (tests/e2e/desktop.py):
on its own Xvfb with Openbox, so the windows wear their frames. It takes
every window as the program first shows it, then again with a 20 pt desktop
font and in a dark colour scheme, both set through qt6ct. With --windows it
takes the splash window and ET mode of the Windows program under Wine.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
sys.dont_write_bytecode = True
import desktop  # noqa: E402
from desktop import FAQ_TITLE, wait_for  # noqa: E402

MARGIN = 8
MARGIN_COLOUR = "#d8d8d8"
DESIGN_POINT_SIZE = 9  # the layouts' pixels are for this font size; others scale them

# name suffix, desktop font size in points, qt6ct colour scheme (None: Qt's own palette)
LOOKS = [
    ("", None, None),
    ("-20pt", 20, None),
    ("-dark", None, "/usr/share/qt6ct/colors/darker.conf"),
]


class StyledSession(desktop.Session):
    """A session whose program reads its font and colours from a qt6ct configuration."""

    def __init__(self, executable, name, point_size, colours):
        super().__init__(executable, name=name)
        self.point_size = point_size
        self.colours = colours

    def _start_desktop(self):
        super()._start_desktop()
        if self.point_size is None and self.colours is None:
            return
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "qt6ct")
        os.makedirs(folder)
        size = self.point_size or DESIGN_POINT_SIZE
        lines = ["[Appearance]", "style=Fusion", "standard_dialogs=default", "icon_theme=",
                 f"custom_palette={'true' if self.colours else 'false'}",
                 f"color_scheme_path={self.colours or ''}",
                 "", "[Fonts]",
                 f'general="Sans Serif,{size},-1,5,400,0,0,0,0,0,0,0,0,0,0,1"',
                 f'fixed="Monospace,{size},-1,5,400,0,0,0,0,0,0,0,0,0,0,1"', ""]
        with open(os.path.join(folder, "qt6ct.conf"), "w") as conf:
            conf.write("\n".join(lines))
        self.env["QT_QPA_PLATFORMTHEME"] = "qt6ct"


def grab(session, window):
    """The window with its frame, as PNG bytes, once two grabs in a row agree."""
    x, y, width, height = window.geometry()
    left, right, top, bottom = window.frame_extents() or (0, 0, 0, 0)
    area = f"{width + left + right}x{height + top + bottom}+{x - left}+{y - top}"
    previous = None

    def settled():
        nonlocal previous
        time.sleep(0.2)  # give a repaint the chance to land between two grabs
        picture = subprocess.run(["import", "-window", "root", "-crop", area, "+repage", "png:-"],
                                 env=session.env, capture_output=True, check=True).stdout
        same = picture == previous
        previous = picture
        return same
    wait_for("the window to stop changing", settled)
    return previous


def save(session, window, path):
    """The window, framed by a margin, in at most 256 colours: the pictures are committed."""
    picture = grab(session, window)
    subprocess.run(["convert", "png:-", "-bordercolor", MARGIN_COLOUR, "-border", str(MARGIN),
                    "-strip", "-dither", "None", "-colors", "256", "PNG8:" + path], input=picture, check=True)
    subprocess.run(["optipng", "-quiet", "-o5", path], check=True)
    print(path)


def expect(session, main, fields):
    for name, text in fields.items():
        shown = session.read_field(main, name)
        if shown != text:
            raise desktop.Failure(f"{name} shows {shown!r}, not {text!r}")


def take(executable, path, suffix, point_size, colours):
    """Each window in one look; HP mode only in the first."""
    factor = (point_size or DESIGN_POINT_SIZE) / DESIGN_POINT_SIZE
    with desktop.places_scaled(factor), StyledSession(executable, "screenshots" + suffix,
                                              point_size, colours) as session:
        save(session, session.splash(), path("splash" + suffix))

        main = session.begin()
        session.figure_et(main, "300", "3000")
        expect(session, main, {"txtET": "12.55", "txt4trap": "108.7", "txt8th": "8.10",
                               "txt8thTrap": "87.7"})
        main.click_control(desktop.MAIN["cmdFigureEt"])  # the focus leaves the field just read
        save(session, main, path("main-et-mode" + suffix))

        if not suffix:
            session.choose("HP From MPH/Weight", main)
            session.fill(main, "txtWeight", "3000")
            session.fill(main, "txtTrapspeed", "117")
            main.click_control(desktop.MAIN["cmdFigurehp"])
            expect(session, main, {"txtHP": "375.00"})
            main.click_control(desktop.MAIN["cmdFigurehp"])
            save(session, main, path("main-hp-mode"))

        session.choose("FAQ", main)
        save(session, session.window(FAQ_TITLE), path("faq" + suffix))


def take_windows(zip_path, path):
    """The splash window and ET mode of the Windows program, from its zip, under Wine."""
    import wine
    with wine.WineSession(wine.unpacked(zip_path), "screenshots-windows") as session:
        save(session, session.splash(), path("windows-splash"))
        with desktop.places_scaled(session.scale()):
            main = session.begin()
            session.figure_et(main, "300", "3000")
            expect(session, main, {"txtET": "12.55", "txt4trap": "108.7", "txt8th": "8.10",
                                   "txt8thTrap": "87.7"})
            main.click_control(desktop.MAIN["cmdFigureEt"])
            save(session, main, path("windows-et-mode"))


def main():
    windows = sys.argv[1] == "--windows"
    executable, folder = sys.argv[1 + windows:3 + windows]
    os.makedirs(folder, exist_ok=True)
    path = lambda name: os.path.join(folder, name + ".png")
    if windows:
        take_windows(executable, path)
        return
    for suffix, point_size, colours in LOOKS:
        take(executable, path, suffix, point_size, colours)


if __name__ == "__main__":
    main()
