#!/usr/bin/env python3
"""What a screen reader finds, read through AT-SPI as Orca would.

The program runs on a desktop of its own (desktop.py) with a private D-Bus
session, an accessibility bus and Qt's AT-SPI bridge on. pyatspi reads the
tree in the system's Python, where Debian installs it. Where any of that is
missing the test is skipped.
"""

import json
import os
import shutil
import subprocess
import sys

import desktop

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# Prints the windows of the program with the given process id as JSON: each
# object with its role, what is said for it (its name, else its description),
# whether it is showing, its relations and its children in the tree's order.
READER = r"""
import json, sys
import pyatspi

def read(node):
    return {"role": node.getRoleName(), "says": node.name or node.description, "description": node.description,
            "showing": node.getState().contains(pyatspi.STATE_SHOWING),
            "relations": [[relation.getRelationType().value_nick, relation.getTarget(i).name]
                          for relation in node.getRelationSet() for i in range(relation.getNTargets())],
            "children": [read(node.getChildAtIndex(i)) for i in range(node.childCount)]}

apps = [app for app in pyatspi.Registry.getDesktop(0) if app and app.get_process_id() == int(sys.argv[1])]
print(json.dumps([read(window) for app in apps for window in app]))
"""


def reader_python():
    """A Python that has pyatspi: this one, or the system's."""
    for candidate in dict.fromkeys([sys.executable, "/usr/bin/python3"]):
        if subprocess.run([candidate, "-c", "import pyatspi"], capture_output=True).returncode == 0:
            return candidate
    return None


class Session(desktop.Session):
    """A desktop whose programs talk to an accessibility bus of its own."""

    python = None

    def _start_desktop(self):
        super()._start_desktop()
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=self.env,
                               stdout=subprocess.PIPE, stderr=self._log("dbus"), start_new_session=True, text=True)
        self.processes.append(bus)
        with bus.stdout:
            self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        self._spawn(BUS_LAUNCHER, "--launch-immediately", log=self._log("at-spi"))
        desktop.wait_for("the accessibility bus", failure=desktop.DesktopFailure, probe=lambda: "true" in self.x(
            "dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus", check=False))
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"

    def read_window(self, name):
        """Waits until a showing window of this accessible name is in the tree, and returns it."""
        def find():
            result = subprocess.run([self.python, "-c", READER, str(self.program.pid)], env=self.env,
                                    capture_output=True, text=True, timeout=desktop.TIMEOUT, check=True)
            return next((w for w in json.loads(result.stdout) if w["says"] == name and w["showing"]), None)
        return desktop.wait_for(f"a window named {name!r} in the accessibility tree", find)


def showing(window, role):
    """The showing children of the part of a window that holds an object of this role."""
    nodes = [window]
    while not any(child["role"] == role for child in nodes[0]["children"]):
        nodes = nodes[1:] + nodes[0]["children"]
    return [child for child in nodes[0]["children"] if child["showing"]]


def said(nodes):
    return [(node["role"], node["says"]) for node in nodes]


class Accessibility(desktop.SessionTest):
    def desktop(self):
        return Session(self.executable, name=self.id().rsplit(".", 1)[-1])

    def test_every_window(self):
        with self.desktop() as session:
            # The board: named as the program, every picture described, read from the top.
            board = session.read_window("Torvane")
            self.assertEqual(board["role"], "frame")
            self.assertEqual(said(showing(board, "push button")), [
                ("image", "A drag-strip starting-light tower, its lamps unlit"),
                ("image", '"TOR", the first part of the name Torvane'),
                ("image", '"VA", the second part of the name Torvane'),
                ("image", '"NE", the third part of the name Torvane'),
                ("push button", "Click Here To Begin"),
                ("image", "Credit: by Torvane team"),
            ])

            # The calculator.
            main = session.begin()
            calculator = session.read_window(desktop.MAIN_TITLE)
            self.assertEqual([part["role"] for part in calculator["children"]], ["menu bar", "filler"])
            et_mode = showing(calculator, "text")
            prompt = "Enter the following information to figure your car's estimated elapsed time."
            labelled = [("1/8 Mile ET", "Eighth-mile ET"), ("1/8 Mile Trap Speed", "Eighth-mile trap speed"),
                        ("1/4 Mile ET", "Quarter-mile ET"), ("1/4 Mile Trap Speed", "Quarter-mile trap speed")]
            self.assertEqual(said(et_mode), [("label", prompt), ("text", "Horsepower"), ("text", "Car weight"),
                                             ("push button", "Figure")]
                             + [pair for label, field in labelled for pair in (("label", label), ("text", field))])
            # Each result label and its field point at each other; nothing else is tied.
            relations = {node["says"]: node["relations"] for node in et_mode}
            self.assertEqual(relations, {
                prompt: [], "Horsepower": [], "Car weight": [], "Figure": [],
                **{label: [["label-for", field]] for label, field in labelled},
                **{field: [["labelled-by", label]] for label, field in labelled}})

            # The mode's first field is read with the prompt, which takes the focus on a switch.
            self.assertEqual(et_mode[1]["description"], prompt)

            session.choose("HP From MPH/Weight", main)
            hp_prompt = "Enter the following information to figure your car's rear wheel HP."
            hp_mode = showing(session.read_window(desktop.MAIN_TITLE), "text")
            self.assertEqual(said(hp_mode), [
                ("label", hp_prompt), ("text", "Car weight"), ("text", "Trap speed"), ("push button", "Figure H.P."),
                ("text", "Rear-wheel horsepower"),
            ])
            self.assertEqual(hp_mode[1]["description"], hp_prompt)

            # Figure H.P. tells its result in a notification; the focus stays on the button.
            session.fill(main, "txtWeight", "3000")
            session.fill(main, "txtTrapspeed", "117")
            main.click_control(desktop.MAIN["cmdFigurehp"])
            told = desktop.wait_for("a notification", lambda: [
                part["children"][0]["says"] for part in showing(session.read_window(desktop.MAIN_TITLE), "text")
                if part["role"] == "notification"])
            self.assertEqual(told, ["Rear-wheel horsepower 375.00."])

            # The FAQ, a dialog read in full as it opens: each question before its answer.
            session.choose("FAQ", main)
            faq_window = session.read_window(desktop.FAQ_TITLE)
            self.assertEqual(faq_window["role"], "dialog")
            faq = said(showing(faq_window, "push button"))
            self.assertEqual([(role, text.strip()[:4]) for role, text in faq], [
                ("label", "1. Q"), ("label", "A - "), ("label", "2. Q"), ("label", "A - "), ("push button", "OK")])


if __name__ == "__main__":
    Session.python = reader_python()
    missing = [tool for tool in ["dbus-daemon", "dbus-send"] if not shutil.which(tool)]
    missing += [] if os.access(BUS_LAUNCHER, os.X_OK) else [BUS_LAUNCHER]
    missing += [] if Session.python else ["pyatspi"]
    if missing:
        print(f"skipped: {', '.join(missing)} not found; `bash build.sh test` installs them")
        sys.exit(desktop.SKIPPED)
    desktop.main()
