#!/usr/bin/env python3
"""Drives the program by keys with the Orca screen reader listening, and prints
what Orca presented at each step: what it spoke, and what it showed in braille.

    python3 tools/listen_with_orca.py [path/to/torvane] [scene ...] [--keep DIR]

The program defaults to build/torvane. Scenes: start, figure, figure-hp, modes,
faq, refusal (all by default, about 2 minutes). Each runs the program on a
desktop of its own (tests/e2e/desktop.py: Xvfb, Openbox; test_accessibility.py:
a private D-Bus session and accessibility bus) with Orca 43 running there too.
Nothing is heard: Orca speaks to a silent stand-in for speech-dispatcher, and
its debug log is read instead, its SPEECH OUTPUT and BRAILLE LINE lines.
--keep DIR keeps each scene's whole Orca log there. What is missing (orca,
Xvfb, ...) is installed first through tools/install-packages.sh.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests", "e2e"))
import desktop  # noqa: E402
import test_accessibility  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ORCA = "/usr/bin/orca"
PACKAGES = ["orca", "xvfb", "openbox", "xdotool", "x11-utils", "dbus", "at-spi2-core", "python3-pyatspi"]

# Orca refuses to start while another Orca of the same user runs, and names
# its process "orca" so that others find it. Neither suits a private desktop
# on a machine where a person, or another run, may use Orca: the launcher
# runs Orca's own start-up without both. Its debug log is written a line at a
# time, so that what Orca presents can be read as it happens.
LAUNCHER = r"""
import runpy, sys
from orca import debug
orca = runpy.run_path(sys.argv[1], run_name="orca_launcher")
orca["main"].__globals__.update(otherOrcas=lambda: [], setProcessName=lambda name: False)
debug.debugLevel = debug.LEVEL_ALL
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(sys.argv[2], "w", encoding="utf-8", buffering=1)
sys.argv = ["orca"] + sys.argv[3:]
sys.exit(orca["main"]())
"""

# Orca imports a speech server factory from its preferences folder; this one
# takes every utterance and says nothing, so that no speech-dispatcher starts.
SILENT_SPEECH = r"""
from orca import speechserver

class SpeechServer(speechserver.SpeechServer):
    _server = None

    @staticmethod
    def getFactoryName():
        return "Silent"

    @staticmethod
    def getSpeechServers():
        return [SpeechServer.getSpeechServer()]

    @staticmethod
    def getSpeechServer(info=None):
        if SpeechServer._server is None:
            SpeechServer._server = SpeechServer()
        return SpeechServer._server

    @staticmethod
    def shutdownActiveServers():
        pass

    def getInfo(self):
        return ["Silent", "silent"]

    def getVoiceFamilies(self):
        return []
"""

CUSTOMIZATIONS = """
import orca.settings
orca.settings.speechServerFactory = "silent_speech"
orca.settings.speechFactoryModules = ["silent_speech"]
"""

# How long Orca's log must stay still for a step to count as presented.
QUIET = 1.5
STEP_TIMEOUT = 20.0


class OrcaSession(test_accessibility.Session):
    """A desktop with an accessibility bus, Orca listening on it before the program starts."""

    def _start_desktop(self):
        super()._start_desktop()
        prefs = os.path.join(self.home, "orca")
        os.mkdir(prefs)
        for name, text in [("silent_speech.py", SILENT_SPEECH), ("orca-customizations.py", CUSTOMIZATIONS)]:
            with open(os.path.join(prefs, name), "w") as file:
                file.write(text)
        self.orca_log = os.path.join(self.home, "orca-debug.out")
        self.env["GSETTINGS_BACKEND"] = "memory"
        # Orca's settings say when it is a screen reader in use; Qt also asks the bus.
        self.orca = self._spawn("/usr/bin/python3", "-c", LAUNCHER, ORCA, self.orca_log, "--user-prefs", prefs,
                    log=self._log("orca"))
        desktop.wait_for("Orca to listen", failure=desktop.DesktopFailure,
                         probe=lambda: "ORCA: Starting registry" in self.orca_text())
        self.mark = 0
        self.settle()

    def orca_text(self):
        try:
            with open(self.orca_log, encoding="utf-8", errors="replace") as log:
                return log.read()
        except FileNotFoundError:
            return ""

    def settle(self, quiet=QUIET, timeout=STEP_TIMEOUT):
        """Waits until Orca's log has stayed the same for `quiet` seconds."""
        deadline = time.monotonic() + timeout
        size, since = -1, time.monotonic()
        while time.monotonic() < deadline:
            now = os.path.getsize(self.orca_log) if os.path.exists(self.orca_log) else 0
            if now != size:
                size, since = now, time.monotonic()
            elif time.monotonic() - since >= quiet:
                return
            time.sleep(0.1)

    def presented(self):
        """What Orca spoke and showed in braille since the last call, in order."""
        text = self.orca_text()
        new, self.mark = text[self.mark:], len(text)
        return presentation(new)

    def keep_log(self, folder, name):
        os.makedirs(folder, exist_ok=True)
        shutil.copy(self.orca_log, os.path.join(folder, f"orca-{name}.out"))


# Each record of the log starts with a time; a text of several lines goes on
# in lines indented by 18 spaces. A spoken text is followed by its voice.
RECORD = re.compile(r"^\d\d:\d\d:\d\d\.\d+ - (.*?)(?=\n(?! {18})|\Z)", re.M | re.S)
PRESENTED = re.compile(r"(SPEECH OUTPUT|BRAILLE LINE): +'(.*)'(?: ?voice=\S+?)?\s?(?:\{.*\}|\[.*\]|None)?$", re.S)


def presentation(log):
    found = []
    for record in RECORD.findall(log):
        if not record.startswith(("SPEECH OUTPUT:", "BRAILLE LINE:")):
            continue
        match = PRESENTED.match(record)
        if not match:  # shown whole rather than lost
            found.append(("unread", record))
            continue
        kind, text = match.groups()
        found.append(("speech" if kind == "SPEECH OUTPUT" else "braille", text.replace("\n" + " " * 18, "\n")))
    return found


def act(session, action):
    """One action of a step: "type:TEXT" types, "menu:ITEM" chooses a menu
    item of the calculator by its keys, "window:TITLE" waits for a window to
    be active; anything else is keys for xdotool."""
    kind, _, what = action.partition(":")
    if kind == "type":
        session.type(what)
    elif kind == "menu":
        keys = desktop.MENU[what]
        depth = 0
        for key in keys[:-1]:
            session.key(key)
            if key not in desktop.ARROWS:
                depth += 1
                desktop.wait_for(f"{depth} open menu(s) on the way to {what!r}",
                                 lambda: session.open_menus() == depth)
            session.settle(quiet=0.6)
        session.key(keys[-1])
        desktop.wait_for(f"the menus to close after {what!r}", lambda: session.open_menus() == 0)
    elif kind == "window":
        session.window(what).wait_active()
    else:
        session.key(*action.split())


def step(session, name, *actions):
    """Runs one step's actions and prints what Orca presented for it."""
    for action in actions:
        act(session, action)
        session.settle(quiet=0.6)
    session.settle()
    print(f"== {name}")
    for kind, text in session.presented():
        print(f"   {kind:7} {text!r}")
    if session.orca.poll() is not None:
        raise desktop.Failure(f"Orca ended with status {session.orca.returncode}")


# Each scene begins on the splash window and presses its button, then runs
# its steps: what is done, then the actions (see act()).
BEGIN = [("the splash window opens",), ("Space on Click Here To Begin", "space", f"window:{desktop.MAIN_TITLE}")]
SCENES = {
    "start": [],
    "figure": [("300 typed", "type:300"), ("Tab", "Tab"), ("3000 typed", "type:3000"), ("Tab to Figure", "Tab"),
               ("Space on Figure", "space"), ("Space on Figure again", "space"), ("Tab to the first result", "Tab")],
    "figure-hp": [("File > Action > HP From MPH/Weight", "menu:HP From MPH/Weight"), ("3000 typed", "type:3000"),
                  ("Tab", "Tab"), ("117 typed", "type:117"), ("Tab, Tab to Figure H.P.", "Tab", "Tab"),
                  ("Space on Figure H.P.", "space")],
    "modes": [("File > Action > HP From MPH/Weight", "menu:HP From MPH/Weight"),
              ("File > Action > ET From HP/Weight", "menu:ET From HP/Weight"),
              ("Tab, Shift+Tab back to the first field", "Tab", "shift+Tab")],
    "faq": [("Help > FAQ", "menu:FAQ", f"window:{desktop.FAQ_TITLE}"), ("Esc", "Escape"),
            ("Space on OK", "space", f"window:{desktop.MAIN_TITLE}")],
    # Orca's flat review, desktop layout: Insert+KP_7 goes to the window's top
    # line, KP_9 to the next line; each line is spoken and brailled.
    "refusal": [("abc typed", "type:abc"), ("Tab, 3000, Tab", "Tab", "type:3000", "Tab"),
                ("Space on Figure", "space", f"window:{desktop.MESSAGE_TITLE}"),
                ("flat review: the top line", "Insert+KP_Home"), ("flat review: the next line", "KP_Page_Up"),
                ("flat review: the next line", "KP_Page_Up"), ("Return on OK", "Return", f"window:{desktop.MAIN_TITLE}")],
}


def run_scene(session, steps):
    session.splash().wait_active()
    for name, *actions in BEGIN + steps:
        step(session, name, *actions)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("executable", nargs="?", default=os.path.join(ROOT, "build", "torvane"))
    parser.add_argument("scenes", nargs="*", metavar="scene", help=", ".join(SCENES))
    parser.add_argument("--keep", metavar="DIR", help="keep each scene's Orca debug log in DIR")
    args = parser.parse_args()
    if args.executable in SCENES:  # a scene named without the program before it
        args.scenes.insert(0, args.executable)
        args.executable = parser.get_default("executable")
    unknown = [name for name in args.scenes if name not in SCENES]
    if unknown:
        parser.error(f"no scene {', '.join(unknown)}; the scenes are {', '.join(SCENES)}")
    if not os.access(args.executable, os.X_OK):
        parser.error(f"{args.executable} is not there: build the program first (cmake --build build)")
    subprocess.run(["bash", os.path.join(ROOT, "tools", "install-packages.sh"), *PACKAGES], check=True)
    # Ended from outside, the desktop and Orca are ended too, as on Ctrl+C.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    test_accessibility.Session.python = "/usr/bin/python3"
    for name in args.scenes or list(SCENES):
        started = time.monotonic()
        print(f"# {name}", flush=True)
        with OrcaSession(args.executable, name=f"orca-{name}") as session:
            run_scene(session, SCENES[name])
            if args.keep:
                session.keep_log(args.keep, name)
            session.logs["torvane"].flush()
            if printed := session.program_output().strip():
                print("   the program printed:\n" + "\n".join("     " + line for line in printed.splitlines()))
        print(f"# {name}: {time.monotonic() - started:.0f} s\n", flush=True)


if __name__ == "__main__":
    main()
