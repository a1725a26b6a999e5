#!/usr/bin/env python3
"""Draws a lotrano allocation again from its seed file, without lotrano.

Written from docs/draw.md alone, as a second implementation of the draw that
anyone can read and run with nothing but Python 3.

  python3 tools/redraw.py SEED_FILE STUDENTS START END
      prints one line per student, "row problem", in the order of the
      report's rows (all batches).
  python3 tools/redraw.py --report REPORT.rez [SEED_FILE]
      says whether a report and its seed file agree. Without SEED_FILE the
      seed file is looked for beside the report, under the name that goes
      with the report's name, then under the older name.
  python3 tools/redraw.py --report REPORT.rez [SEED_FILE] --public-text TEXT
      the same, and whether the seed file comes from the public text TEXT:
      its entries, as many as the report has batches, brought into range,
      must be the text's.
  python3 tools/redraw.py --public-text TEXT
      prints the text normalised, its SHA-256 and the three seed entries
      that come from it.
  python3 tools/redraw.py --help

Exit status: 0 done (or the report agrees), 2 the report does not agree,
3 a wrong command line, a file that cannot be read as a report or a seed
file, or a public text that is refused (empty once normalised, or not text).
"""

import hashlib
import math
import os
import re
import struct
import sys
import unicodedata

FIRST_MODULUS, SECOND_MODULUS = 2147483563, 2147483399
FIRST_MAX, SECOND_MAX = FIRST_MODULUS - 1, SECOND_MODULUS - 1


class Unreadable(Exception):
    """A file that cannot be read as a report or a seed file, or a group
    that cannot be drawn over its range."""


# --- The generator -------------------------------------------------------


def word_into_range(word, largest):
    """A seed word (any 32-bit value, read as unsigned) brought into
    1..largest: 0 becomes largest; above largest, largest is taken off once
    or twice."""
    v = word & 0xFFFFFFFF
    if v == 0:
        return largest
    while v > largest:
        v -= largest
    return v


def to_single(x):
    """x rounded to the nearest single-precision value, ties to even."""
    return struct.unpack("<f", struct.pack("<f", x))[0]


class Generator:
    def __init__(self, first_word, second_word):
        self.w1 = word_into_range(first_word, FIRST_MAX)
        self.w2 = word_into_range(second_word, SECOND_MAX)

    def uniform(self):
        self.w1 = 40014 * self.w1 % FIRST_MODULUS
        self.w2 = 40692 * self.w2 % SECOND_MODULUS
        z = self.w1 - self.w2
        if z <= 0:
            z += FIRST_MAX
        # z * 2^-31 is exact as a Python float; one rounding to single.
        return to_single(z * 2.0**-31)


# --- One batch ------------------------------------------------------------


def to_int32(v):
    return (v + 2**31) % 2**32 - 2**31


def problem_of(u, start, end, count):
    """The problem number for one uniform."""
    p = to_single(u * to_single(count))  # both factors single: the product is exact
    # The nearest integer, halves away from zero. |p| + 0.5 is exact in
    # double precision whenever it could reach an integer (|p| >= 0.5).
    k = math.floor(abs(p) + 0.5)
    if p < 0:
        k = -k
    v = start + k
    if v < start:
        v = start
    if v > end:
        v = v + start - end
    return to_int32(v)


def distinct_values(count):
    return count if count >= 2 else (2 if count == 1 else 1)


def draw_batch(n, start, end, generator):
    """n problem numbers, no two alike (n <= distinct_values(count))."""
    count = end - start + 1
    a = [problem_of(generator.uniform(), start, end, count) for _ in range(max(n, 0))]
    # The sweep of docs/draw.md, which consumes the very uniforms that
    # rescanning from the first pair after every replacement would.
    held = set()  # the values at the positions before i, each there once
    for i, v in enumerate(a):
        for j in range(i + 1, len(a)):
            if a[j] == v:
                w = problem_of(generator.uniform(), start, end, count)
                while w == v or w in held:
                    w = problem_of(generator.uniform(), start, end, count)
                a[j] = w
        held.add(v)
    return a


def batch_sizes(students, count):
    if students <= count:
        return [students, 0, 0]
    d = students - count
    return [count, count, d - count] if d > count else [count, d, 0]


def drawn_batches(sizes):
    """Batch 1 is always drawn, even empty; batches 2 and 3 only with students."""
    return [k for k in range(3) if k == 0 or sizes[k] > 0]


# --- The seed file --------------------------------------------------------


def read_lines(path, what):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        raise Unreadable(f"{path}: cannot read the {what}: {e.strerror}")
    lines = data.split(b"\n")
    if lines[-1] == b"":
        lines.pop()
    return [line[:-1] if line.endswith(b"\r") else line for line in lines]


def read_seed_pairs(path, wanted):
    """The first `wanted` entries of a seed file. An entry is a label line
    (the next line that is not blank; what it says does not matter) and two
    integers from the lines after it, separated by blanks or a comma; the
    rest of the line holding the second one is passed over."""
    lines = [line.decode("latin-1") for line in read_lines(path, "seed file")]
    pairs = []
    at = 0
    for entry in range(1, wanted + 1):
        while at < len(lines) and not lines[at].strip(" \t"):
            at += 1
        at += 1  # the label line
        words = []
        while len(words) < 2 and at < len(lines):
            text = lines[at].strip(" \t")
            at += 1
            for word in re.split(r"[ \t]*,[ \t]*|[ \t]+", text) if text else []:
                if not re.fullmatch(r"[+-]?[0-9]+", word) or not -(2**31) <= int(word) < 2**31:
                    raise Unreadable(f"{path}: entry {entry}: {word!r} is not a 32-bit integer")
                words.append(int(word))
                if len(words) == 2:
                    break
        if len(words) < 2:
            raise Unreadable(f"{path}: has no entry {entry} (a label line and two words)")
        pairs.append(words)
    return pairs


def redraw(seed_path, students, start, end):
    """The problem numbers of batches 1, 2 and 3 (empty when not drawn)."""
    count = end - start + 1
    sizes = batch_sizes(students, count)
    if any(size > distinct_values(count) for size in sizes):
        raise Unreadable(f"{students} students cannot be drawn over {start}..{end}")
    drawn = drawn_batches(sizes)
    pairs = dict(zip(drawn, read_seed_pairs(seed_path, len(drawn))))
    return [draw_batch(sizes[k], start, end, Generator(*pairs[k])) if k in pairs else []
            for k in range(3)]


# --- The seed words of a public text ---------------------------------------

# A letter followed by a combining mark, and the one code point that
# Romanian texts write for them: s S t T with a comma below or a cedilla
# become the letters with a comma below; a A with a breve, a A i I with a
# circumflex, the letters with it.
JOINED = {}
for letters, mark, joined_with in [("ST", "COMMA BELOW", "COMMA BELOW"),
                                   ("ST", "CEDILLA", "COMMA BELOW"),
                                   ("A", "BREVE", "BREVE"),
                                   ("AI", "CIRCUMFLEX ACCENT", "CIRCUMFLEX")]:
    for letter in letters:
        for case, base in (("SMALL", letter.lower()), ("CAPITAL", letter)):
            JOINED[base + unicodedata.lookup("COMBINING " + mark)] = unicodedata.lookup(
                f"LATIN {case} LETTER {letter} WITH {joined_with}")
# The cedilla letters of older keyboards, for the letters with a comma below.
COMMA_FORMS = {unicodedata.lookup(f"LATIN {case} LETTER {letter} WITH CEDILLA"):
               unicodedata.lookup(f"LATIN {case} LETTER {letter} WITH COMMA BELOW")
               for case in ("SMALL", "CAPITAL") for letter in "ST"}
# White space, exactly these code points (str.isspace() also takes U+001C
# to U+001F, which are not).
WHITE_SPACE = set(map(chr, [*range(0x09, 0x0E), 0x20, 0x85, 0xA0, 0x1680, *range(0x2000, 0x200B),
                            0x2028, 0x2029, 0x202F, 0x205F, 0x3000]))
BYTE_ORDER_MARK = unicodedata.lookup("ZERO WIDTH NO-BREAK SPACE")


def normalise_public_text(text):
    """The text as its seed words are taken from, or Unreadable: the byte
    order marks removed; a letter and its combining mark joined; cedillas
    made commas below; each run of white space one blank, none at the ends."""
    try:
        text.encode("utf-8")
    except UnicodeEncodeError:
        raise Unreadable("the public text is not valid UTF-8")
    text = text.replace(BYTE_ORDER_MARK, "")
    letters = []
    i = 0
    while i < len(text):
        if text[i:i + 2] in JOINED:
            letters.append(JOINED[text[i:i + 2]])
            i += 2
        else:
            letters.append(COMMA_FORMS.get(text[i], text[i]))
            i += 1
    words = "".join(" " if c in WHITE_SPACE else c for c in letters).split(" ")
    normalised = " ".join(word for word in words if word)
    if not normalised:
        raise Unreadable("the public text is empty or only white space")
    return normalised


def public_text_entries(normalised):
    """The three entries (pairs of words, in range) of a normalised text:
    entry k from the big-endian signed words in bytes 8k-8..8k-5 and
    8k-4..8k-1 of its SHA-256."""
    digest = hashlib.sha256(normalised.encode("utf-8")).digest()
    words = struct.unpack(">6i", digest[:24])
    return [(word_into_range(words[2 * k], FIRST_MAX), word_into_range(words[2 * k + 1], SECOND_MAX))
            for k in range(3)]


# --- The report -----------------------------------------------------------


def field(n, width, asterisks):
    """n right-aligned in width columns; a number that does not fit takes the
    width it needs (in reports written before that rule: asterisks)."""
    text = str(n)
    if len(text) > width and asterisks:
        return "*" * width
    return text.rjust(width)


def place(line, column, text):
    """text written into line from column (counting from 1) on, over what
    stood there; a gap is filled with blanks."""
    line = line.ljust(column - 1)
    return line[: column - 1] + text + line[column - 1 + len(text):]


HEADS_WITH_NAMES = place(place(" Nr_crt", 10, "Nume Student"), 46, "Numar_Problema_Examen")
HEADS_WITHOUT_NAMES = place(" Nr_crt", 11, "Numar_Problema_Examen")
REALLOCATION_LABEL = ' [Re-alocare, cu: "'


def report_body(r, batches, asterisks):
    """The report's lines from the first one up to, not including, the empty
    line before the date."""
    n, start, end = r["students"], r["start"], r["end"]
    count = end - start + 1
    lines = [
        " Grupa: " + r["group"],
        " Numar de Studenti:" + field(n, 4, asterisks),
        "",
        " Problema de Examen Nr.: " + r["exam"],
        "",
        " Set de Probleme: #" + r["set"],
        f" Numere Probleme: {start}-{end}  ({count} probleme)",
        "",
        HEADS_WITHOUT_NAMES if r["names"] is None else HEADS_WITH_NAMES,
        "",
    ]
    row = 0
    for p in batches[0] + batches[1] + batches[2]:
        row += 1
        line = field(row, 4, asterisks)
        if r["names"] is None:
            lines.append(place(line, 10, field(p, 3, asterisks)))
        else:
            name = r["names"][row - 1]
            line = place(line, 10, name)
            column = 48 if len(name.rstrip(" ")) >= 36 else 46
            lines.append(place(line, column, field(p, 2, asterisks)))
    if n < count:
        given = set(batches[0])
        listed = [i for i in range(start, end + 1) if i not in given]
        lines += ["", "", " Probleme ne-alocate"]
        lines.append("".join(field(i, 5, asterisks) for i in listed))
        lines.append(f" (Numar de probleme: {len(listed)})")
    elif n == count:
        lines += ["", " Probleme ne-alocate: 0"]
    if batches[1]:
        lines += ["", "", " Probleme dublate", place(" Nr_crt", 13, "Numar_Problema_Examen"), ""]
        offset = 0
        for b in (0, 1):
            earlier, later = batches[b], batches[b + 1]
            if b == 1:
                if not later:
                    break
                lines.append("")
            pairs = [(i, j) for i in range(len(earlier)) for j in range(len(later))
                     if earlier[i] == later[j]]
            for i, j in pairs:
                lines.append(field(offset + i + 1, 4, asterisks)
                             + field(offset + len(earlier) + j + 1, 4, asterisks)
                             + ":" + field(earlier[i], 4, asterisks))
            lines.append(f" (Numar de probleme dublate: {len(pairs)})")
            offset += len(earlier)
    return lines


def first_difference(lines, body):
    """None when the report's lines are the body, an empty line, the date
    line and, in a re-allocation, an empty line and the line naming the seed
    file (the date line and that line are not compared); else the number of
    the first line that differs and what was wanted there."""
    for i, wanted in enumerate(body):
        if i >= len(lines) or lines[i] != wanted:
            return i + 1, wanted
    tail = lines[len(body):] + [None] * 5
    if tail[0] != "":
        return len(body) + 1, ""
    if tail[1] is None:
        return len(body) + 2, "(the date line)"
    if tail[2] is None:
        return None
    if tail[2] != "":
        return len(body) + 3, ""
    if tail[3] is None or not tail[3].startswith(REALLOCATION_LABEL):
        return len(body) + 4, REALLOCATION_LABEL + '..."]'
    if tail[4] is not None:
        return len(body) + 5, "(the end of the report)"
    return None


def decode(line):
    """A line as characters: UTF-8 when it is valid UTF-8, else one byte one
    character."""
    try:
        return line.decode("utf-8")
    except UnicodeDecodeError:
        return line.decode("latin-1")


def read_report(path):
    """What a report says of its allocation, and its lines."""
    lines = [decode(line) for line in read_lines(path, "report")]

    def expect(index, pattern):
        m = re.fullmatch(pattern, lines[index]) if index < len(lines) else None
        if not m:
            raise Unreadable(f"{path}: line {index + 1} is not the line a report has there")
        return m

    r = {"lines": lines, "group": expect(0, r" Grupa: (.*)").group(1)}
    r["students"] = int(expect(1, r" Numar de Studenti: *(-?[0-9]+)").group(1))
    expect(2, "")
    r["exam"] = expect(3, r" Problema de Examen Nr\.: (.)").group(1)
    expect(4, "")
    r["set"] = expect(5, r" Set de Probleme: #(-?[0-9]+|\*)").group(1)
    m = expect(6, r" Numere Probleme: (-?[0-9]+)-(-?[0-9]+)  \((-?[0-9]+) probleme\)")
    r["start"], r["end"] = int(m.group(1)), int(m.group(2))
    expect(7, "")
    expect(8, re.escape(HEADS_WITH_NAMES) + "|" + re.escape(HEADS_WITHOUT_NAMES))
    expect(9, "")
    r["names"] = None
    if lines[8] == HEADS_WITH_NAMES:
        # A name takes columns 10 to 46. The number of a shorter name than
        # 36 characters stands from column 46 on and reaches column 47 at
        # least; a name of 36 or 37 characters keeps column 46, and column
        # 47 stays blank. So column 47 tells them apart (column 45 does not:
        # the 36th character of a 37-character name may be a blank).
        r["names"] = []
        for line in lines[10:10 + max(r["students"], 0)]:
            long_name = line[46:47] in ("", " ")
            r["names"].append(line[9:46 if long_name else 45].ljust(37))
        r["names"] += [" " * 37] * (r["students"] - len(r["names"]))
    return r


def seed_file_names(report_path):
    """Where a report's seed file is looked for: the name that goes with the
    report's name, then the older name of reports written before."""
    folder, name = os.path.split(report_path)
    m = re.fullmatch(r"Probleme Examen Nr_(.) \(([^)]*)\) (.*)\.rez", name)
    if not m:
        return []
    newer = "Seed_" + name[len("Probleme Examen Nr_"):-len(".rez")] + ".dat"
    g, dot = name.find("G"), name.find(".")
    group_start = g if g >= 0 else m.start(3)
    group = name[group_start:dot] if dot > group_start else ""
    older = f"Seed_{m.group(1)} ({m.group(2)}) {group}.dat"
    return [os.path.join(folder, newer), os.path.join(folder, older)]


def check_report(report_path, seed_path, public_text=None):
    r = read_report(report_path)
    if seed_path is None:
        tried = seed_file_names(report_path)
        found = [path for path in tried if os.path.isfile(path)]
        if not found:
            raise Unreadable(f"{report_path}: no seed file found (looked for: "
                             f"{', '.join(tried) or 'none, the name is not a report name'})")
        seed_path = found[0]
    batches = redraw(seed_path, r["students"], r["start"], r["end"])
    # A report written before numbers took the width they need shows
    # asterisks instead; it agrees if either form matches.
    difference = first_difference(r["lines"], report_body(r, batches, False))
    note = ""
    if difference is not None and first_difference(r["lines"], report_body(r, batches, True)) is None:
        difference = None
        note = " (except the numbers that its asterisks stand for)"
    entry = None
    if public_text is not None:
        # As many entries as the draw took, brought into range as it took them.
        taken = len(drawn_batches(batch_sizes(r["students"], r["end"] - r["start"] + 1)))
        pairs = [(word_into_range(a, FIRST_MAX), word_into_range(b, SECOND_MAX))
                 for a, b in read_seed_pairs(seed_path, taken)]
        wanted = public_text_entries(public_text)
        entry = next((k for k in range(taken) if pairs[k] != wanted[k]), None)
        note += "; the seed file " + ("does not come" if entry is not None else "comes") + \
            f' from the public text "{public_text}"'
    if difference is None and entry is None:
        print(f"agree: {report_path} matches the seed file {seed_path}{note}")
        return 0
    if difference is None:
        print(f"DISAGREE: {report_path} matches the seed file {seed_path}{note}")
    else:
        n, wanted_line = difference
        found = r["lines"][n - 1] if n <= len(r["lines"]) else "(no line)"
        print(f"DISAGREE: {report_path} does not match the seed file {seed_path}{note}")
        print(f"  first differing line: {n}")
        print(f'  in the report: "{found}"')
        print(f'  redrawn:       "{wanted_line}"')
    if entry is not None:
        print(f"  first differing entry: {entry + 1}")
        print(f"  in the seed file:    {pairs[entry][0]} {pairs[entry][1]}")
        print(f"  from the text:       {wanted[entry][0]} {wanted[entry][1]}")
    return 2


# --- Command line ---------------------------------------------------------


def main(args):
    try:
        if args in (["--help"], ["-h"]):
            print(__doc__.strip())
            return 0
        public_text = None
        if "--public-text" in args[:-1]:
            at = args.index("--public-text")
            public_text = normalise_public_text(args[at + 1])
            args = args[:at] + args[at + 2:]
            if not args:
                print(f"normalised: {public_text}")
                print(f"sha256: {hashlib.sha256(public_text.encode('utf-8')).hexdigest()}")
                for k, (a, b) in enumerate(public_text_entries(public_text), 1):
                    print(f"seed_{k}: {a} {b}")
                return 0
        if args and args[0] == "--report" and len(args) in (2, 3):
            return check_report(args[1], args[2] if len(args) == 3 else None, public_text)
        if public_text is not None:
            args = ["--public-text"] + args  # goes with --report only
        if len(args) == 4 and not args[0].startswith("--"):
            numbers = [int(a) for a in args[1:] if re.fullmatch(r"[+-]?[0-9]+", a)]
            if len(numbers) == 3 and all(-(2**31) <= v < 2**31 for v in numbers):
                students, start, end = numbers
                batches = redraw(args[0], students, start, end)
                for row, p in enumerate(batches[0] + batches[1] + batches[2], 1):
                    print(row, p)
                return 0
        print("redraw.py: wrong command line", file=sys.stderr)
        print("Try 'python3 tools/redraw.py --help'.", file=sys.stderr)
        return 3
    except Unreadable as e:
        print(f"redraw.py: {e}", file=sys.stderr)
        return 3


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
