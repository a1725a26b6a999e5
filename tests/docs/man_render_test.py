#!/usr/bin/env python3
"""Every manual page under man/ (Romanian ones in man/ro/ too) renders
without a word from groff, wherever it is read:

1. groff -ww, page and postprocessor, on the devices that print it (ps, and
   pdf, which PDF manuals come from) and on those that show it on a terminal
   (ascii, latin1, utf8): each glyph the page asks for is in the device's
   fonts or has a stand-in that the page defines.
2. man, as a user runs it on a local page, under the C locale (the ascii
   device, as over ssh and in containers), C.UTF-8 and ro_RO.UTF-8, with
   every groff warning on.
3. Where the device is UTF-8, each letter beyond ASCII that the page writes,
   as itself or as a \\[uXXXX] escape, is shown as itself, not as a stand-in.

Needs groff (with its pdf device), man-db and the ro_RO.UTF-8 locale; a
missing one fails the test, naming the commands that bring it.

  python3 tests/docs/man_render_test.py [FOLDER]   (default: man/)
"""

import os
import re
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEVICES = ("ps", "pdf", "ascii", "latin1", "utf8")
LOCALES = ("C", "C.UTF-8", "ro_RO.UTF-8")
SETUP = "tools/ensure-deps.sh groff man-db locales && tools/ensure-locale.sh ro_RO.UTF-8"
failures = []


def fail(what):
    failures.append(what)
    print("FAIL:", what)


def pages(folder):
    found = []
    for directory, _, names in os.walk(folder):
        found += [os.path.join(directory, name) for name in names if re.search(r"\.[1-9]$", name)]
    return sorted(found)


def letters(source):
    """The characters beyond ASCII that the page's text asks for, written as
    themselves or as \\[uXXXX] escapes; comments left out."""
    text = re.sub(r'\\".*', "", source)
    escaped = {chr(int(code, 16)) for code in re.findall(r"\\\[u([0-9A-F]{4,6})\]", text)}
    return escaped | {char for char in text if ord(char) > 127}


def run(command, env=None):
    result = subprocess.run(command, cwd=ROOT, env=env, capture_output=True)
    return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode(
        "utf-8", "replace")


def check_shown(page, where, output, expected):
    missing = sorted(char for char in expected if char not in output)
    if missing:
        fail(f"{page} under {where} does not show {''.join(missing)!r}")


def check_groff(page, expected):
    for device in DEVICES:
        # As man-db formats a page: preconv from UTF-8, then tbl.
        status, output, errors = run(["groff", "-k", "-t", "-man", "-ww", "-T" + device, page])
        if status != 0 or errors:
            fail(f"groff -T{device} {page} (status {status}):\n{errors.rstrip()}")
        elif device == "utf8":
            check_shown(page, "groff -Tutf8", output, expected)


def man_environment(locale):
    env = {name: value for name, value in os.environ.items()
           if not name.startswith(("LC_", "MAN")) and name not in ("LANG", "LANGUAGE", "PAGER")}
    # man-db's sandbox can be refused where the test runs in one itself; the
    # pages, not the sandbox, are what is checked here.
    env.update(LC_ALL=locale, MANWIDTH="80", MAN_DISABLE_SECCOMP="1")
    return env


def check_man(page, expected):
    for locale in LOCALES:
        status, output, errors = run(["man", "--warnings=w", "-l", page], man_environment(locale))
        if status != 0 or errors:
            fail(f"LC_ALL={locale} man -l {page} (status {status}):\n{errors.rstrip()}")
        elif locale != "C":
            check_shown(page, f"man in {locale}", output, expected)


def missing_setup():
    missing = [tool for tool in ("groff", "man") if shutil.which(tool) is None]
    _, listed, _ = run(["locale", "-a"]) if shutil.which("locale") else (1, "", "")
    have = {name.lower().replace("-", "") for name in listed.split()}
    missing += [locale for locale in LOCALES if locale.lower().replace("-", "") not in have]
    return missing


def main():
    folder = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "man"))
    missing = missing_setup()
    if missing:
        fail(f"missing {', '.join(missing)}: run {SETUP}")
        return 1
    found = pages(folder)
    if not found:
        fail(f"no manual pages under {folder}")
    for page in (os.path.relpath(page, ROOT) for page in found):
        with open(os.path.join(ROOT, page), encoding="utf-8") as source:
            expected = letters(source.read())
        check_groff(page, expected)
        check_man(page, expected)
    if failures:
        return 1
    names = ", ".join(os.path.relpath(page, ROOT) for page in found)
    print(f"man_render_test: {names} render silently on {', '.join(DEVICES)} and in man"
          f" under {', '.join(LOCALES)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
