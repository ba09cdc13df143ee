#!/usr/bin/env python3
"""Options > Appearance converts the two trap speeds shown, in place."""

import desktop

TRAP_SPEEDS = ("txt4trap", "txt8thTrap")

# menu item, then the trap speeds it leaves, one after the other
STEPS = [
    ("Speed To Appear In KPH", ("145.2", "117.0")),
    # No unit is remembered: each command converts again.
    ("Speed To Appear In KPH", ("233.7", "188.3")),
    ("Speed Appear In MPH (Default)", ("145.2", "117.0")),
]


class SpeedUnits(desktop.SessionTest):
    def test_kph_then_mph(self):
        with self.desktop() as session:
            main = session.begin()
            session.figure_et(main, "100", "1750")
            self.assertEqual(tuple(session.read_field(main, name) for name in TRAP_SPEEDS),
                             ("90.2", "72.7"))
            for number, (item, expected) in enumerate(STEPS, 1):
                with self.subTest(step=number, item=item):
                    session.choose(item, main)
                    speeds = tuple(session.read_field(main, name) for name in TRAP_SPEEDS)
                    self.assertEqual(speeds, expected)
            # The ETs are not speeds and stay as they were.
            self.assertEqual(session.read_field(main, "txtET"), "15.12")


if __name__ == "__main__":
    desktop.main()
