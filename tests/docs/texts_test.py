#!/usr/bin/env python3
"""Holds the shipped texts together:

1. LICENSE is the licence that packaging/copyright gives for the files, the
   same holder and year and, word for word, the same Expat text.
2. The guide, the README and the draw as the Windows zip has them
   (CITESTE.txt, README.txt and DRAW.txt, from tools/windows-zip.py) are
   plain text: no Markdown marks left, no punctuation run together where a
   mark was taken away, such as "(Grupa:;" from "(`Grupa:`;" or "...:" from
   "`...`:", no quotation mark left alone, and a link to a file of the zip
   names it as the zip does; the conversion's own cases too.
3. The desktop entry runs the program in a terminal, names it in Romanian
   and shows the icon that the installation brings; after a run that failed
   its terminal waits for Enter, after one that finished it does not.
4. The manual pages' sections stand in the order of man-pages(7).

  python3 tests/docs/texts_test.py
"""

import os
import re
import runpy
import subprocess
import sys
import tempfile

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


def paragraphs(text):
    """The paragraphs of a plain text that are not code, each with the number
    of its first line."""
    found, lines, first = [], [], 0
    for number, line in enumerate(text.splitlines() + [""], 1):
        if line.strip() and not line.startswith("    "):
            first = first or number
            lines.append(line)
        elif lines:
            found.append((first, "\n".join(lines)))
            lines, first = [], 0
    return found


# Pieces of Markdown and the plain text the zip makes of them.
CONVERSIONS = [
    ("(`Grupa:`; scrieți", "ro", "(„Grupa:”; scrieți"),
    ("`POTRIVIRE: ... seed ...`: raportul", "ro", "„POTRIVIRE: ... seed ...”: raportul"),
    ("rândul din raport (`in raport:`)", "ro", "rândul din raport („in raport:”)"),
    ('semnele `/ \\ : * ? " < > |`.', "ro", 'semnele „/ \\ : * ? " < > |”.'),
    ("Porniți `lotrano.exe` cu dublu clic, scrieți `r`", "ro",
     "Porniți lotrano.exe cu dublu clic, scrieți „r”"),
    ("then runs `make\ntest` and", "en", "then runs “make\ntest” and"),
    ("(**Expat**, [`LICENSE`](LICENSE))", "en", "(Expat, LICENSE.txt)"),
    ("(`**` for a problem, `*` for a set)", "en", "(“**” for a problem, “*” for a set)"),
    ("[`docs/draw.md`](docs/draw.md) writes", "en", "DRAW.txt writes"),
    ("does ([docs/draw.md](docs/draw.md#the-seed-words-of-a-public-text) gives", "en",
     "does (DRAW.txt gives"),
    ("the [rules](docs/draw.md) say", "en", "the rules (DRAW.txt) say"),
    ("[removing\nrepeats](#removing-repeats), batches", "en", "removing\nrepeats, batches"),
    ("the [site](https://example.org/x)", "en", "the site (https://example.org/x)"),
    ("## The `--csv` option", "en", "The --csv option\n----------------"),
    ("Code:\n\n    lotrano-verify `x` *.rez\n", "en", "Code:\n\n    lotrano-verify `x` *.rez"),
    ("```\n$ echo `x`\n```", "en", "    $ echo `x`"),
]


def check_plain_texts():
    # The zip's conversion, taken from its script (not importable by name).
    zip_script = runpy.run_path(os.path.join(ROOT, "tools", "windows-zip.py"), run_name="windows_zip")
    markdown_as_text = zip_script["markdown_as_text"]
    quotes = {"ro": zip_script["ROMANIAN_QUOTES"], "en": zip_script["ENGLISH_QUOTES"]}
    for markdown, language, plain in CONVERSIONS:
        got = markdown_as_text(markdown, quotes[language])
        if got != plain + "\n":
            fail(f"windows-zip.py makes {got!r} of {markdown!r}, not {plain!r}")
    for source, name, language in (("docs/ghid.md", "CITESTE.txt", "ro"), ("README.md", "README.txt", "en"),
                                   ("docs/draw.md", "DRAW.txt", "en")):
        if zip_script["ZIP_NAMES"].get(source) != name:
            fail(f"the zip does not hold {source} as {name}")
        text = markdown_as_text(read(*source.split("/")), quotes[language])
        for number, paragraph in paragraphs(text):
            # A quotation mark of ASCII stands inside quotes of the text, or in a pair.
            outside = re.sub(r"„[^”]*”|“[^”]*”", "", paragraph)
            if outside.count('"') % 2:
                fail(f"{name} line {number} has a quotation mark left alone: {paragraph!r}")
        for number, line in enumerate(text.splitlines(), 1):
            if line.startswith("    "):
                continue  # code, as it is typed
            line = re.sub(r"„[^”]*”|“[^”]*”", "„”", line)  # quoted code, as it is written
            for mark, what in ((r"`", "a backquote"), (r"\*\*", "a bold mark"),
                               (r"^#", "a Markdown heading"), (r"\]\(", "a Markdown link"),
                               (r"[:;,]\.(?!\w)|(?<!\.)\.{4}(?!\.)|[:;,] ?[;)]|\.\.\.:",
                                "punctuation run together")):
                if re.search(mark, line):
                    fail(f"{name} line {number} keeps {what}: {line!r}")
            if re.search(r"\bLICENSE\b(?!\.txt)|\bdocs/draw\.md \(", line):
                fail(f"{name} line {number} names a file by another name than the zip's: {line!r}")


def exec_arguments(value):
    """The arguments of a desktop entry's Exec value, unquoted as desktop
    environments read them: the string escapes first, then the double
    quotes, inside which a backslash escapes " ` $ and itself."""
    value = re.sub(r"\\([\\snrt])", lambda m: {"s": " ", "n": "\n", "r": "\r", "t": "\t"}
                   .get(m.group(1), m.group(1)), value)
    arguments, current, quoted, k = [], None, False, 0
    while k < len(value):
        c = value[k]
        if quoted and c == "\\" and k + 1 < len(value) and value[k + 1] in '"`$\\':
            current += value[k + 1]
            k += 2
            continue
        if c == '"':
            quoted = not quoted
            current = current or ""
        elif c == " " and not quoted:
            if current is not None:
                arguments.append(current)
            current = None
        else:
            current = (current or "") + c
        k += 1
    if current is not None:
        arguments.append(current)
    return arguments


def run_exec(arguments, status):
    """The Exec command with a stand-in lotrano that ends with `status`: what
    it prints, and whether it still waits once the stand-in has ended."""
    with tempfile.TemporaryDirectory() as folder:
        stand_in = os.path.join(folder, "lotrano")
        with open(stand_in, "w") as script:
            script.write(f"#!/bin/sh\necho 'lotrano: error' >&2\nexit {status}\n")
        os.chmod(stand_in, 0o755)
        env = dict(os.environ, PATH=folder + os.pathsep + os.environ.get("PATH", ""))
        run = subprocess.Popen(arguments, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, env=env)
        waited = False
        if status != 0:
            try:
                run.wait(timeout=0.5)
            except subprocess.TimeoutExpired:
                waited = True
        # Enter, or for a finished run nothing at all (its terminal closes).
        output, _ = run.communicate(b"\n" if status != 0 else b"", timeout=10)
        return output.decode(), waited


def check_desktop_entry():
    entry = read("packaging", "lotrano.desktop")
    keys = dict(line.split("=", 1) for line in entry.splitlines()
                if "=" in line and not line.startswith("#"))
    arguments = exec_arguments(keys.get("Exec", ""))
    if not re.search(r"\blotrano\b", " ".join(arguments)) or keys.get("TryExec") != "lotrano":
        fail(f"the desktop entry runs {keys.get('Exec')!r}, not lotrano")
    else:
        output, waited = run_exec(arguments, 30)
        if not waited or "Apasati Enter" not in output:
            fail(f"after a failed run the terminal does not wait for Enter: {output!r}")
        output, waited = run_exec(arguments, 0)
        if waited or "Enter" in output:
            fail(f"after a finished run the terminal waits still: {output!r}")
    for word in ("studenți", "sorți", "grupă", "studenti"):
        if word not in keys.get("Keywords", "").split(";"):
            fail(f"the desktop entry's keywords lack {word}")
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
