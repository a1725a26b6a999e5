#!/usr/bin/env python3
"""Puts the Windows zip together from a cross build:

    lotrano.exe, lotrano-verify.exe (when the build has it),
    CITESTE.txt   the teachers' guide (docs/ghid.md) as plain text,
    README.txt    README.md as plain text,
    DRAW.txt      the draw written down (docs/draw.md) as plain text,
    LICENSE.txt   the licence (LICENSE),
    Verificare.html    the checking page (tools/build-web.py),
    Dat/grupa_311.dat  the sample group file.

The texts get CR LF line ends, so that every Notepad shows them as lines;
CITESTE.txt, README.txt and DRAW.txt also begin with a UTF-8 byte order
mark, so that their letters beyond ASCII are read as UTF-8 even by the
Notepads that otherwise guess ANSI. A link to a file that the zip holds names
it as the zip does (LICENSE.txt, DRAW.txt). Every entry carries its Unix file
type and mode (zipinfo shows -rw-r--r--, -rwxr-xr-x or drwxr-xr-x).
The programs are stripped of their symbols when the MinGW strip is at hand.

    tools/windows-zip.py BUILD_DIR OUTPUT.zip
"""
import pathlib
import re
import runpy
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
PROGRAMS = ["lotrano.exe", "lotrano-verify.exe"]
STRIP = "x86_64-w64-mingw32-strip"


# The texts of the sources that the zip holds, under the zip's names.
ZIP_NAMES = {"LICENSE": "LICENSE.txt", "README.md": "README.txt", "docs/ghid.md": "CITESTE.txt",
             "docs/draw.md": "DRAW.txt"}
# Quotation marks around a piece of code set in a sentence: the Romanian
# ones in the guide, the English ones elsewhere.
ROMANIAN_QUOTES = ("„", "”")
ENGLISH_QUOTES = ("“", "”")


def code_text(code, quotes):
    """A code span as plain text: a word or a file name as it is; a piece that
    holds a blank or a quote, ends in a punctuation mark, is one character or
    signs alone between quotation marks, so that it stays apart from the
    sentence around it ("(`Grupa:`;" must not read "(Grupa:;")."""
    if (re.search(r"[\s\"']", code) or code[-1] in ":;,.!?" or len(code) == 1
            or re.fullmatch(r"[\W_]+", code)):
        return quotes[0] + code + quotes[1]
    return code


def link_text(text, target, quotes):
    """A link as plain text: a section of the same text by its text alone; a
    file that the zip holds by the zip's name; anything else by its text and
    its address."""
    shown = inline_text(text, quotes)
    path = target.partition("#")[0]
    if not path:
        return shown
    if path in ZIP_NAMES:
        return ZIP_NAMES[path] if text.strip("`") == path else f"{shown} ({ZIP_NAMES[path]})"
    return f"{shown} ({target})"


# Markdown's inline marks, found from left to right: a link, a code span (whose
# text is taken as it is, stars included), or the stars of bold text.
INLINE_MARKS = re.compile(r"\[(?P<text>[^\]]+)\]\((?P<target>[^)]+)\)|`(?P<code>[^`]+)`|\*\*")


def inline_text(text, quotes):
    """Markdown's inline marks as plain text: links, code without its
    backquotes (quoted where it would run into the sentence), no stars."""
    def plain(mark):
        if mark.group("target"):
            return link_text(mark.group("text"), mark.group("target"), quotes)
        if mark.group("code"):
            return code_text(mark.group("code"), quotes)
        return ""

    return INLINE_MARKS.sub(plain, text)


def markdown_as_text(markdown, quotes=ENGLISH_QUOTES):
    """A Markdown file of headings, paragraphs, lists and code as plain
    text: headings underlined, fenced code indented like the other code. The
    inline marks are read paragraph by paragraph, since a piece of code or a
    link may run over a line end; the lines stay as they are."""
    lines = []
    paragraph = []

    def end_paragraph():
        if paragraph:
            lines.extend(inline_text("\n".join(paragraph), quotes).split("\n"))
            paragraph.clear()

    fenced = False
    for line in markdown.splitlines():
        if line.startswith("```"):
            end_paragraph()
            fenced = not fenced
            continue
        if fenced:
            lines.append("    " + line)
            continue
        if line.startswith("    ") and not paragraph:
            lines.append(line)
            continue
        heading = re.match(r"(#+) +(.*)", line)
        if heading:
            end_paragraph()
            title = inline_text(heading.group(2), quotes)
            lines.append(title)
            underline = {1: "=", 2: "-", 3: "~"}.get(len(heading.group(1)))
            if underline:
                lines.append(underline * len(title))
            continue
        if not line.strip():
            end_paragraph()
            lines.append(line)
            continue
        paragraph.append(line)
    end_paragraph()
    return "\n".join(lines) + "\n"


def windows_text(text, byte_order_mark=False):
    data = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")
    return (b"\xef\xbb\xbf" if byte_order_mark else b"") + data


def checking_page():
    """The page as tools/build-web.py puts it together from web/."""
    build_web = runpy.run_path(str(ROOT / "tools" / "build-web.py"))
    return build_web["page"](ROOT / "web").encode("utf-8")


def program_bytes(path):
    if shutil.which(STRIP) is None:
        return path.read_bytes()
    with tempfile.TemporaryDirectory() as folder:
        copy = pathlib.Path(folder) / path.name
        shutil.copyfile(path, copy)
        subprocess.run([STRIP, "--strip-all", str(copy)], check=True)
        return copy.read_bytes()


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: tools/windows-zip.py BUILD_DIR OUTPUT.zip")
    build = pathlib.Path(sys.argv[1])
    output = pathlib.Path(sys.argv[2])
    if not (build / PROGRAMS[0]).is_file():
        sys.exit(f"windows-zip: no {build / PROGRAMS[0]}; build it first (make windows)")
    entries = []
    for name in PROGRAMS:
        if (build / name).is_file():
            entries.append((name, program_bytes(build / name)))
    sample = (ROOT / "samples" / "grupa_311.dat").read_text(encoding="utf-8")
    for source, quotes in (("docs/ghid.md", ROMANIAN_QUOTES), ("README.md", ENGLISH_QUOTES),
                           ("docs/draw.md", ENGLISH_QUOTES)):
        text = markdown_as_text((ROOT / source).read_text(encoding="utf-8"), quotes)
        entries.append((ZIP_NAMES[source], windows_text(text, byte_order_mark=True)))
    entries.append(("LICENSE.txt", windows_text((ROOT / "LICENSE").read_text(encoding="utf-8"))))
    entries.append(("Verificare.html", checking_page()))
    entries.append(("Dat/grupa_311.dat", windows_text(sample)))

    now = time.localtime()[:6]
    partial = output.with_name(output.name + ".part")
    with zipfile.ZipFile(partial, "w", compression=zipfile.ZIP_DEFLATED) as archive:
        folders = sorted({name.rsplit("/", 1)[0] + "/" for name, _ in entries if "/" in name})
        for folder in folders:
            info = zipfile.ZipInfo(folder, date_time=now)
            info.create_system = 3  # the mode bits are Unix ones
            info.external_attr = ((stat.S_IFDIR | 0o755) << 16) | 0x10  # and Windows' folder bit
            archive.writestr(info, b"")
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=now)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3
            mode = 0o755 if name.endswith(".exe") else 0o644
            info.external_attr = (stat.S_IFREG | mode) << 16
            archive.writestr(info, data)
    partial.replace(output)
    print(f"Windows zip: {output}")
    for name, data in entries:
        print(f"  {name} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
