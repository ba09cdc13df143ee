#!/usr/bin/env python3
"""A run-time error is reported in a message box, and the program goes on running."""

import desktop
from desktop import MAIN, MESSAGE_TITLE

ET_MODE, HP_MODE = "ET From HP/Weight", "HP From MPH/Weight"

# mode, fields typed first, what is pressed (a menu item or a button), then the
# message box's two texts: the kind of error and its cause
ERRORS = [
    (ET_MODE, {}, "Speed To Appear In KPH",
     "Type mismatch", 'In the quarter-mile trap speed field, "\u2068Text2\u2069" is not a number.'),
    (ET_MODE, {"txtWeight1": "3000"}, "cmdFigureEt",
     "Type mismatch", 'In the horsepower field, "\u2068Enter HP\u2069" is not a number.'),
    (ET_MODE, {"txtHP1": "0"}, "cmdFigureEt",
     "Arithmetic fault", "Division by zero while figuring the 1/4 mile ET."),
    (ET_MODE, {"txtHP1": "-300"}, "cmdFigureEt",
     "Out of range", 'In the horsepower field, "\u2068-300\u2069" is negative; a negative horsepower is refused.'),
    (HP_MODE, {"txtWeight": "3000"}, "cmdFigurehp",
     "Type mismatch", 'In the trap speed field, "\u2068Enter Trap Speed Here\u2069" is not a number.'),
]

# Where a person reads the box: its first line names the error, the text
# below it gives the cause (pixels in the box; the icon stands to the left).
KIND_AT = (70, 18)
CAUSE_AT = (70, 46)


class Errors(desktop.SessionTest):
    def test_reported_and_the_program_goes_on(self):
        with self.desktop() as session:
            main = session.begin()
            for mode, fields, press, kind, cause in ERRORS:
                with self.subTest(press=press, fields=fields):
                    session.choose(mode, main)
                    for name, text in fields.items():
                        session.fill(main, name, text)
                    if press in MAIN:
                        main.click_control(MAIN[press])
                    else:
                        session.choose(press, main)

                    box = session.window(MESSAGE_TITLE)
                    box.wait_active()
                    self.assertEqual(session.read_text_at(box, *KIND_AT), kind)
                    self.assertEqual(session.read_text_at(box, *CAUSE_AT), cause)
                    session.key("Return")
                    session.wait_gone(box)
                    self.assertIsNone(session.program.poll(), "the program is still running")
                    self.assertTrue(main.is_visible())

            # Each failed before writing anything, and a correct Figure works.
            session.choose(ET_MODE, main)
            self.assertEqual(session.read_field(main, "txtET"), "Your ET")
            session.fill(main, "txtHP1", "300")
            main.click_control(MAIN["cmdFigureEt"])
            self.assertEqual(session.read_field(main, "txtET"), "12.55")
            self.assertEqual(session.read_field(main, "txt8thTrap"), "87.7")


if __name__ == "__main__":
    desktop.main()
