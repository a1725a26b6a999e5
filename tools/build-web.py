#!/usr/bin/env python3
"""Writes the checking page, one self-contained HTML file, from its sources
in web/: the template lotrano.html with page.css inlined as its style and
the modules in SCRIPTS, in that order (each after those it uses), as its one
script.

The page's Content-Security-Policy allows that one style and that one script
by their SHA-256 hashes and nothing else: no image, no connection, no frame,
no font, no form target.

    tools/build-web.py OUTPUT.html [WEB_DIR]
"""
import base64
import hashlib
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SCRIPTS = [
    # Reading and checking, also run under Node by the tests.
    "text.js", "words.js", "check_error.js", "draw.js", "public_text.js", "free_form.js",
    "seed_file.js",
    "report.js", "group_list.js", "rebuild.js", "compare.js", "csv.js", "file_names.js",
    "check.js", "roles.js", "read_files.js", "warm_up.js",
    # The document: the views, and the page's wiring last.
    "dom.js", "files_view.js", "public_text_view.js", "verdict_view.js", "table_view.js",
    "page.js",
]


def digest(source):
    return "'sha256-" + base64.b64encode(hashlib.sha256(source.encode("utf-8")).digest()).decode() + "'"


def page(web):
    template = (web / "lotrano.html").read_text(encoding="utf-8")
    style = "\n" + (web / "page.css").read_text(encoding="utf-8")
    script = "\n" + "\n".join((web / name).read_text(encoding="utf-8") for name in SCRIPTS)
    # Neither may end its own element early.
    for name, source, end in (("style", style, "</style"), ("script", script, "</script")):
        if end in source.lower():
            sys.exit(f"build-web: the {name} holds {end}>")
    policy = "; ".join([
        "default-src 'none'",
        "script-src " + digest(script),
        "style-src " + digest(style),
        "base-uri 'none'",
        "form-action 'none'",
    ])
    unlisted = sorted(p.name for p in web.glob("*.js") if p.name not in SCRIPTS)
    if unlisted:
        sys.exit(f"build-web: not in SCRIPTS: {', '.join(unlisted)}")
    for placeholder in ("@CSP@", "@CSS@", "@JS@"):
        if template.count(placeholder) != 1:
            sys.exit(f"build-web: the template must hold {placeholder} once")
    return template.replace("@CSP@", policy).replace("@CSS@", style).replace("@JS@", script)


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit(__doc__)
    output = pathlib.Path(argv[1])
    web = pathlib.Path(argv[2]) if len(argv) == 3 else ROOT / "web"
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_bytes(page(web).encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv)
