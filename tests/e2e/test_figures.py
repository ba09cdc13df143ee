#!/usr/bin/env python3
"""The two Figure commands, typed and clicked as a person would, read back from the screen."""

import desktop

ET_RESULTS = ("txtET", "txt4trap", "txt8th", "txt8thTrap")

# horsepower, weight, then the four results in the order of ET_RESULTS
ET_CASES = [
    ("300", "3000", ("12.55", "108.7", "8.10", "87.7")),
    # The eighth-mile results come from the quarter-mile ones as shown, already
    # rounded: from the unrounded values they would read 9.76 and 72.8.
    ("100", "1750", ("15.12", "90.2", "9.75", "72.7")),
]


class Figures(desktop.SessionTest):
    def test_et_mode_from_the_keyboard(self):
        """Type, Tab to the next field, Tab to the button, Space presses it."""
        with self.desktop() as session:
            main = session.begin()
            for hp, weight, expected in ET_CASES:
                with self.subTest(hp=hp, weight=weight):
                    main.click_control(desktop.MAIN["txtHP1"])
                    main.wait_active()
                    session.key("ctrl+a")
                    session.type(hp)
                    session.key("Tab")  # Tab selects the whole next field
                    session.type(weight)
                    session.key("Tab", "space")
                    results = tuple(session.read_field(main, name) for name in ET_RESULTS)
                    self.assertEqual(results, expected)

    def test_hp_mode_and_back(self):
        with self.desktop() as session:
            main = session.begin()
            session.figure_et(main, "300", "3000")

            session.choose("HP From MPH/Weight", main)
            session.fill(main, "txtWeight", "3000")
            session.fill(main, "txtTrapspeed", "117")
            main.click_control(desktop.MAIN["cmdFigurehp"])
            self.assertEqual(session.read_field(main, "txtHP"), "375.00")

            # Each mode's fields keep their text while the other mode is shown.
            session.choose("ET From HP/Weight", main)
            self.assertEqual(session.read_field(main, "txtET"), "12.55")
            self.assertEqual(session.read_field(main, "txtWeight1"), "3000")
            session.choose("HP From MPH/Weight", main)
            self.assertEqual(session.read_field(main, "txtHP"), "375.00")


if __name__ == "__main__":
    desktop.main()
