#!/usr/bin/env python3
"""Help > FAQ shows the FAQ window; its OK button hides it; it comes back where the user left it."""

import desktop
from desktop import FAQ_OK, FAQ_SIZE, FAQ_TITLE


class Faq(desktop.SessionTest):
    def test_open_dismiss_open_again(self):
        with self.desktop() as session:
            main = session.begin()
            session.choose("FAQ", main)
            faq = session.window(FAQ_TITLE)
            first = faq.geometry()
            self.assertEqual(first[2:], FAQ_SIZE)
            self.assertGreater(faq.frame_extents()[2], 0, "the FAQ window has a title bar")

            # The user drags it by its title bar to another place.
            title_bar = (first[0] + 20, first[1] - faq.frame_extents()[2] // 2)
            session.xdotool("mousemove", "--sync", *map(str, title_bar))
            session.xdotool("mousedown", "1")
            for step in range(1, 6):
                session.xdotool("mousemove", "--sync", str(title_bar[0] + 20 * step), str(title_bar[1] - 20 * step))
            session.xdotool("mouseup", "1")
            moved = desktop.wait_for("the FAQ window to move", lambda: (
                faq.geometry() if faq.geometry()[:2] != first[:2] else None))
            self.assertEqual(moved[:2], (first[0] + 100, first[1] - 100))

            faq.click_control(FAQ_OK)
            session.wait_gone(faq)
            self.assertEqual(session.visible_windows(), [main.xid])

            session.choose("FAQ", main)
            again = session.window(FAQ_TITLE)
            self.assertEqual(again.xid, faq.xid, "the same window, not a new one")
            self.assertEqual(again.geometry(), moved, "where and as large as the user left it")

            # Asking for it while it is open still shows one FAQ window.
            session.choose("FAQ", main)
            session.window(FAQ_TITLE)

            # The main window stays usable while the FAQ window is open.
            session.figure_et(main, "300", "3000")
            self.assertEqual(session.read_field(main, "txtET"), "12.55")
            self.assertTrue(again.is_visible())


if __name__ == "__main__":
    desktop.main()
