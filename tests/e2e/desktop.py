"""Drives the real torvane executable on its own X server, as a person would.

A Session starts Xvfb on a free display, the Openbox window manager and the
program, and ends all three when it is left, whatever happened. Everything the
tests do goes through real input events (xdotool moves the pointer, clicks and
presses keys) and everything they read comes back the way a person would copy
it: select the text, press Ctrl+C, paste it from the clipboard (xclip).

Places are in pixels from the top-left corner of a window's client area; the
main window's client area is the part below its menu bar.
"""

import contextlib
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

# Long enough for a busy machine: every wait polls and returns as soon as it can.
TIMEOUT = 30.0
POLL = 0.05

SCREEN = (1024, 768)

MAIN_TITLE = "Torvane V 1.0"
MAIN_CLIENT = (461, 288)
MESSAGE_TITLE = "Torvane"
FAQ_TITLE = "FAQ"

# (x, y, width, height) in the client area of each window.
SPLASH_SIZE = (312, 211)
BEGIN = (64, 144, 185, 25)
FAQ_SIZE = (305, 244)
FAQ_OK = (128, 208, 57, 25)
MAIN = {
    # ET mode
    "txtHP1": (8, 88, 129, 25),
    "txtWeight1": (8, 128, 129, 25),
    "cmdFigureEt": (144, 128, 81, 25),
    "txt8th": (144, 160, 81, 25),
    "txt8thTrap": (144, 192, 81, 25),
    "txtET": (144, 224, 81, 25),
    "txt4trap": (144, 256, 81, 25),
    # HP mode: each control stands where an ET-mode one does
    "txtWeight": (8, 88, 129, 25),
    "txtTrapspeed": (8, 128, 129, 25),
    "cmdFigurehp": (144, 128, 81, 25),
    "txtHP": (144, 160, 81, 25),
}
# A spot of the main window's client area that no control covers in either mode.
MAIN_BLANK = (400, 40)

# The keys that choose each menu item. Every key but the last opens a menu or
# moves within one; an arrow key opens nothing.
MENU = {
    "HP From MPH/Weight": ["alt+f", "a", "Return"],
    "ET From HP/Weight": ["alt+f", "a", "Down", "Return"],
    "Exit": ["alt+f", "Down", "Return"],
    "FAQ": ["alt+h", "f"],
    "Speed Appear In MPH (Default)": ["alt+o", "a", "Return"],
    "Speed To Appear In KPH": ["alt+o", "a", "Down", "Return"],
}
ARROWS = {"Up", "Down", "Left", "Right"}

TOOLS = {  # program: Debian package
    "Xvfb": "xvfb",
    "openbox": "openbox",
    "xdotool": "xdotool",
    "xclip": "xclip",
    "xwininfo": "x11-utils",
    "xprop": "x11-utils",
}

# ctest reports a test that exits with this status as skipped.
SKIPPED = 77

SENTINEL = "<nothing was copied>"
START_ATTEMPTS = 3


def scaled(place, factor):
    """A place in pixels at the design font, in the layout scaled by factor: each edge rounded."""
    x, y, width, height = place
    edge = lambda v: int(v * factor + 0.5)
    return (edge(x), edge(y), edge(x + width) - edge(x), edge(y + height) - edge(y))


@contextlib.contextmanager
def places_scaled(factor):
    """Where the helpers click, for a layout scaled by factor, and a screen it fits on."""
    module = sys.modules[__name__]
    names = ["SCREEN", "BEGIN", "MAIN", "MAIN_CLIENT"]
    saved = {name: getattr(module, name) for name in names}
    if factor != 1:
        module.SCREEN = (1600, 1200)
        module.BEGIN = scaled(BEGIN, factor)
        module.MAIN = {name: scaled(place, factor) for name, place in MAIN.items()}
        module.MAIN_CLIENT = scaled((0, 0) + MAIN_CLIENT, factor)[2:]
    try:
        yield
    finally:
        for name, value in saved.items():
            setattr(module, name, value)


class Failure(AssertionError):
    pass


class DesktopFailure(Failure):
    """The X server or the window manager did not come up."""


def wait_for(what, probe, timeout=TIMEOUT, failure=Failure):
    """Polls probe() until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(POLL)


class Window:
    """A top-level window of the program, by its X window id."""

    def __init__(self, session, xid, client_height=None):
        self.session = session
        self.xid = xid
        # Rows at the bottom of the window that make its client area; None when
        # the whole window is client area.
        self.client_height = client_height

    def geometry(self):
        """(x, y, width, height) of the window on the screen, without its frame."""
        info = self.session.x("xwininfo", "-id", self.xid)
        field = lambda name: int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"))

    def client_origin(self):
        x, y, _, height = self.geometry()
        if self.client_height is None:
            return x, y
        return x, y + height - self.client_height

    def frame_extents(self):
        """(left, right, top, bottom): what the window manager's frame adds."""
        text = self.session.x("xprop", "-id", self.xid, "_NET_FRAME_EXTENTS")
        numbers = re.findall(r"\d+", text.split("=", 1)[-1])
        return tuple(int(n) for n in numbers) if len(numbers) == 4 else None

    def is_visible(self):
        return self.xid in self.session.visible_windows()

    def click(self, x, y, times=1):
        ox, oy = self.client_origin()
        self.session.xdotool("mousemove", "--sync", str(ox + x), str(oy + y))
        self.session.xdotool("click", "--repeat", str(times), "--delay", "80", "1")

    def click_control(self, place, times=1):
        x, y, width, height = place
        self.click(x + width // 2, y + height // 2, times)

    def click_close_button(self):
        """Clicks the close button of the frame: the last one at the right end of the title bar."""
        x, y, width, _ = self.geometry()
        _, right, top, _ = self.frame_extents()
        self.session.xdotool("mousemove", "--sync", str(x + width + right - top // 2 - 1),
                             str(y - top // 2))
        self.session.xdotool("click", "1")

    def activate(self, blank_spot=MAIN_BLANK):
        """Clicks a spot of the window that no control covers and waits until it has the focus."""
        if self.session.active_window() != self.xid:
            self.click(*blank_spot)
        self.wait_active()

    def wait_active(self):
        wait_for(f"window {self.xid} to become active",
                 lambda: self.session.active_window() == self.xid)


class Session:
    """Xvfb, Openbox and torvane on a display of their own."""

    CLASS_NAME = "torvane"  # of the program's windows, as xprop shows it in WM_CLASS

    def __init__(self, executable, name="e2e", env=None, stderr_closed=False):
        self.executable = os.path.abspath(executable)
        self.name = name
        self.program_env = env or {}  # settings for the program alone; None unsets one
        self.stderr_closed = stderr_closed  # started as `torvane 2>&-`
        self.processes = []
        self.program = None
        self.home = None
        self.env = None

    # --- starting and stopping ------------------------------------------

    def __enter__(self):
        for attempt in range(1, START_ATTEMPTS + 1):
            try:
                self._start_desktop()
                env = {key: value for key, value in {**self.env, **self.program_env}.items() if value is not None}
                self.program = self._spawn(*self.command(), log=self._log("torvane"), env=env,
                                           preexec_fn=(lambda: os.close(2)) if self.stderr_closed else None)
                return self
            except Exception as error:
                self._report_failure()
                self._stop()
                # An X server or window manager that does not come up says nothing
                # about the program: another display is tried.
                if not isinstance(error, DesktopFailure) or attempt == START_ATTEMPTS:
                    raise
                print(f"{error}; starting again on another display", file=sys.stderr)

    def __exit__(self, kind, value, traceback):
        if kind is not None:
            self._report_failure()
        self._stop()
        return False

    def command(self):
        """What starts the program."""
        return [self.executable]

    def _spawn(self, *command, log=None, env=None, preexec_fn=None):
        process = subprocess.Popen(
            command, env=env or self.env, stdin=subprocess.DEVNULL,
            stdout=log or subprocess.DEVNULL, stderr=subprocess.STDOUT if log else subprocess.DEVNULL,
            start_new_session=True, preexec_fn=preexec_fn)
        self.processes.append(process)
        return process

    def _start_desktop(self):
        self.home = tempfile.mkdtemp(prefix="torvane-e2e-")
        self.logs = {}
        runtime = os.path.join(self.home, "runtime")
        os.mkdir(runtime, 0o700)
        # Nothing from the person running the tests may change what is seen:
        # no configuration of theirs, their display, their locale or Qt settings.
        self.env = {key: value for key, value in os.environ.items()
                    if not key.startswith(("QT_", "XDG_", "LC_", "LANG", "WAYLAND", "DISPLAY"))}
        self.env.update(HOME=self.home, XDG_RUNTIME_DIR=runtime,
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"), LC_ALL="C.UTF-8")
        self.env["DISPLAY"] = self._start_x_server()

        # Openbox claims the screen early in its start, but a window mapped before
        # it has finished starting may never be shown: the program starts only
        # once Openbox runs its start-up command.
        ready = os.path.join(self.home, "window-manager-ready")
        manager = self._spawn("openbox", "--sm-disable", "--startup", f"touch {ready}",
                              log=self._log("openbox"))
        wait_for("the window manager", failure=DesktopFailure,
                 probe=lambda: manager.poll() is not None or os.path.exists(ready))
        if manager.poll() is not None:
            raise DesktopFailure(f"openbox ended with status {manager.returncode}")

    def _start_x_server(self):
        """Starts Xvfb on a display it finds free, and returns the display's name."""
        read_end, write_end = os.pipe()
        try:
            # Xvfb writes the display's number once it takes connections. Without
            # -noreset it would reset whenever its last client leaves, refusing
            # whoever connects meanwhile.
            process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                 "-dpi", "96", "-nolisten", "tcp", "-noreset"],
                env=self.env, pass_fds=[write_end], stdin=subprocess.DEVNULL,
                stdout=self._log("Xvfb"), stderr=subprocess.STDOUT, start_new_session=True)
            self.processes.append(process)
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.monotonic() + TIMEOUT
            while not number.endswith(b"\n"):
                if not select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))[0]:
                    raise DesktopFailure("Xvfb did not start")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise DesktopFailure("Xvfb ended before it took connections")
                number += chunk
            return ":" + number.decode().strip()
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)

    def stop_x_server(self):
        """Ends the X server under the program, as a crash of the desktop would."""
        os.killpg(self.processes[0].pid, signal.SIGKILL)

    def program_output(self):
        with open(self.logs["torvane"].name, encoding="utf-8") as output:
            return output.read()

    def _log(self, name):
        self.logs[name] = open(os.path.join(self.home, name + ".log"), "wb")
        return self.logs[name]

    def _stop(self):
        for process in reversed(self.processes):  # the program first, Xvfb last
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
        self.processes.clear()
        for log in getattr(self, "logs", {}).values():
            log.close()
        if self.home:
            shutil.rmtree(self.home, ignore_errors=True)

    def _report_failure(self):
        """Tells what was on the screen, and keeps a picture of it where it can."""
        try:
            lines = []
            for xid in self.visible_windows():
                name = self.x("xdotool", "getwindowname", xid, check=False).strip()
                x, y, w, h = Window(self, xid).geometry()
                lines.append(f"  {xid} {name!r} {w}x{h}+{x}+{y}")
            print("Windows of the program on the screen:\n" + "\n".join(lines or ["  none"]),
                  file=sys.stderr)
            if self.program is not None and self.program.poll() is not None:
                print(f"torvane has ended with status {self.program.returncode}", file=sys.stderr)
            if shutil.which("import"):
                picture = os.path.abspath(f"{self.name}-failure.png")
                self.x("import", "-window", "root", picture, check=False)
                print(f"The screen at the failure: {picture}", file=sys.stderr)
            print("Display " + self.env.get("DISPLAY", "none"), file=sys.stderr)
            for process in self.processes:
                state = "running" if process.poll() is None else f"ended with status {process.returncode}"
                print(f"{os.path.basename(process.args[0])} {state}", file=sys.stderr)
            for name, log in getattr(self, "logs", {}).items():
                log.flush()
                with open(log.name, "rb") as output:
                    text = output.read().decode(errors="replace").strip()
                if text:
                    print(f"{name} printed:\n{text}", file=sys.stderr)
        except Exception as error:  # the report must not hide the failure itself
            print(f"(could not describe the screen: {error})", file=sys.stderr)

    # --- X tools --------------------------------------------------------

    def x(self, *command, check=True, stdin=None):
        result = subprocess.run(command, env=self.env, input=stdin, capture_output=True,
                                text=True, timeout=TIMEOUT)
        if check and result.returncode != 0:
            raise Failure(f"{' '.join(command)} failed: {result.stderr.strip()}")
        return result.stdout

    def xdotool(self, *arguments):
        return self.x("xdotool", *arguments)

    def key(self, *keys):
        self.xdotool("key", "--delay", "60", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "40", "--", text)

    def visible_windows(self):
        """The program's top-level windows that are on the screen."""
        found = self.x("xdotool", "search", "--onlyvisible", "--classname", f"^{re.escape(self.CLASS_NAME)}$",
                       check=False)
        return found.split()

    def active_window(self):
        return self.x("xdotool", "getactivewindow", check=False).strip()

    def open_menus(self):
        """How many menus are open: the program's windows that bypass the window manager."""
        return sum("Override Redirect State: yes" in self.x("xwininfo", "-id", xid, check=False)
                   for xid in self.visible_windows())

    # --- windows ----------------------------------------------------------

    def window(self, title, client_height=None):
        """Waits until a window with this title is on the screen."""
        pattern = "^" + re.escape(title) + "$"
        found = wait_for(f"a window titled {title!r}", lambda: self.x(
            "xdotool", "search", "--onlyvisible", "--name", pattern, check=False).split())
        if len(found) != 1:
            raise Failure(f"{len(found)} windows titled {title!r} are on the screen")
        return Window(self, found[0], client_height)

    def wait_gone(self, window):
        wait_for(f"window {window.xid} to leave the screen", lambda: not window.is_visible())

    def main_window(self):
        return self.window(MAIN_TITLE, client_height=MAIN_CLIENT[1])

    def splash(self):
        """The one window the program shows when it starts."""
        found = wait_for("the splash window", self.visible_windows)
        if len(found) != 1:
            raise Failure(f"the program starts with {len(found)} windows on the screen, not one")
        return Window(self, found[0])

    def begin(self):
        """Presses the splash window's button and returns the main window."""
        self.splash().click_control(BEGIN)
        main = self.main_window()
        main.wait_active()
        return main

    # --- fields and menus ---------------------------------------------------

    def copied(self, copy):
        """Runs copy(), which should put text on the clipboard, and returns that text."""
        # xclip stays behind to hand the text out, so its output must lead nowhere.
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], env=self.env, input=SENTINEL,
                       text=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=TIMEOUT, check=True)
        wait_for("the clipboard to be cleared", lambda: self.clipboard() == SENTINEL)
        copy()
        text = None

        def changed():
            nonlocal text
            text = self.clipboard()
            return text not in (SENTINEL, None)
        wait_for("text on the clipboard", changed)
        return text

    def clipboard(self):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env,
                                capture_output=True, text=True, timeout=TIMEOUT)
        return result.stdout if result.returncode == 0 else None

    def read_field(self, window, name):
        """Clicks into a field, selects all of it and copies it."""
        def copy():
            window.click_control(MAIN[name])
            window.wait_active()
            self.key("ctrl+a", "ctrl+c")
        return self.copied(copy)

    def fill(self, window, name, text):
        """Clicks into a field, selects all of it and types over it."""
        window.click_control(MAIN[name])
        window.wait_active()
        self.key("ctrl+a")
        self.type(text)

    def figure_et(self, window, hp, weight):
        """Types a horsepower and a weight and presses Figure, with the mouse."""
        self.fill(window, "txtHP1", hp)
        self.fill(window, "txtWeight1", weight)
        window.click_control(MAIN["cmdFigureEt"])

    def read_text_at(self, window, x, y):
        """Triple-clicks a piece of text (a paragraph of a label) and copies it."""
        def copy():
            window.click(x, y, times=3)
            self.key("ctrl+c")
        return self.copied(copy)

    def choose(self, item, window):
        """Chooses a menu item of the main window with the keyboard."""
        window.activate()
        keys = MENU[item]
        depth = 0
        for key in keys[:-1]:
            self.key(key)
            if key not in ARROWS:
                depth += 1
                wait_for(f"{depth} open menu(s) on the way to {item!r}",
                         lambda: self.open_menus() == depth)
        self.key(keys[-1])
        wait_for(f"the menus to close after choosing {item!r}", lambda: self.open_menus() == 0)

    def wait_exit(self):
        """Waits for the program to end and returns its exit status."""
        wait_for("the program to end", lambda: self.program.poll() is not None)
        return self.program.returncode


class SessionTest(unittest.TestCase):
    """Tests that each run the program on a desktop of their own:
    `with self.desktop() as session:`."""

    executable = None

    def desktop(self, **program):
        return Session(self.executable, name=self.id().rsplit(".", 1)[-1], **program)


def main():
    """Runs the tests of the calling script on the executable named by the first argument."""
    if len(sys.argv) < 2:
        sys.exit(f"usage: {sys.argv[0]} path/to/torvane [unittest options]")
    SessionTest.executable = sys.argv.pop(1)
    missing = sorted({package for tool, package in TOOLS.items() if not shutil.which(tool)})
    if missing:
        print("Skipped: no desktop to run on; install the Debian packages " + " ".join(missing))
        sys.exit(SKIPPED)
    unittest.main(module="__main__", verbosity=2)
