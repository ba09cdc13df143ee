#!/usr/bin/env python3
"""Takes the pictures of the program's windows shown in the README.

Usage: screenshots.py path/to/torvane output-folder

It drives the program the way the end-to-end tests do (tests/e2e/desktop.py):
on its own Xvfb with Openbox, so the windows wear their frames.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
sys.dont_write_bytecode = True
import desktop  # noqa: E402
from desktop import FAQ_TITLE, MAIN, wait_for  # noqa: E402

MARGIN = 8
MARGIN_COLOUR = "#d8d8d8"


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
    picture = grab(session, window)
    subprocess.run(["convert", "png:-", "-bordercolor", MARGIN_COLOUR, "-border", str(MARGIN),
                    "-strip", path], input=picture, check=True)
    print(path)


def expect(session, main, fields):
    for name, text in fields.items():
        shown = session.read_field(main, name)
        if shown != text:
            raise desktop.Failure(f"{name} shows {shown!r}, not {text!r}")


def main():
    executable, folder = sys.argv[1:3]
    os.makedirs(folder, exist_ok=True)
    path = lambda name: os.path.join(folder, name + ".png")
    with desktop.Session(executable, name="screenshots") as session:
        save(session, session.splash(), path("splash"))

        main = session.begin()
        session.figure_et(main, "300", "3000")
        expect(session, main, {"txtET": "12.55", "txt4trap": "108.7", "txt8th": "8.10",
                               "txt8thTrap": "87.7"})
        main.click_control(MAIN["cmdFigureEt"])  # the focus leaves the field just read
        save(session, main, path("main-et-mode"))

        session.choose("HP From MPH/Weight", main)
        session.fill(main, "txtWeight", "3000")
        session.fill(main, "txtTrapspeed", "117")
        main.click_control(MAIN["cmdFigurehp"])
        expect(session, main, {"txtHP": "375.00"})
        main.click_control(MAIN["cmdFigurehp"])
        save(session, main, path("main-hp-mode"))

        session.choose("FAQ", main)
        save(session, session.window(FAQ_TITLE), path("faq"))


if __name__ == "__main__":
    main()
