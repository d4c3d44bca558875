# SPDX-License-Identifier: MIT
"""Runs a built program without a terminal and checks what it shows against
Python's own integers.

    check_programs.py rsacon|rsabox EXE KEYS_H
    check_programs.py unhandled EXE
"""

import re
import subprocess
import sys

# A message box as the POSIX build draws it: a framed text over an OK button.
BOX = r"(\+-+\+)\n\| (.*?) *\|\n\1\n\| *\[ OK \] *\|\n\1\n"


def run(*args):
    return subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, timeout=120, check=False)


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


def check_rsacon(exe, keys_h):
    result = run(exe)
    expect(result.returncode, 0, "exit status")
    p_text, q_text = key_texts(keys_h)
    p, q = int(p_text, 16), int(q_text, 16)
    n, d = p * q, pow(65537, -1, (p - 1) * (q - 1))
    m = int.from_bytes(b"secret message.\0", "big")
    lines = ["p: " + p_text, "q: " + q_text, "n: " + hex_text(n), "d: " + hex_text(d), "secret message.",
             "m: 736563726574206D6573736167652E00", "ct: " + hex_text(pow(m, d, n)),
             "m: 736563726574206D6573736167652E00", "secret message.", ""]
    expect(result.stdout.decode("ascii").split("\r\n"), lines, "standard output lines")


def check_rsabox(exe, keys_h):
    result = run(exe)
    expect(result.returncode, 0, "exit status")
    n, d = (int(text, 16) for text in key_texts(keys_h))
    m = int.from_bytes(b"neka poruka\0", "little")
    out = result.stdout.decode("ascii")
    expect(re.sub(BOX, "", out), "", "output besides the boxes")
    expect([text for _, text in re.findall(BOX, out)], [hex_text(pow(m, d, n)), "neka poruka"], "box texts")


def check_unhandled(exe):
    for args, error in [((), "library error 0x0BADC0DE"), (("divide",), "division by zero 0xC0000094")]:
        result = run(exe, *args)
        expect(result.returncode != 0, True, f"{args}: failure status {result.returncode}")
        expect(result.stderr.decode(), f"unhandled_error: unhandled {error}\n", f"{args}: standard error")


if __name__ == "__main__":
    {"rsacon": check_rsacon, "rsabox": check_rsabox, "unhandled": check_unhandled}[sys.argv[1]](*sys.argv[2:])
    print(f"{sys.argv[1]}: passed")
