#!/usr/bin/env python3
"""Holds tools/redraw.py to the program.

  python3 tests/tools/redraw_test.py LOTRANO_BINARY [--cases N] [--seed S]

1. Every known answer of tests/data/draw_known_answers.tsv, through
   redraw.py's command line, from seed files written in several ways.
2. The one-sweep removal of repeats against rescanning from the first pair
   after every replacement, on small random batches.
3. Wrong command lines and unreadable files: status 3.
4. Reports with numbers too wide for their fields, in both forms.
5. The public texts of tests/data/public_text_known_answers.tsv: their
   normalised text, SHA-256 and entries; a re-allocation by the binary
   from a public text's entries, checked with `--report ... --public-text`.
6. Two new allocations by the real binary, and N random re-allocations
   (typed groups and group files with long and UTF-8 names, one to three
   batches, negative and empty ranges, any seed words, variant names): its
   rows against redraw.py's, and `redraw.py --report` on its reports (0) and
   on tampered copies (2).
Exit status 0 when everything agrees.
"""

import collections
import contextlib
import hashlib
import io
import os
import random
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOLS = os.path.join(ROOT, "tools")
REDRAW = os.path.join(TOOLS, "redraw.py")
TABLE = os.path.join(ROOT, "tests", "data", "draw_known_answers.tsv")
PUBLIC_TEXTS = os.path.join(ROOT, "tests", "data", "public_text_known_answers.tsv")
sys.path.insert(0, TOOLS)
import redraw  # noqa: E402

INT32_MIN, INT32_MAX = -(2**31), 2**31 - 1
DATE_LINE = re.compile(r"^ [0-9]{4}-[0-9]{2}-[0-9]{2}   [0-9]{2}:[0-9]{2}:[0-9]{2}$")
failures = []


def fail(what):
    failures.append(what)
    print("FAIL:", what)


def run_redraw(*args, process=False):
    """redraw.py's status, output and diagnostics for a command line: run as
    a program of its own, or (much faster) its main() called here."""
    args = [str(a) for a in args]
    if process:
        done = subprocess.run([sys.executable, REDRAW, *args], capture_output=True, text=True)
        return done.returncode, done.stdout, done.stderr
    out, err = io.StringIO(), io.StringIO()
    with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
        status = redraw.main(args)
    return status, out.getvalue(), err.getvalue()


def seed_text(pairs, style=0):
    """A seed file holding the pairs: as the program writes it (style 0), or
    in the other notations its reader takes."""
    entries = []
    for k, (a, b) in enumerate(pairs, 1):
        if style == 0:
            entries.append(f" seed_{k}:\r\n{a:12d}{b:12d}\r\n")
        elif style == 1:  # LF only, a comma, other labels, blank lines
            entries.append(f"\n  entry {k}\n {a}, {b}\n")
        else:  # the words on two lines, something after the second
            entries.append(f" seed_{k}:\r\n\t{a}\r\n\r\n {b}  old words\r\n")
    return "".join(entries)


def write(path, text, encoding="utf-8"):
    with open(path, "w", encoding=encoding, newline="") as f:
        f.write(text)


def table_rows(path):
    """The cases of a known-answer table under tests/data: its tab-separated
    columns, blank lines and lines starting with # left out."""
    with open(path, encoding="utf-8") as table:
        for line in table:
            if line.strip() and not line.startswith("#"):
                yield line.rstrip("\n").split("\t")


# --- 1. Known answers ------------------------------------------------------


def check_known_answers(folder):
    cases = 0
    for name, pairs, students, start, end, numbers in table_rows(TABLE):
        pairs = [tuple(int(w) for w in pair.split(" ")) for pair in pairs.split("; ")]
        seed = os.path.join(folder, "known.dat")
        write(seed, seed_text(pairs, cases % 3))
        status, out, err = run_redraw(seed, students, start, end, process=cases < 3)
        rows = [line.split(" ") for line in out.splitlines()]
        drawn = [int(p) for _, p in rows]
        if numbers.startswith("sha256:"):
            got = "sha256:" + hashlib.sha256("".join(f"{p}\n" for p in drawn).encode()).hexdigest()
        else:
            got = " ".join(map(str, drawn)) or "none"
        if status != 0 or got != numbers or [int(r) for r, _ in rows] != list(range(1, len(rows) + 1)):
            fail(f"known answer {name}: status {status}, got {got[:200]} {err}")
        cases += 1
    return cases


# --- 2. The sweep against rescanning --------------------------------------


def rescanning_draw(n, start, end, generator):
    """The removal of repeats as the rule is written."""
    count = end - start + 1
    a = [redraw.problem_of(generator.uniform(), start, end, count) for _ in range(n)]
    while True:
        pair = next(((i, j) for i in range(n) for j in range(i + 1, n) if a[i] == a[j]), None)
        if pair is None:
            return a
        a[pair[1]] = redraw.problem_of(generator.uniform(), start, end, count)


def check_sweep(rng, cases):
    for _ in range(cases):
        start = rng.randint(-50, 50)
        count = rng.choice([1, 2, 3, rng.randint(4, 40)])
        n = rng.randint(1, redraw.distinct_values(count))
        words = (rng.randint(INT32_MIN, INT32_MAX), rng.randint(INT32_MIN, INT32_MAX))
        a, b = redraw.Generator(*words), redraw.Generator(*words)
        swept = redraw.draw_batch(n, start, start + count - 1, a)
        rescanned = rescanning_draw(n, start, start + count - 1, b)
        if swept != rescanned or (a.w1, a.w2) != (b.w1, b.w2):
            fail(f"sweep {words} n={n} {start}..{start + count - 1}: {swept} != {rescanned}")


# --- 3. Command lines and unreadable files ---------------------------------


def check_refusals(folder):
    good = os.path.join(folder, "good.dat")
    write(good, seed_text([(1, 2), (3, 4), (5, 6)]))
    status, out, _ = run_redraw("--help", process=True)
    if status != 0 or "--report" not in out:
        fail("--help")
    report = os.path.join(folder, "not a report.rez")
    write(report, " Grupa: 1\r\nsomething else\r\n")
    short = os.path.join(folder, "short.dat")
    write(short, " seed_1:\r\n 1 2\r\n seed_2:\r\n 3\r\n")
    worded = os.path.join(folder, "worded.dat")
    write(worded, " seed_1:\r\n 1 two\r\n")
    huge = os.path.join(folder, "huge.dat")
    write(huge, " seed_1:\r\n 1 2147483648\r\n")
    refused = [
        (), ("--report",), ("--frobnicate",), (good, 4, 1), (good, "four", 1, 6),
        (good, 4, 1, 6, 7), (good, 4, 1, 2**31), ("--report", report, good, "extra"),
        (os.path.join(folder, "missing.dat"), 4, 1, 6), (short, 8, 1, 6), (worded, 4, 1, 6),
        (huge, 4, 1, 6), (good, 19, 1, 6), (good, 2, 5, 4), ("--report", report, good),
        ("--report", os.path.join(folder, "missing.rez"), good), ("--report", good, good),
    ]
    for k, args in enumerate(refused):
        status, out, err = run_redraw(*args, process=k % 4 == 0)
        if status != 3 or out or not err.startswith("redraw.py: "):
            fail(f"redraw.py {args}: status {status}, out {out!r}, err {err!r}")
    return len(refused) + 1


# --- 4. Reports written by hand --------------------------------------------


def check_widened_fields(folder):
    """A report with numbers wider than their fields, in both forms: the
    width they need, and the asterisks of reports written before. Three
    students over 0 to 999 from the words (24680, 13579) get 203, 682, 74."""
    seed = os.path.join(folder, "wide.dat")
    write(seed, seed_text([(24680, 13579)]))
    unallocated = "".join(f"{i:5d}" for i in range(1000) if i not in (203, 682, 74))

    def report(problems, problem_set):
        names = ["Alfa Beta", "Gama Delta Epsilon", "Lambda-Omicron Niu Xi Sigma Pi Rhoan"]
        # The name in columns 10 to 46; the problem from column 46 on, or
        # from 48 on after a name of 36 characters.
        rows = [f"{k + 1:4d}     " + (f"{names[k]:<38}{p:>2}" if len(names[k]) >= 36
                                      else f"{names[k]:<36}{p:>2}")
                for k, p in enumerate(problems)]
        return "\r\n".join([
            " Grupa: 311 AC", " Numar de Studenti:   3", "", " Problema de Examen Nr.: 1", "",
            " Set de Probleme: #" + problem_set, " Numere Probleme: 0-999  (1000 probleme)", "",
            " Nr_crt  Nume Student                        Numar_Problema_Examen", "", *rows,
            "", "", " Probleme ne-alocate", unallocated, " (Numar de probleme: 997)", "",
            " 2013-05-21   09:05:07", ""])

    cases = [
        (report(["203", "682", "74"], "12"), 0),
        (report(["**", "**", "74"], "*"), 0),
        (report(["203", "683", "74"], "12"), 2),
        (report(["203", "682", "74"], "12").replace(unallocated, unallocated[5:]), 2),
        (report([" 203", "682", "74"], "12"), 2),
    ]
    for k, (text, expected) in enumerate(cases):
        path = os.path.join(folder, f"wide{k}.rez")
        write(path, text)
        status, out, err = run_redraw("--report", path, seed)
        if status != expected:
            fail(f"widened report {k}: status {status}, not {expected}: {out}{err}")
    return len(cases)


# --- 5. Public texts ---------------------------------------------------------


def unescaped(written):
    """A text of the public texts' table: "\\u{HEX}" is the code point HEX,
    "\\\\" a backslash."""
    return re.sub(r"\\u\{([0-9A-Fa-f]+)\}|\\\\",
                  lambda m: chr(int(m.group(1), 16)) if m.group(1) else "\\", written)


def check_public_texts(folder):
    cases = 0
    for name, text, times, normalised, digest, entries in table_rows(PUBLIC_TEXTS):
        text = unescaped(text) * int(times)
        if normalised.startswith("!"):
            try:
                got = redraw.normalise_public_text(text)
                fail(f"public text {name}: taken as {got[:80]!r}, the table refuses it")
            except redraw.Unreadable:
                pass
        else:
            got = redraw.normalise_public_text(text)
            if normalised != "-" and got != unescaped(normalised):
                fail(f"public text {name}: normalised as {got[:80]!r}")
            if hashlib.sha256(got.encode("utf-8")).hexdigest() != digest:
                fail(f"public text {name}: another SHA-256")
            listed = "; ".join(f"{a} {b}" for a, b in redraw.public_text_entries(got))
            if listed != entries:
                fail(f"public text {name}: entries {listed}, not {entries}")
        # A few through the command line, as a person runs it.
        if cases < 5 or normalised.startswith("!"):
            status, out, err = run_redraw("--public-text", text, process=cases < 5)
            wanted = (3, "") if normalised.startswith("!") else (
                0, "".join(f"seed_{k}: {pair}\n"
                           for k, pair in enumerate(entries.split("; "), 1)))
            if status != wanted[0] or not out.endswith(wanted[1]) or (status == 3) != bool(err):
                fail(f"redraw.py --public-text for {name}: status {status}, {out!r} {err!r}")
        cases += 1
    return cases


def check_public_text_report(binary, folder):
    """70 students of a typed group over 1 to 30 (three batches) drawn by the
    binary from the entries of a public text: the report comes from the
    text, spelt with cedillas too, and not from a text one character apart."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    text = "Loto 6/49 din 14.12.2026: 3 7 19 24 33 41; Ștefan și Țuțu"
    work = os.path.join(folder, "public text")
    os.makedirs(work)
    seed = os.path.join(work, "Seed_public.dat")
    write(seed, seed_text(redraw.public_text_entries(redraw.normalise_public_text(text))))
    run = subprocess.run([binary], input=f"\n1234\n70\n1\n3\n1 30\nr\n{seed}\n\n", cwd=work,
                         env=env, capture_output=True, text=True, timeout=60)
    report = os.path.join(work, "Probleme Examen Nr_1 (1-30) Grupa 1234.rez")
    if run.returncode != 0 or not os.path.exists(report):
        fail(f"re-allocation from a public text: {run.returncode} {run.stderr[-200:]}")
        return 0
    checks = [(text, 0, "agree: "), ("Loto 6/49 din 14.12.2026: 3 7 19 24 33 41; Ştefan şi Ţuţu", 0,
              "agree: "), ("Loto 6/49 din 14.12.2026: 3 7 19 24 33 42; Ștefan și Țuțu", 2,
                           "DISAGREE: ")]
    for other, wanted, start in checks:
        status, out, err = run_redraw("--report", report, "--public-text", other, process=True)
        if status != wanted or not out.startswith(start) or "public text" not in out:
            fail(f"redraw.py --report --public-text {other!r}: {status} {out}{err}")
    return len(checks)


# --- 6. Against the binary --------------------------------------------------

EDGE_WORDS = [0, 1, -1, INT32_MIN, INT32_MAX, 2147483562, 2147483563, 2147483398, 2147483399,
              -172, -171, -500, -499]
NAMES = ["Alfa Beta", "Ştefănescu Ioana Mădălina", "Ţurcanu Ăâîșț Ion",
         "Lambda-Omicron Niu Xi Sigma Pi Rhoa", "Lambda-Omicron Niu Xi Sigma Pi Rhoan",
         "Lambda-Omicron Niu Xi Sigma Pi Rhoana", "Zeta Eta Teta Iota Kapa Lambda Miu Niu Xi",
         "Popescu-Ionescu Maria Magdalena Ilinc", "Ă",
         # 37 characters, the 36th a blank.
         "Lambda-Omicron Niu Xi Sigma Pi Rhoa B"]


def random_range(rng):
    """A range that the program draws: its text fits the five characters,
    and it holds at least two problems (the program asks again for any
    other; reports of such ranges made by earlier versions are checked in
    tests/data/reports_of_no_draw)."""
    while True:
        kind = rng.random()
        if kind < 0.5:
            start = rng.randint(1, 20)
            end = start + rng.randint(0, 40)
        elif kind < 0.7:
            start = rng.randint(-9, 0)
            end = start + rng.randint(0, 30)
        elif kind < 0.75:
            start, end = rng.randint(-99, -10), rng.randint(0, 9)
        elif kind < 0.85:
            start = rng.randint(-9, 99)
            end = start + 1  # two problems
        else:
            start = rng.choice([0, 1])
            end = rng.choice([99, 100, 999])
        if len(f"{start}-{end}") <= 5 and end > start:
            return start, end


def random_group_size(rng, count):
    while True:
        top = max(3 * count, 2)
        n = rng.choice([rng.randint(-2, 1), rng.randint(1, max(count, 1)), count,
                        rng.randint(count, top), top])
        if count >= 500:
            n = rng.choice([count - 1, count, count + 7, 3 * count])
        sizes = redraw.batch_sizes(n, count)
        if all(s <= redraw.distinct_values(count) for s in sizes):
            return n


def row_lines(lines):
    """The indexes of the report's rows: the lines after the column heads, up
    to the first empty line."""
    return range(10, lines.index("", 10))


def report_rows(lines):
    """(row, problem) of every row: the first and the last word of its line."""
    return [(int(lines[i].split()[0]), int(lines[i].split()[-1])) for i in row_lines(lines)]


def tampered(text, rng):
    """A copy that a check must refuse: two different problems swapped, or a
    line added at the end."""
    lines = text.split("\r\n")
    rows = row_lines(lines)
    pairs = [(i, j) for i in rows for j in rows
             if i < j and lines[i].split()[-1] != lines[j].split()[-1]]
    if pairs and rng.random() < 0.8:
        i, j = rng.choice(pairs)
        a, b = lines[i].split()[-1], lines[j].split()[-1]
        if len(a) == len(b):
            lines[i] = lines[i][: -len(a)] + b
            lines[j] = lines[j][: -len(b)] + a
            return "\r\n".join(lines)
    return text + " (Numar de probleme: 0)\r\n"


def check_binary(binary, rng, cases, folder):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    seen = collections.Counter()
    for case in range(cases):
        start, end = random_range(rng)
        count = end - start + 1
        n = random_group_size(rng, count)
        batches = len(redraw.drawn_batches(redraw.batch_sizes(n, count)))
        seen[f"{batches} batches"] += 1
        seen["negative starts"] += start < 0
        seen["ranges of two problems"] += count == 2
        words = [(rng.choice(EDGE_WORDS + [rng.randint(INT32_MIN, INT32_MAX)] * 4),
                  rng.choice(EDGE_WORDS + [rng.randint(INT32_MIN, INT32_MAX)] * 4))
                 for _ in range(batches + rng.randint(0, 1))]
        work = os.path.join(folder, f"case{case}")
        os.makedirs(work)
        chosen = os.path.join(work, "chosen seed.dat")
        write(chosen, seed_text(words, rng.randint(0, 2)))
        # Names only where every number fits its two columns: today's
        # program writes asterisks for wider ones.
        with_names = (1 <= n <= 60 and start >= -9 and max(end, start + 1, 2 * start - end) <= 99
                      and rng.random() < 0.4)
        exam, problem_set = rng.choice([1, 2]), rng.randint(-9, 99)
        seen["groups with names"] += with_names
        if with_names:
            os.makedirs(os.path.join(work, "Dat"))
            names = [rng.choice(NAMES) for _ in range(n)]
            write(os.path.join(work, "Dat", "grupa.txt"),
                  "Grupa 311 AC\r\n" + "".join(f"{k + 1}. {name}\r\n" for k, name in enumerate(names)))
            answers = f"grupa.txt\n{exam}\n{problem_set}\n{start} {end}\nr\n{chosen}\n"
        else:
            group = rng.choice(["1234", "311", "G", "X9"])
            answers = f"\n{group}\n{n}\n{exam}\n{problem_set}\n{start},{end}\nr\n{chosen}\n"
        run = subprocess.run([binary], input=answers, cwd=work, env=env, capture_output=True,
                             text=True, timeout=60)
        reports = [f for f in os.listdir(work) if f.endswith(".rez")]
        what = f"case {case} ({n} students, {start}..{end}, names {with_names}, words {words})"
        if run.returncode != 0 or len(reports) != 1:
            fail(f"{what}: the binary ended with {run.returncode}: {run.stderr[-300:]}")
            continue
        report = os.path.join(work, reports[0])
        with open(report, encoding="utf-8", newline="") as f:
            text = f.read()
        rows = report_rows(text.split("\r\n"))
        status, out, err = run_redraw(chosen, n, start, end)
        redrawn = [tuple(int(w) for w in line.split(" ")) for line in out.splitlines()]
        if status != 0 or redrawn != rows:
            fail(f"{what}: report rows {rows[:20]} but redraw.py {redrawn[:20]} {err}")
            continue
        # The seed file the re-allocation wrote beside the report is found
        # by itself; the one chosen is named.
        for args in (("--report", report), ("--report", report, chosen)):
            status, out, err = run_redraw(*args, process=case < 3)
            if status != 0 or not out.startswith("agree: "):
                fail(f"{what}: redraw.py {args[1:]} gave {status}: {out}{err}")
        if case % 20 == 0:
            # The same answers again: the next variant of the name, [1], and
            # its own seed file beside it.
            seen["variant names"] += 1
            subprocess.run([binary], input=answers, cwd=work, env=env, capture_output=True,
                           text=True, timeout=60)
            variant = report[: -len(".rez")] + "[1].rez"
            status, out, err = run_redraw("--report", variant)
            if status != 0:
                fail(f"{what}: the variant [1] gave {status}: {out}{err}")
        if case % 4 == 0:
            seen["tampered copies"] += 1
            copy = os.path.join(work, "tampered.rez")
            write(copy, tampered(text, rng))
            status, out, _ = run_redraw("--report", copy, chosen, process=case < 10)
            if status != 2 or not out.startswith("DISAGREE: "):
                fail(f"{what}: a tampered copy gave {status}: {out}")
            # The date line is not compared, and LF endings read as CR LF.
            lines = [DATE_LINE.sub(" 1999-12-31   23:59:59", line) for line in text.split("\r\n")]
            write(copy, "\n".join(lines))
            status, out, _ = run_redraw("--report", copy, chosen)
            if status != 0:
                fail(f"{what}: a new date and LF endings gave {status}: {out}")
    return ", ".join(f"{seen[key]} {key}" for key in sorted(seen))


def check_new_allocations(binary, folder):
    """Two new allocations (seeded from the clock, so each batch waits a
    little): the base name and its variant [1], each checked against the seed
    file found beside it."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    work = os.path.join(folder, "new allocations")
    os.makedirs(work)
    for name in ("Probleme Examen Nr_2 (1-6) Grupa 1234.rez",
                 "Probleme Examen Nr_2 (1-6) Grupa 1234[1].rez"):
        run = subprocess.run([binary], input="\n1234\n8\n2\n1\n1 6\n\n", cwd=work, env=env,
                             capture_output=True, text=True, timeout=60)
        status, out, err = run_redraw("--report", os.path.join(work, name))
        if run.returncode != 0 or status != 0:
            fail(f"new allocation {name}: {run.returncode} {run.stderr[-200:]}, {status} {out}{err}")
    return 2


def main(args):
    if not args or args[0].startswith("-"):
        print(__doc__.strip(), file=sys.stderr)
        return 3
    binary = os.path.abspath(args[0])
    cases = int(args[args.index("--cases") + 1]) if "--cases" in args else 200
    seed = int(args[args.index("--seed") + 1]) if "--seed" in args else random.randrange(10**6)
    rng = random.Random(seed)
    print(f"random cases from --seed {seed}")
    with tempfile.TemporaryDirectory(prefix="redraw-test-") as folder:
        print(f"{check_known_answers(folder)} known answers")
        check_sweep(rng, 300)
        print("300 batches swept and rescanned")
        print(f"{check_refusals(folder)} command lines refused or helped")
        print(f"{check_widened_fields(folder)} reports with wide numbers")
        print(f"{check_public_texts(folder)} public texts")
        print(f"{check_public_text_report(binary, folder)} checks of a draw from a public text")
        print(f"{check_new_allocations(binary, folder)} new allocations by the binary")
        print(f"{cases} re-allocations by the binary: {check_binary(binary, rng, cases, folder)}")
    print("FAILED" if failures else "all agree", f"({len(failures)} failures)" if failures else "")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
