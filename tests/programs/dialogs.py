# SPDX-License-Identifier: MIT
"""Runs rsabox on a virtual X display and checks its two message boxes as a
user meets them: each box alone on the screen, its text read back from
outside the program, closed by a key press, then the exit status.

    dialogs.py KEYS_H SCREENSHOTS [--linux RSABOX] [--wine PREFIX RSABOX_EXE BOX_TEXT_EXE]

The Linux build is also ended from outside while a box is up, started with
a display that cannot be opened, and started without one, its output on
/dev/full.

The Linux build's GTK dialogs are read through the X clipboard: the text is
selected in the dialog's label and copied with Ctrl+C, and xclip reads what
GTK serves. Wine's boxes are read by box_text.exe, which asks the window
system for the caption and text of each message box on the screen. Each box
is saved as SCREENSHOTS/<platform>-<n>.png.
"""

import argparse
import os
import signal
import subprocess
import sys
import time
from pathlib import Path

from check_programs import expect, hex_text, key_texts

TIMEOUT = 60
ROOT = Path(__file__).resolve().parents[2]


def expected_boxes(keys_h):
    """The boxes in the order they must appear: their text, and the key
    that closes each one (both count as OK)."""
    n, d = (int(text, 16) for text in key_texts(keys_h))
    m = int.from_bytes(b"neka poruka\0", "little")
    return [(hex_text(pow(m, d, n)), "Return"), ("neka poruka", "Escape")]


def wait_until(condition, what):
    deadline = time.monotonic() + TIMEOUT
    while (result := condition()) is None:
        if time.monotonic() > deadline:
            sys.exit(f"FAILED: timed out waiting for {what}")
        time.sleep(0.05)
    return result


class Display:
    """An Xvfb server on a free display, and the X tools pointed at it."""

    def __init__(self):
        self.env = {name: value for name, value in os.environ.items() if name != "WAYLAND_DISPLAY"}
        # No accessibility bus here: GTK would warn that it found none.
        self.env.update(GDK_BACKEND="x11", NO_AT_BRIDGE="1")
        # A display another server holds makes this one exit at once. Without
        # -noreset the server would reset as each X tool disconnects, and a
        # program connecting meanwhile would find no display.
        for number in range(90, 100):
            self.env["DISPLAY"] = f":{number}"
            self.server = subprocess.Popen(["Xvfb", self.env["DISPLAY"], "-noreset", "-screen", "0", "800x600x24",
                                            "-nolisten", "tcp"], stderr=subprocess.DEVNULL)
            info = wait_until(lambda: self.root_window_or_end(Path(f"/tmp/.X{number}-lock")), "the X server")
            if info:
                self.root = str(int(info.split("Window id: ")[1].split()[0], 16))
                return
        sys.exit("FAILED: no free display for Xvfb")

    def root_window_or_end(self, lock):
        """xwininfo's report of the root window; "" once the server has ended.
        Until the lock file names this server, the display may be another's."""
        if self.server.poll() is not None:
            return ""
        try:
            if int(lock.read_text().strip()) != self.server.pid:
                return None
        except (OSError, ValueError):
            return None
        return self.run("xwininfo", "-root", check=False).stdout or None

    def close(self):
        self.server.terminate()
        self.server.wait(TIMEOUT)

    def run(self, *command, check=True):
        return subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=TIMEOUT, check=check)

    def visible_windows(self):
        # xdotool exits with 1 when it finds none.
        found = self.run("xdotool", "search", "--onlyvisible", "--maxdepth", "1", "--name", "", check=False)
        return [window for window in found.stdout.split() if window != self.root]

    def title(self, window):
        return self.run("xdotool", "getwindowname", window).stdout.rstrip("\n")

    def press(self, window, *keys):
        self.run("xdotool", "windowfocus", "--sync", window, "key", "--clearmodifiers", *keys)


def read_by_clipboard(display, window):
    """Ctrl+C in the label, after Tab has moved the focus there from OK."""
    sentinel = "(nothing copied)"
    # xclip serves the sentinel until the dialog takes the clipboard over.
    subprocess.run(["xclip", "-selection", "clipboard"], input=sentinel, text=True, env=display.env,
                   stdout=subprocess.DEVNULL, timeout=TIMEOUT, check=True)
    display.press(window, "Tab", "ctrl+c")

    def copied():
        text = display.run("xclip", "-o", "-selection", "clipboard", check=False).stdout
        return text if text != sentinel else None

    return wait_until(copied, "the dialog's text on the clipboard")


def read_by_window_system(box_text):
    """box_text.exe's one line for the one box on the screen, as
    "caption<TAB>text"; the caption is checked with the X window's title."""

    def read(display, window):
        def one_box():
            lines = display.run(*box_text).stdout.splitlines()
            return lines if lines else None

        lines = wait_until(one_box, "the box's text from box_text.exe")
        expect(len(lines), 1, "message boxes on the screen")
        caption, _, text = lines[0].rstrip("\r").partition("\t")
        expect(caption, display.title(window), "the box's caption")
        return text

    return read


def screenshot(display, window, path):
    """Waits until the window shows more than its background colour."""

    def painted():
        display.run("import", "-window", window, str(path))
        colours = display.run("identify", "-format", "%k", str(path)).stdout
        return True if int(colours) > 1 else None

    wait_until(painted, f"{path.name} to show something")


def ended_early(program, what):
    """Fails, with what the program wrote, once it has ended before a box."""
    if program.poll() is not None:
        out, err = program.communicate()
        sys.exit(f"FAILED: {what}: the program ended first, with status {program.returncode}:\n"
                 f"{out.decode(errors='replace')}{err.decode(errors='replace')}")


def check_platform(display, name, command, title, read, boxes, screenshots):
    """Runs the program and walks through its boxes in order."""
    program = subprocess.Popen(command, env=display.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
    shown = None
    for number, (text, close_key) in enumerate(boxes, 1):
        what = f"{name}: box {number}"
        if shown is not None:
            wait_until(lambda: True if shown not in display.visible_windows() else None, f"{what} to replace the last")
        windows = wait_until(lambda: ended_early(program, what) or display.visible_windows() or None, what)
        expect(len(windows), 1, f"{what}: windows on the screen")
        shown = windows[0]
        screenshot(display, shown, screenshots / f"{name}-{number}.png")
        expect(display.title(shown), title, f"{what}: title")
        expect(read(display, shown), text, f"{what}: text")
        display.press(shown, close_key)
    out, err = program.communicate(timeout=TIMEOUT)
    expect(program.returncode, 0, f"{name}: exit status")
    expect((out, err), (b"", b""), f"{name}: standard output and error")
    expect(display.visible_windows(), [], f"{name}: windows left after the end")
    print(f"{name}: {len(boxes)} boxes as expected")


def unused_display():
    """A display number no server holds, neither by lock file nor socket."""
    number = next(n for n in range(200, 300)
                  if not Path(f"/tmp/.X{n}-lock").exists() and not Path(f"/tmp/.X11-unix/X{n}").exists())
    return f":{number}"


def close_from_outside(xdotool_command):
    """The first box ended by xdotool: windowkill cuts the program's whole
    connection to the display, windowclose destroys the window alone."""

    def act(display, rsabox, env):
        program = subprocess.Popen([rsabox], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        window = wait_until(lambda: ended_early(program, xdotool_command) or display.visible_windows() or None,
                            "the first box")[0]
        display.run("xdotool", xdotool_command, window)
        out, err = program.communicate(timeout=TIMEOUT)
        expect(display.visible_windows(), [], f"{xdotool_command}: windows left after the end")
        return program.returncode, err.decode(), out.count(b"[ OK ]")

    return act


def without_dialogs(display_name, output_full=False):
    """rsabox where no dialog opens: DISPLAY as given, or unset. With
    output_full its output is /dev/full and its input a terminal, where a box
    would wait for an Enter that nobody presses."""

    def act(display, rsabox, env):
        env = {name: value for name, value in env.items() if name != "DISPLAY"}
        if display_name:
            env["DISPLAY"] = display_name
        controller, terminal = os.openpty()
        with open("/dev/full", "wb") as full:
            result = subprocess.run([rsabox], env=env, stdin=terminal if output_full else subprocess.DEVNULL,
                                    stdout=full if output_full else subprocess.PIPE, stderr=subprocess.PIPE,
                                    timeout=TIMEOUT, check=False)
        os.close(controller)
        os.close(terminal)
        return result.returncode, result.stderr.decode(), (result.stdout or b"").count(b"[ OK ]")

    return act


def check_linux_failures(display, rsabox):
    """Ends without dialogs to close: what happens, then the exit status,
    standard error and the framed boxes on standard output expected."""
    cannot_open = "rsabox: cannot open the display (DISPLAY={}); the boxes go to the terminal\n"
    free = unused_display()
    cases = [
        ("window killed", close_from_outside("windowkill"), 2, "rsabox: the display connection was lost\n", 0),
        ("window destroyed", close_from_outside("windowclose"), 2,
         "rsabox: the message box's window was destroyed from outside\n", 0),
        ("no server", without_dialogs(free), 0, cannot_open.format(free), 2),
        ("no display name", without_dialogs("garbage"), 0, cannot_open.format("garbage"), 2),
        ("/dev/full", without_dialogs(None, output_full=True), 1,
         "rsabox: write error: No space left on device\n", 0),
    ]
    for what, act, status, error, boxes in cases:
        expect(act(display, rsabox, display.env), (status, error, boxes), f"linux: {what}")
    print(f"linux: {len(cases)} ends without dialogs as expected")


def wine_command(prefix, program):
    return [str(ROOT / "cmake" / "wine64-run"), prefix, program]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("keys_h")
    parser.add_argument("screenshots", type=Path)
    parser.add_argument("--linux", metavar="RSABOX")
    parser.add_argument("--wine", nargs=3, metavar=("PREFIX", "RSABOX_EXE", "BOX_TEXT_EXE"))
    args = parser.parse_args()
    args.screenshots.mkdir(parents=True, exist_ok=True)
    # A stop from outside still takes the display down.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("FAILED: stopped"))
    boxes = expected_boxes(args.keys_h)
    display = Display()
    try:
        if args.linux:
            check_platform(display, "linux", [args.linux], "Error", read_by_clipboard, boxes, args.screenshots)
            check_linux_failures(display, args.linux)
        if args.wine:
            prefix, rsabox_exe, box_text_exe = args.wine
            box_text = wine_command(prefix, box_text_exe)
            # Wine draws the boxes' title bars itself, as no window manager
            # runs here to draw them. This starts the Wine server and its
            # system processes on this display too, before the program.
            display.run(*wine_command(prefix, "reg"), "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated",
                        "/d", "N", "/f")
            expect(display.visible_windows(), [], "wine: windows before the program")
            check_platform(display, "wine", wine_command(prefix, rsabox_exe), "Error",
                           read_by_window_system(box_text), boxes, args.screenshots)
    finally:
        display.close()


if __name__ == "__main__":
    main()
