#!/usr/bin/env python3
"""Holds the shipped texts together:

1. LICENSE is the licence that packaging/copyright gives for the files, the
   same holder and year and, word for word, the same Expat text.
2. The guide and the README as the Windows zip has them (CITESTE.txt and
   README.txt, from tools/windows-zip.py) are plain text: no Markdown marks
   left, and no punctuation doubled where a mark was taken away, such as
   "studenti:." from "`studenti:`." or "....", from "`...`.".
3. The desktop entry runs the program in a terminal, names it in Romanian
   and shows the icon that the installation brings.
4. The manual pages' sections stand in the order of man-pages(7).

  python3 tests/docs/texts_test.py
"""

import os
import re
import runpy
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
failures = []


def fail(what):
    failures.append(what)
    print("FAIL:", what)


def read(*parts):
    with open(os.path.join(ROOT, *parts), encoding="utf-8") as text:
        return text.read()


def copyright_licence():
    """The holder line and the Expat text of packaging/copyright, unfolded
    from its indented form (" ." is an empty line)."""
    text = read("packaging", "copyright")
    holder = re.search(r"^Files: \*\nCopyright: (.*)$", text, re.M).group(1)
    body = text.split("\nLicense: Expat\n", 2)[-1]
    lines = []
    for line in body.splitlines():
        if not line.startswith(" "):
            break
        lines.append("" if line == " ." else line[1:])
    return holder, "\n".join(lines).strip()


def check_licence():
    holder, licence = copyright_licence()
    text = read("LICENSE")
    first, _, rest = text.partition("\n\n")
    if first != f"Copyright {holder}":
        fail(f"LICENSE begins with {first!r}, packaging/copyright has Copyright: {holder}")
    if rest.strip() != licence:
        fail("LICENSE's text is not the Expat text of packaging/copyright")
    if "Expat" not in read("packaging", "copyright").split("Files: *", 1)[1].split("\n\n")[0]:
        fail("packaging/copyright does not give the files the Expat licence")


def check_plain_texts():
    # The zip's own conversion, taken from its script (not importable by name).
    markdown_as_text = runpy.run_path(os.path.join(ROOT, "tools", "windows-zip.py"),
                                      run_name="windows_zip")["markdown_as_text"]
    for source, name in (("docs/ghid.md", "CITESTE.txt"), ("README.md", "README.txt")):
        text = markdown_as_text(read(*source.split("/")))
        for number, line in enumerate(text.splitlines(), 1):
            if line.startswith("    "):
                continue  # code, as it is typed
            for mark, what in ((r"`", "a backquote"), (r"\*\*", "a bold mark"),
                               (r"^#", "a Markdown heading"), (r"\]\(", "a Markdown link"),
                               (r"[:;,]\.(?!\w)|(?<!\.)\.{4}(?!\.)", "punctuation left doubled")):
                if re.search(mark, line):
                    fail(f"{name} line {number} keeps {what}: {line!r}")


def check_desktop_entry():
    entry = read("packaging", "lotrano.desktop")
    keys = dict(line.split("=", 1) for line in entry.splitlines() if "=" in line)
    if keys.get("Exec", "").split()[:1] != ["lotrano"]:
        fail(f"the desktop entry runs {keys.get('Exec')!r}, not lotrano")
    if keys.get("Terminal") != "true":
        fail("the desktop entry does not open a terminal for the program's questions")
    icon = os.path.join(ROOT, "packaging", keys.get("Icon", "") + ".svg")
    if not os.path.isfile(icon):
        fail(f"the desktop entry's icon {keys.get('Icon')!r} is not packaging/<icon>.svg")
    for key in ("Name", "GenericName", "Comment"):
        if not re.search(r"examen", keys.get(key, "")):
            fail(f"the desktop entry's {key} does not speak Romanian of exams: {keys.get(key)!r}")


# man-pages(7): the sections of a page, in this order.
MAN_SECTIONS = ["NAME", "SYNOPSIS", "CONFIGURATION", "DESCRIPTION", "OPTIONS", "EXIT STATUS",
                "RETURN VALUE", "ERRORS", "ENVIRONMENT", "FILES", "ATTRIBUTES", "VERSIONS",
                "STANDARDS", "HISTORY", "NOTES", "CAVEATS", "BUGS", "EXAMPLES", "AUTHORS",
                "REPORTING BUGS", "COPYRIGHT", "SEE ALSO"]


def check_manual_sections():
    for page in ("lotrano.1", "lotrano-verify.1"):
        sections = [line[4:].strip('"') for line in read("man", page).splitlines()
                    if line.startswith(".SH ")]
        unknown = [s for s in sections if s not in MAN_SECTIONS]
        if unknown:
            fail(f"{page}: sections that man-pages(7) does not name: {unknown}")
        known = [s for s in sections if s in MAN_SECTIONS]
        if known != sorted(known, key=MAN_SECTIONS.index):
            fail(f"{page}: sections out of man-pages(7)'s order: {known}")
    if ".SH FILES" not in read("man", "lotrano-verify.1"):
        fail("lotrano-verify.1 has no FILES section")


def main():
    check_licence()
    check_plain_texts()
    check_desktop_entry()
    check_manual_sections()
    if failures:
        print(f"texts_test: {len(failures)} failure(s)", file=sys.stderr)
        return 1
    print("texts_test: LICENSE, the zip's plain texts, the desktop entry and the manual pages'"
          " sections hold")
    return 0


if __name__ == "__main__":
    sys.exit(main())
