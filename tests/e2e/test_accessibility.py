#!/usr/bin/env python3
"""What a screen reader finds: every window read through AT-SPI, as Orca would.

The program runs on a desktop of its own (Xvfb and Openbox, see desktop.py)
with a private D-Bus session and accessibility bus, and Qt's AT-SPI bridge on.
The tree is read with pyatspi in a separate interpreter, the system's, where
Debian installs it. Where any of that is missing the test is skipped.
"""

import json
import os
import shutil
import subprocess
import sys

import desktop

SKIPPED = 77  # ctest's SKIP_RETURN_CODE for this test
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# Prints, as JSON, the windows of the program with the given process id: each
# accessible object with its role, name, description, relations and children.
READER = r"""
import json, sys
import pyatspi

def relations(accessible):
    found = []
    for relation in accessible.getRelationSet():
        for i in range(relation.getNTargets()):
            target = relation.getTarget(i)
            found.append([relation.getRelationType().value_nick, target.getRoleName(), target.name])
    return found

def read(accessible, index):
    states = accessible.getState()
    return {
        "role": accessible.getRoleName(),
        "name": accessible.name,
        "description": accessible.description,
        "showing": states.contains(pyatspi.STATE_SHOWING),
        "index": index,
        "indexInParent": accessible.getIndexInParent(),
        "relations": relations(accessible),
        "children": [read(accessible.getChildAtIndex(i), i) for i in range(accessible.childCount)],
    }

pid = int(sys.argv[1])
for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.get_process_id() == pid:
        print(json.dumps([read(app.getChildAtIndex(i), i) for i in range(app.childCount)]))
        break
else:
    print("null")
"""


def reader_interpreter():
    """A Python that has pyatspi: this one, or the system's."""
    for candidate in dict.fromkeys([sys.executable, shutil.which("python3"), "/usr/bin/python3"]):
        if candidate and subprocess.run([candidate, "-c", "import pyatspi"], capture_output=True).returncode == 0:
            return candidate
    return None


def missing_tools():
    missing = [tool for tool in list(desktop.TOOLS) + ["dbus-daemon", "dbus-send"] if not shutil.which(tool)]
    if not os.access(BUS_LAUNCHER, os.X_OK):
        missing.append(BUS_LAUNCHER)
    if not reader_interpreter():
        missing.append("pyatspi")
    return missing


class Session(desktop.Session):
    """A desktop whose programs talk to an accessibility bus of its own."""

    def _start_desktop(self):
        super()._start_desktop()
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=self._log("dbus"), start_new_session=True, text=True)
        self.processes.append(bus)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        bus.stdout.close()
        if not self.env["DBUS_SESSION_BUS_ADDRESS"]:
            raise desktop.DesktopFailure("dbus-daemon gave no address")
        self._spawn(BUS_LAUNCHER, "--launch-immediately", log=self._log("at-spi"))
        desktop.wait_for("the accessibility bus", failure=desktop.DesktopFailure, probe=lambda: "true" in self.x(
            "dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus", check=False))
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"

    def windows(self):
        """The program's windows as a screen reader finds them."""
        result = subprocess.run([reader_interpreter(), "-c", READER, str(self.program.pid)], env=self.env,
                                capture_output=True, text=True, timeout=desktop.TIMEOUT)
        if result.returncode != 0:
            raise desktop.Failure("reading the accessibility tree failed: " + result.stderr.strip())
        return json.loads(result.stdout) or []

    def window_named(self, name):
        """Waits until a showing window of this accessible name is in the tree."""
        return desktop.wait_for(f"a window named {name!r} in the accessibility tree", lambda: next(
            (w for w in self.windows() if w["name"] == name and w["showing"]), None))


def walk(node):
    yield node
    for child in node["children"]:
        yield from walk(child)


def controls(window, role):
    """The showing children of the container that holds a control of this role, in the tree's order."""
    container = next(node for node in walk(window) if any(c["role"] == role for c in node["children"]))
    for child in container["children"]:
        assert child["indexInParent"] == child["index"], f"{child['name']!r} does not know its place"
    return [child for child in container["children"] if child["showing"]]


def said(control):
    """What a screen reader says for a control: its role and its name, or its description."""
    return control["role"], control["name"] or control["description"]


class Accessibility(desktop.SessionTest):
    def desktop(self):
        return Session(self.executable, name=self.id().rsplit(".", 1)[-1])

    def test_every_window(self):
        with self.desktop() as session:
            # The board: read from the top, every picture described, named as the program.
            board = session.window_named("Torvane")
            self.assertEqual(board["role"], "frame")
            self.assertEqual(session.x("xdotool", "getwindowname", session.splash().xid).strip(), "Form1")
            self.assertEqual([said(c) for c in controls(board, "push button")], [
                ("image", "A drag-strip starting-light tower, its lamps unlit"),
                ("image", '"TOR", the first part of the name Torvane'),
                ("image", '"VA", the second part of the name Torvane'),
                ("image", '"NE", the third part of the name Torvane'),
                ("push button", "Click Here To Begin"),
                ("image", "Credit: by Torvane team"),
            ])

            # The calculator: the first keystroke replaces the prompt of the field with the focus.
            main = session.begin()
            session.type("300")
            self.assertEqual(session.read_field(main, "txtHP1"), "300")

            calculator = session.window_named(desktop.MAIN_TITLE)
            self.assertEqual([c["role"] for c in calculator["children"]], ["menu bar", "filler"])
            prompt = "Enter the following information to figure your car's estimated elapsed time."
            et_mode = controls(calculator, "text")
            self.assertEqual([said(c) for c in et_mode], [
                ("label", prompt),
                ("text", "Horsepower"),
                ("text", "Car weight"),
                ("push button", "Figure"),
                ("label", "1/8 Mile ET"),
                ("text", "Eighth-mile ET"),
                ("label", "1/8 Mile Trap Speed"),
                ("text", "Eighth-mile trap speed"),
                ("label", "1/4 Mile ET"),
                ("text", "Quarter-mile ET"),
                ("label", "1/4 Mile Trap Speed"),
                ("text", "Quarter-mile trap speed"),
            ])
            # Each result label and its field point at each other; the prompt names no field.
            relations = {c["name"]: c["relations"] for c in et_mode}
            for label, field in [("1/8 Mile ET", "Eighth-mile ET"), ("1/8 Mile Trap Speed", "Eighth-mile trap speed"),
                                 ("1/4 Mile ET", "Quarter-mile ET"), ("1/4 Mile Trap Speed", "Quarter-mile trap speed")]:
                with self.subTest(label=label):
                    self.assertIn(["label-for", "text", field], relations[label])
                    self.assertIn(["labelled-by", "label", label], relations[field])
            for unlabelled in [prompt, "Horsepower", "Car weight", "Figure"]:
                self.assertEqual(relations[unlabelled], [], unlabelled)

            session.choose("HP From MPH/Weight", main)
            hp_mode = controls(session.window_named(desktop.MAIN_TITLE), "text")
            self.assertEqual([said(c) for c in hp_mode], [
                ("label", "Enter the following information to figure your car's rear wheel HP."),
                ("text", "Car weight"),
                ("text", "Trap speed"),
                ("push button", "Figure H.P."),
                ("text", "Rear-wheel horsepower"),
            ])

            # The FAQ: each question before its answer.
            session.choose("FAQ", main)
            faq = [said(c) for c in controls(session.window_named(desktop.FAQ_TITLE), "push button")]
            self.assertEqual([role for role, _ in faq], ["label"] * 4 + ["push button"])
            self.assertEqual([text.strip()[:4] for _, text in faq], ["1. Q", "A - ", "2. Q", "A - ", "OK"])

            # Asked for again from behind the calculator, it takes the keyboard too.
            main.activate()
            session.choose("FAQ", main)
            session.window(desktop.FAQ_TITLE).wait_active()


if __name__ == "__main__":
    missing = missing_tools()
    if missing:
        print(f"skipped: {', '.join(missing)} not found; `bash build.sh test` installs them")
        sys.exit(SKIPPED)
    desktop.main()
