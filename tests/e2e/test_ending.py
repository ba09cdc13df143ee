#!/usr/bin/env python3
"""File > Exit, and closing the main window through its frame, end the program."""

import desktop
from desktop import FAQ_TITLE


class Ending(desktop.SessionTest):
    def test_exit_with_the_faq_window_open(self):
        with self.desktop() as session:
            main = session.begin()
            session.choose("FAQ", main)
            session.window(FAQ_TITLE)
            session.choose("Exit", main)
            self.assertEqual(session.wait_exit(), 0)

    def test_close_button_of_the_frame(self):
        with self.desktop() as session:
            main = session.begin()
            main.click_close_button()
            self.assertEqual(session.wait_exit(), 0)

    def test_close_key_of_the_window_manager(self):
        with self.desktop() as session:
            main = session.begin()
            main.activate()
            session.key("alt+F4")
            self.assertEqual(session.wait_exit(), 0)


if __name__ == "__main__":
    desktop.main()
