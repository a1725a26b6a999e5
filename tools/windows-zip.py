#!/usr/bin/env python3
"""Puts the Windows zip together from a cross build:

    lotrano.exe, lotrano-verify.exe (when the build has it),
    CITESTE.txt   the teachers' guide (docs/ghid.md) as plain text,
    README.txt    README.md as plain text,
    LICENSE.txt   the licence (LICENSE),
    Verificare.html    the checking page (tools/build-web.py),
    Dat/grupa_311.dat  the sample group file.

The texts get CR LF line ends, so that every Notepad shows them as lines;
CITESTE.txt and README.txt also begin with a UTF-8 byte order mark, so that
their letters beyond ASCII are read as UTF-8 even by the Notepads that
otherwise guess ANSI. Every entry carries its Unix file type and mode
(zipinfo shows -rw-r--r--, -rwxr-xr-x or drwxr-xr-x).
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


def inline_text(line):
    """Markdown's inline marks as plain text: a link as its text and its
    address, code without its backquotes, no stars."""
    line = re.sub(r"\[([^\]]+)\]\(([^)]+)\)", r"\1 (\2)", line)
    line = line.replace("**", "")
    return line.replace("`", "")


def markdown_as_text(markdown):
    """A Markdown file of headings, paragraphs, lists and code as plain
    text: headings underlined, fenced code indented like the other code."""
    lines = []
    fenced = False
    for line in markdown.splitlines():
        if line.startswith("```"):
            fenced = not fenced
            continue
        if fenced:
            lines.append("    " + line)
            continue
        if line.startswith("    "):
            lines.append(line)
            continue
        heading = re.match(r"(#+) +(.*)", line)
        if heading:
            title = inline_text(heading.group(2))
            lines.append(title)
            underline = {1: "=", 2: "-", 3: "~"}.get(len(heading.group(1)))
            if underline:
                lines.append(underline * len(title))
            continue
        lines.append(inline_text(line))
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
    guide = (ROOT / "docs" / "ghid.md").read_text(encoding="utf-8")
    readme = (ROOT / "README.md").read_text(encoding="utf-8")
    sample = (ROOT / "samples" / "grupa_311.dat").read_text(encoding="utf-8")
    entries.append(("CITESTE.txt", windows_text(markdown_as_text(guide), byte_order_mark=True)))
    entries.append(("README.txt", windows_text(markdown_as_text(readme), byte_order_mark=True)))
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
