#!/usr/bin/env python3
"""Holds each English manual page and its Romanian page (man/ro/) together,
so that neither can change what it promises without the other:

1. the same title line: name, section, date and version;
2. the same sections in the same order, their headings translated by
   SECTION_NAMES, each with as many subsections;
3. the same options: those that the OPTIONS entries name, in their order,
   and every option that the page names anywhere;
4. the same exit statuses: the numbers of the EXIT STATUS entries, in their
   order, and every number that the section names;
5. the same environment variables: the ENVIRONMENT entries, in their order;
6. the same example commands, in their order.

Only what the two languages share is compared; the prose is each one's own.

  python3 tests/docs/man_languages_test.py [FOLDER]   (default: man/; the
  Romanian pages in FOLDER/ro/)
"""

import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from doc_examples_test import commands, man_examples, roff_text  # noqa: E402

# man-pages(7)'s sections and their headings in Debian's Romanian pages
# (those of man-db and psmisc); EXIT STATUS is said as a Romanian user says it.
SECTION_NAMES = {
    "NAME": "NUME",
    "SYNOPSIS": "REZUMAT",
    "CONFIGURATION": "CONFIGURARE",
    "DESCRIPTION": "DESCRIERE",
    "OPTIONS": "OPȚIUNI",
    "EXIT STATUS": "COD DE IEȘIRE",
    "RETURN VALUE": "VALOARE RETURNATĂ",
    "ERRORS": "ERORI",
    "ENVIRONMENT": "VARIABILE DE MEDIU",
    "FILES": "FIȘIERE",
    "ATTRIBUTES": "ATRIBUTE",
    "VERSIONS": "VERSIUNI",
    "STANDARDS": "STANDARDE",
    "HISTORY": "ISTORIC",
    "NOTES": "NOTE",
    "CAVEATS": "AVERTISMENTE",
    "BUGS": "DEFECȚIUNI",
    "EXAMPLES": "EXEMPLE",
    "AUTHORS": "AUTORI",
    "REPORTING BUGS": "RAPORTAREA ERORILOR",
    "COPYRIGHT": "DREPTURI DE AUTOR",
    "SEE ALSO": "CONSULTAȚI ȘI",
}
ENGLISH_NAME = {romanian: english for english, romanian in SECTION_NAMES.items()}
OPTION = re.compile(r"(?<![\w-])--?[A-Za-z][\w-]*")
FONT_MACROS = ("B", "I", "BR", "BI", "IB", "IR", "RB", "RI", "SB", "SM")
failures = []


def fail(what):
    failures.append(what)
    print("FAIL:", what)


class Page:
    """A manual page read for what it shares with its translation."""

    def __init__(self, path, names):
        inside = os.path.commonpath([path, ROOT]) == ROOT
        self.path = os.path.relpath(path, ROOT) if inside else path
        with open(path, encoding="utf-8") as source:
            lines = source.read().splitlines()
        self.title = next((line for line in lines if line.startswith(".TH ")), "")
        # Each section: its English name (or its heading, unknown), its lines.
        self.sections = []
        for line in lines:
            if line.startswith(".SH "):
                heading = roff_text(line[4:].strip().strip('"'))
                if heading not in names:
                    fail(f"{self.path}: the section {heading!r} is not one of man-pages(7)'s:"
                         " add it, in both languages, to SECTION_NAMES")
                self.sections.append((names.get(heading, heading), []))
            elif self.sections:
                self.sections[-1][1].append(line)
        self.examples = [command for block in man_examples(path)
                         for command, _, _ in commands(block)]

    def section(self, name):
        return next((lines for heading, lines in self.sections if heading == name), [])

    def outline(self):
        return [(name, sum(line.startswith(".SS ") for line in lines))
                for name, lines in self.sections]

    def tags(self, name):
        """The tag lines of a section's .TP and .TQ entries, as shown."""
        lines = self.section(name)
        return [self.text(lines[k + 1:k + 2]) for k, line in enumerate(lines[:-1])
                if re.match(r"\.T[PQ]\b", line)]

    def text(self, lines):
        """What the lines show: the text lines, and the words of the font
        macros' lines, without the other requests and their arguments."""
        shown = []
        for line in lines:
            if line.startswith((".", "'")):
                request, _, words = line[1:].partition(" ")
                if request not in FONT_MACROS:
                    continue
                line = words.replace('"', "")
            shown.append(roff_text(line))
        return "\n".join(shown)

    def listed_options(self):
        return [OPTION.findall(tag) for tag in self.tags("OPTIONS")]

    def options(self):
        return set(OPTION.findall(self.text(line for _, lines in self.sections for line in lines)))

    def statuses(self):
        tags = [re.findall(r"[0-9]+", tag) for tag in self.tags("EXIT STATUS")]
        text = self.text(self.section("EXIT STATUS"))
        return tags, set(re.findall(r"(?<![\w.-])[0-9]+(?![\w.])", text))

    def variables(self):
        return self.tags("ENVIRONMENT")

    def example_commands(self):
        return self.examples


def title_fields(title):
    """The .TH line's name, section, date and source: all but the manual's
    own name, which is said in the page's language."""
    return re.findall(r'"[^"]*"|\S+', title)[1:5]


def compare(english, romanian):
    pair = f"{english.path} and {romanian.path}"
    if title_fields(english.title) != title_fields(romanian.title):
        fail(f"{pair}: the title lines differ:\n  {english.title}\n  {romanian.title}")
    outlines = [english.outline(), romanian.outline()]
    if outlines[0] != outlines[1]:
        shown = [", ".join(f"{name} (with {count} .SS)" if count else name
                           for name, count in outline) for outline in outlines]
        fail(f"{pair}: other sections (Romanian ones named in English here):\n"
             f"  {english.path}: {shown[0]}\n  {romanian.path}: {shown[1]}")
    for what, of in (("options of OPTIONS", Page.listed_options),
                     ("options named", Page.options),
                     ("exit statuses", Page.statuses),
                     ("environment variables", Page.variables),
                     ("example commands", Page.example_commands)):
        ours, theirs = of(english), of(romanian)
        if ours == theirs:
            continue
        if isinstance(ours, set):
            ours, theirs = sorted(ours - theirs), sorted(theirs - ours)
            ours, theirs = f"only here: {ours}", f"only here: {theirs}"
        elif isinstance(ours, list) and len(ours) == len(theirs):
            # Only the first entry that differs, of a long list.
            k = next(k for k in range(len(ours)) if ours[k] != theirs[k])
            ours, theirs = f"entry {k + 1}: {ours[k]}", f"entry {k + 1}: {theirs[k]}"
        fail(f"{pair}: other {what}:\n  {english.path}: {ours}\n  {romanian.path}: {theirs}")


def main():
    folder = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "man"))
    english_pages = sorted(name for name in os.listdir(folder) if re.search(r"\.[1-9]$", name))
    romanian_folder = os.path.join(folder, "ro")
    romanian_pages = sorted(name for name in os.listdir(romanian_folder)
                            if re.search(r"\.[1-9]$", name))
    if english_pages != romanian_pages or not english_pages:
        fail(f"the English pages {english_pages} are not the Romanian ones {romanian_pages}")
    for name in sorted(set(english_pages) & set(romanian_pages)):
        english = Page(os.path.join(folder, name), {heading: heading for heading in SECTION_NAMES})
        romanian = Page(os.path.join(romanian_folder, name), ENGLISH_NAME)
        compare(english, romanian)
    if failures:
        print(f"man_languages_test: {len(failures)} difference(s) between the languages",
              file=sys.stderr)
        return 1
    print(f"man_languages_test: {', '.join(english_pages)} say the same in English and Romanian:"
          " sections, options, exit statuses, environment, example commands")
    return 0


if __name__ == "__main__":
    sys.exit(main())
