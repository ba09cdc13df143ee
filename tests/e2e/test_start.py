#!/usr/bin/env python3
"""From the splash window to the main window, on a real X server."""

import desktop
from desktop import MAIN, MAIN_CLIENT, SCREEN, SPLASH_SIZE


class Start(desktop.SessionTest):
    def test_splash_then_main_window(self):
        with self.desktop() as session:
            splash = session.splash()
            x, y, width, height = splash.geometry()
            self.assertEqual((width, height), SPLASH_SIZE)
            self.assertLessEqual(abs(x - (SCREEN[0] - width) / 2), 1, "centred across")
            self.assertLessEqual(abs(y - (SCREEN[1] - height) / 2), 1, "centred down")
            self.assertEqual(splash.frame_extents(), (0, 0, 0, 0), "the splash window has no frame")
            # Task bars and switchers list it by the program's name; Alt+Tab comes back to it.
            self.assertEqual(session.x("xprop", "-notype", "-id", splash.xid, "_NET_WM_NAME").strip(),
                             '_NET_WM_NAME = "Torvane"')
            session._spawn("xmessage", "another program")
            desktop.wait_for("another window", lambda: session.active_window() not in ("", splash.xid))
            session.key("alt+Tab")
            splash.wait_active()

            main = session.begin()
            session.wait_gone(splash)
            self.assertEqual(session.visible_windows(), [main.xid])
            _, _, width, height = main.geometry()
            self.assertEqual(width, MAIN_CLIENT[0])
            self.assertGreater(height, MAIN_CLIENT[1], "a menu bar above the client area")
            left, right, top, bottom = main.frame_extents()
            self.assertGreater(top, 0, "the main window has a title bar")

            # The focus starts in the horsepower field: typing goes there.
            session.key("ctrl+a")
            session.type("123")
            self.assertEqual(session.read_field(main, "txtHP1"), "123")

    def test_starts_with_standard_error_closed_and_a_warning_due(self):
        """As `torvane 2>&-`: Qt's warning must not go into the X connection."""
        with self.desktop(env={"XDG_RUNTIME_DIR": None}, stderr_closed=True) as session:
            session.begin()

    def test_ends_with_status_1_and_qts_line_when_the_display_is_lost(self):
        with self.desktop() as session:
            session.splash()
            session.stop_x_server()
            self.assertEqual(session.wait_exit(), 1)
            # Qt may warn first, about work it was doing as the connection went.
            self.assertRegex(session.program_output(), r"(?m)^The X11 connection broke\b")

    def test_tab_order_in_et_mode(self):
        """Tab selects the whole of each field it reaches, so typing replaces it."""
        # After the horsepower field: the weight, the Figure button (typing
        # there writes nothing), then the results, not from top to bottom.
        stops = ["txtWeight1", "cmdFigureEt", "txtET", "txt8thTrap", "txt4trap", "txt8th", "txtHP1"]
        with self.desktop() as session:
            main = session.begin()
            for number, stop in enumerate(stops, 1):
                session.key("Tab")
                session.type(str(number))
            for number, stop in enumerate(stops, 1):
                if not stop.startswith("cmd"):
                    with self.subTest(stop=stop):
                        self.assertEqual(session.read_field(main, stop), str(number))

    def test_fields_start_with_their_hints(self):
        expected = {
            "ET From HP/Weight": {
                "txtHP1": "Enter HP",
                "txtWeight1": "Enter Car Weight Here",
                "txt8th": "1/8 Mile ET",
                "txt8thTrap": "1/8 Mile Trap",
                "txtET": "Your ET",
                "txt4trap": "Text2",
            },
            "HP From MPH/Weight": {
                "txtWeight": "Enter Car Weight Here",
                "txtTrapspeed": "Enter Trap Speed Here",
                "txtHP": "H.P.",
            },
        }
        with self.desktop() as session:
            main = session.begin()
            for mode, fields in expected.items():
                session.choose(mode, main)
                for name, text in fields.items():
                    with self.subTest(field=name):
                        self.assertEqual(session.read_field(main, name), text)


if __name__ == "__main__":
    desktop.main()
