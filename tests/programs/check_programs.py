# SPDX-License-Identifier: MIT
"""Runs a built program without a terminal and checks what it shows against
Python's own integers; checks that output it could not write makes it fail;
and runs it on a terminal of its own to check that every end puts the
terminal's settings back.

    check_programs.py rsacon|rsabox KEYS_H COMMAND...
    check_programs.py unhandled COMMAND...

COMMAND is the program, after its emulator if it needs one.
"""

import fcntl
import os
import re
import resource
import select
import signal
import subprocess
import sys
import termios
import time

# A message box as the POSIX build draws it: a framed text over an OK button.
BOX = r"(\+-+\+)\n\| (.*?) *\|\n\1\n\| *\[ OK \] *\|\n\1\n"

TIMEOUT = 120


def run(*args, **options):
    options = {"stdin": subprocess.DEVNULL, "capture_output": True, **options}
    if "stdout" in options:
        options.update(capture_output=False, stderr=subprocess.PIPE)
    return subprocess.run(args, timeout=TIMEOUT, check=False, **options)


def key_texts(keys_h):
    with open(keys_h, encoding="ascii") as f:
        return re.findall(r'"([0-9A-F]{64})"', f.read())


def hex_text(value):
    """The library's text form: upper-case digits in whole bytes."""
    digits = format(value, "X")
    return "0" * (len(digits) % 2) + digits


def expect(got, want, what):
    if got != want:
        sys.exit(f"FAILED: {what}: got {got!r}, expected {want!r}")


def no_reader():
    read_end, write_end = os.pipe()
    os.close(read_end)
    return write_end


# How standard output is lost, then the exit status and standard error expected.
LOST_OUTPUT = [
    (lambda: {"stdout": os.open("/dev/full", os.O_WRONLY)}, 1, "{}: write error: No space left on device\n"),
    (lambda: {"stdout": subprocess.DEVNULL, "preexec_fn": lambda: os.close(1)}, 1,
     "{}: write error: Bad file descriptor\n"),
    (lambda: {"stdout": no_reader()}, -signal.SIGPIPE, ""),
]


def check_lost_output(name, exe):
    for output, status, error in LOST_OUTPUT:
        options = output()
        result = run(*exe, **options)
        if isinstance(options["stdout"], int) and options["stdout"] >= 0:
            os.close(options["stdout"])
        expect((result.returncode, result.stderr.decode()), (status, error.format(name)), "output lost")


def take_terminal_without_core_dumps():
    """In the child: the terminal becomes its controlling one, and the
    signals that dump core (SIGQUIT, SIGSEGV) leave no core file."""
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))


def start_on_terminal(settings, *command):
    """Starts the command as the leader of a session whose controlling terminal
    is a new one with the given settings."""
    controller, terminal = os.openpty()
    termios.tcsetattr(terminal, termios.TCSANOW, settings)
    process = subprocess.Popen(command, stdin=terminal, stdout=terminal, stderr=terminal, start_new_session=True,
                               preexec_fn=take_terminal_without_core_dumps)
    return process, controller, terminal


def user_settings():
    """Settings a user might have chosen: no echo, no flow control and
    timing values that line mode leaves unread."""
    controller, terminal = os.openpty()
    settings = termios.tcgetattr(terminal)
    os.close(controller)
    os.close(terminal)
    settings[0] &= ~termios.IXON
    settings[3] &= ~termios.ECHO
    settings[6][termios.VMIN], settings[6][termios.VTIME] = b"\x05", b"\x07"
    return settings


def key_wait_settings(settings):
    """The user's settings with signals on and line mode and echo off, reading
    one byte at a time (which Python reports as numbers, not characters)."""
    wait = [*settings[:6], list(settings[6])]
    wait[3] = (wait[3] | termios.ISIG) & ~(termios.ICANON | termios.ECHO)
    wait[6][termios.VMIN], wait[6][termios.VTIME] = 1, 0
    return wait


def wait_for_key_wait(terminal, want):
    deadline = time.monotonic() + TIMEOUT
    while termios.tcgetattr(terminal)[3] & termios.ICANON:
        if time.monotonic() > deadline:
            sys.exit("FAILED: rsacon never waited for a key")
        time.sleep(0.01)
    expect(termios.tcgetattr(terminal), want, "settings during the key wait")


# How rsacon's key wait ends, and its exit status then: a key, Ctrl-C, and
# signals whose default action ends a process, from the terminal, the user,
# the system, a fault and the real-time range.
KEY_WAIT_ENDS = [
    ("key", lambda process, controller: os.write(controller, b"x"), 0),
    ("Ctrl-C", lambda process, controller: os.write(controller, b"\x03"), -signal.SIGINT),
    *((s.name, lambda process, controller, s=s: process.send_signal(s), -s)
      for s in (signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT, signal.SIGUSR1, signal.SIGPIPE, signal.SIGALRM,
                signal.SIGSEGV, signal.SIGRTMIN)),
]


def check_terminal_restored(process, controller, terminal, settings, status, what):
    expect(process.wait(TIMEOUT), status, f"{what}: exit status")
    expect(termios.tcgetattr(terminal), settings, f"{what}: settings after the end")
    os.close(controller)
    os.close(terminal)


def check_rsacon_on_terminal(exe):
    settings = user_settings()
    for what, end, status in KEY_WAIT_ENDS:
        # QEMU's user mode keeps the host's real-time signals for its own use:
        # one sent to it never reaches the program it emulates.
        if what == signal.SIGRTMIN.name and len(exe) > 1:
            continue
        process, controller, terminal = start_on_terminal(settings, *exe)
        wait_for_key_wait(terminal, key_wait_settings(settings))
        end(process, controller)
        check_terminal_restored(process, controller, terminal, settings, status, what)


def line_mode_with_echo(settings):
    """What a shell puts back for itself while a job is stopped."""
    line = [*settings[:6], list(settings[6])]
    line[3] |= termios.ICANON | termios.ECHO
    return line


def check_rsacon_stopped_and_continued(exe):
    """Ctrl-Z (SIGTSTP) during the key wait, then fg (SIGCONT) from a shell
    with job control: while stopped the terminal has the user's settings;
    the shell then turns line mode and echo on, and after fg one key, without
    Enter and without echo, still ends the wait. (The shell puts its own
    settings back at the end.)"""
    settings = user_settings()
    process, controller, terminal = start_on_terminal(settings, "bash", "-c", 'set -m; "$@"; read -r; fg', "_", *exe)
    wait_for_key_wait(terminal, key_wait_settings(settings))
    os.write(controller, b"\x1a")
    deadline = time.monotonic() + TIMEOUT
    while termios.tcgetattr(terminal) != settings:
        if time.monotonic() > deadline:
            sys.exit("FAILED: stopped: the user's settings were not put back")
        time.sleep(0.01)
    termios.tcsetattr(terminal, termios.TCSANOW, line_mode_with_echo(settings))
    os.write(controller, b"\n")  # ends the shell's read; fg follows
    wait_for_key_wait(terminal, key_wait_settings(settings))
    os.set_blocking(controller, False)
    while select.select([controller], [], [], 0.2)[0]:
        os.read(controller, 4096)  # what came before the key
    os.write(controller, b"k")
    expect(process.wait(TIMEOUT), 0, "stop and continue: exit status")
    after_key = os.read(controller, 4096) if select.select([controller], [], [], 0)[0] else b""
    expect(b"k" in after_key, False, "stop and continue: the key echoed")
    os.close(controller)
    os.close(terminal)


def check_rsacon(keys_h, *exe):
    result = run(*exe)
    expect(result.returncode, 0, "exit status")
    p_text, q_text = key_texts(keys_h)
    p, q = int(p_text, 16), int(q_text, 16)
    n, d = p * q, pow(65537, -1, (p - 1) * (q - 1))
    m = int.from_bytes(b"secret message.\0", "big")
    lines = ["p: " + p_text, "q: " + q_text, "n: " + hex_text(n), "d: " + hex_text(d), "secret message.",
             "m: 736563726574206D6573736167652E00", "ct: " + hex_text(pow(m, d, n)),
             "m: 736563726574206D6573736167652E00", "secret message.", ""]
    expect(result.stdout.decode("ascii").split("\r\n"), lines, "standard output lines")
    check_lost_output("rsacon", exe)
    check_rsacon_on_terminal(exe)
    check_rsacon_stopped_and_continued(exe)


def check_rsabox(keys_h, *exe):
    result = run(*exe)
    expect(result.returncode, 0, "exit status")
    n, d = (int(text, 16) for text in key_texts(keys_h))
    m = int.from_bytes(b"neka poruka\0", "little")
    out = result.stdout.decode("ascii")
    expect(re.sub(BOX, "", out), "", "output besides the boxes")
    expect([text for _, text in re.findall(BOX, out)], [hex_text(pow(m, d, n)), "neka poruka"], "box texts")
    check_lost_output("rsabox", exe)


def check_unhandled(*exe):
    library_error = "library error 0x0BADC0DE"
    for args, error in [((), library_error), (("divide",), "division by zero 0xC0000094"),
                        (("bad_alloc",), library_error), (("unknown",), library_error)]:
        result = run(*exe, *args)
        expect(result.returncode != 0, True, f"{args}: failure status {result.returncode}")
        expect(result.stderr.decode(), f"unhandled_error: unhandled {error}\n", f"{args}: standard error")
    settings = user_settings()
    check_terminal_restored(*start_on_terminal(settings, *exe), settings, 1, "error path on a terminal")


if __name__ == "__main__":
    {"rsacon": check_rsacon, "rsabox": check_rsabox, "unhandled": check_unhandled}[sys.argv[1]](*sys.argv[2:])
    print(f"{sys.argv[1]}: passed")
