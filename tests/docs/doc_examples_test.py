#!/usr/bin/env python3
"""Runs the example commands of README.md, docs/draw.md and the manual pages
(the English ones and the Romanian ones of man/ro/) against the real
programs, as they are written there, and holds their output to what the
documents show, so that no example can go false unnoticed. The examples are
read from the documents themselves.

  python3 tests/docs/doc_examples_test.py LOTRANO LOTRANO_VERIFY

1. Every `$ lotrano-verify ...` example (README.md, both lotrano-verify(1))
   runs in a folder of its own that holds what its output speaks of: the
   report, made by lotrano from a seed file chosen so that the draw gives the
   rows the example quotes; its seed file where the verdict names it, none
   where the verdict finds none; the group file named with --group; a report
   changed as its "in raport" line shows. Its output must be the one shown
   (the pages may break a line where the program does not), and `echo $?`
   must print the status shown.
2. The examples of each lotrano(1): the piped answers, run as written; the
   console of each example, whose answers are the text typed after each
   prompt, and whose "..." stands for any lines; the files and the line they
   name.
3. Each document's error line `lotrano: file not found (error 29), file:
   /home/ana/...`, made again in such a folder.
4. The two command lines of tools/redraw.py that README.md and docs/draw.md
   show, on a report of lotrano and its seed file, and on a changed copy.
5. The draws from a public text: each block of commands with
   `--seed-from-text` or `--public-text` (README.md, docs/draw.md, both
   lotrano-verify(1)) is run command after command in one folder holding the
   sample group file in Dat/ (and tools/), each output held to the one shown
   (a line "..." stands for any lines); and every row of docs/draw.md's
   table of known answers, through lotrano-verify and redraw.py.

Exit status 0 when every example holds.
"""

import hashlib
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOLS = os.path.join(ROOT, "tools")
sys.path.insert(0, TOOLS)
import redraw  # noqa: E402

SAMPLE = os.path.join(ROOT, "samples", "grupa_311.dat")
DOCUMENTS = {
    "README.md": os.path.join(ROOT, "README.md"),
    "docs/draw.md": os.path.join(ROOT, "docs", "draw.md"),
    "docs/ghid.md": os.path.join(ROOT, "docs", "ghid.md"),
    "lotrano(1)": os.path.join(ROOT, "man", "lotrano.1"),
    "lotrano-verify(1)": os.path.join(ROOT, "man", "lotrano-verify.1"),
    "ro: lotrano(1)": os.path.join(ROOT, "man", "ro", "lotrano.1"),
    "ro: lotrano-verify(1)": os.path.join(ROOT, "man", "ro", "lotrano-verify.1"),
}
# The manual pages of each program, in English and in Romanian.
LOTRANO_PAGES = ("lotrano(1)", "ro: lotrano(1)")
VERIFY_PAGES = ("lotrano-verify(1)", "ro: lotrano-verify(1)")
# The heading of the examples' section, in either language.
EXAMPLES_HEADING = re.compile(r"^\.SH \"?(?:EXAMPLES|EXEMPLE)\"?$", re.M)
REPORT_NAME = re.compile(r"Probleme Examen Nr_([12]) \((-?[0-9]+)-(-?[0-9]+)\) (.*?)(\[[1-9]\])?\.rez")
SEED_NAME = re.compile(r"Seed_([12]) \((-?[0-9]+)-(-?[0-9]+)\) (.*?)(\[[1-9]\])?\.dat")
DATE_LINE = re.compile(r"^ ?[0-9]{4}-[0-9]{2}-[0-9]{2}   [0-9]{2}:[0-9]{2}:[0-9]{2}$")
TYPED_STUDENTS = 4
PROBLEM_SET = 3

failures = []
checked = []


def fail(where, what):
    failures.append(f"{where}: {what}")
    print(f"FAIL: {where}: {what}")


# --- Reading the documents ------------------------------------------------

ROFF_NAMED = {"dq": '"', "aq": "'", "rs": "\\", "mu": "×", "di": "÷", "em": "—"}
# Lines that show nothing: comments, and the stand-ins a page defines for the
# glyphs that a device lacks.
ROFF_UNSHOWN = re.compile(r'^\.\s*(\\"|\\\}|ie |el |if |fchar |char )')


def roff_text(line):
    """A line of a roff example as the page shows it."""
    out = []
    i = 0
    while i < len(line):
        c = line[i]
        if c != "\\" or i + 1 == len(line):
            out.append(c)
            i += 1
            continue
        e = line[i + 1]
        if e == "f":  # a change of font
            i += 3
        elif e == "(":
            out.append(ROFF_NAMED[line[i + 2:i + 4]])
            i += 4
        elif e == "[":
            end = line.index("]", i)
            name = line[i + 2:end]
            out.append(chr(int(name[1:], 16)) if name.startswith("u") else ROFF_NAMED[name])
            i = end + 1
        elif e in "-e&%":
            out.append({"-": "-", "e": "\\", "&": "", "%": ""}[e])
            i += 2
        else:
            raise ValueError(f"roff escape \\{e} in {line!r}")
    return "".join(out)


def man_examples(path):
    """The .EX blocks of a manual page, each as the lines it shows."""
    blocks, block = [], None
    with open(path, encoding="utf-8") as page:
        for line in page.read().splitlines():
            if line.startswith(".EX"):
                block = []
            elif line.startswith(".EE"):
                blocks.append(block)
                block = None
            elif block is not None:
                block.append(roff_text(line))
    return blocks


def markdown_code_blocks(path):
    """The indented code blocks of a Markdown file, their indent taken off."""
    blocks, block = [], []
    with open(path, encoding="utf-8") as text:
        lines = text.read().splitlines()
    for k, line in enumerate(lines):
        previous_blank = k == 0 or not lines[k - 1].strip()
        if line.startswith("    ") and (block or previous_blank):
            block.append(line[4:])
        elif not line.strip() and block:
            block.append("")
        elif block:
            blocks.append(block)
            block = []
    if block:
        blocks.append(block)
    return [[line for line in b] for b in blocks]


def shown_text(name):
    """All that a document shows, roff unescaped for the manual pages."""
    with open(DOCUMENTS[name], encoding="utf-8") as text:
        content = text.read()
    if name.endswith(")"):
        return "\n".join(roff_text(line) for line in content.splitlines()
                         if not ROFF_UNSHOWN.match(line))
    return content


def commands(block):
    """The `$ ` commands of a block: (command, output lines, shown status).
    A line ending in a backslash goes on in the next; `echo $?` gives the
    status of the command before it."""
    found = []
    k = 0
    while k < len(block):
        line = block[k]
        if not line.startswith("$ "):
            k += 1
            continue
        command = line[2:]
        while command.endswith("\\") and k + 1 < len(block):
            k += 1
            command = command[:-1] + block[k].strip()
        k += 1
        output = []
        while k < len(block) and not block[k].startswith("$ "):
            output.append(block[k])
            k += 1
        while output and not output[-1].strip():
            output.pop()
        if command.strip() == "echo $?" and found:
            found[-1][2] = int(output[0])
        else:
            found.append([command.strip(), output, None])
    return found


def words(text):
    return " ".join(text.split())


# --- Running the programs -------------------------------------------------


class Programs:
    def __init__(self, lotrano, verify, scratch):
        self.bin = os.path.join(scratch, "bin")
        os.makedirs(self.bin)
        os.symlink(os.path.abspath(lotrano), os.path.join(self.bin, "lotrano"))
        os.symlink(os.path.abspath(verify), os.path.join(self.bin, "lotrano-verify"))
        self.scratch = scratch
        self.home = os.path.join(scratch, "home", "ana")
        os.makedirs(self.home)
        self.folders = 0

    def environment(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env["PATH"] = self.bin + os.pathsep + env.get("PATH", "/usr/bin:/bin")
        env["HOME"] = self.home
        return env

    def folder(self):
        self.folders += 1
        path = os.path.join(self.scratch, f"example{self.folders}")
        os.makedirs(path)
        return path

    def shell(self, command, folder, stdin="", merged=False):
        """A command line run by bash as written: status, output, errors
        (the errors in the output, as a terminal shows them, when merged)."""
        done = subprocess.run(["bash", "-c", command], cwd=folder, env=self.environment(),
                              input=stdin.encode("utf-8"), stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT if merged else subprocess.PIPE)
        return (done.returncode, done.stdout.decode("utf-8", "replace"),
                "" if merged else done.stderr.decode("utf-8", "replace"))

    def lotrano(self, folder, answers):
        """lotrano in `folder`, its answers piped one per line."""
        return self.shell("lotrano", folder, "".join(a + "\n" for a in answers), merged=True)


def seed_words_for(students, start, end, row, problem):
    """Seed words whose draw gives `problem` at `row` (from 1)."""
    sizes = redraw.batch_sizes(students, end - start + 1)
    for first in range(1, 100000):
        pairs = {k: (first, 1) for k in redraw.drawn_batches(sizes)}
        rows = []
        for k in range(3):
            rows += redraw.draw_batch(sizes[k], start, end,
                                      redraw.Generator(*pairs[k])) if k in pairs else []
        if rows[row - 1] == problem:
            return first, 1
    raise RuntimeError(f"no seed words give {problem} at row {row}")


def seed_file_text(first, second, batches):
    return "".join(f" seed_{k}:\r\n{first:12d}{second:12d}\r\n" for k in range(1, batches + 1))


def sample_title():
    with open(SAMPLE, encoding="utf-8") as sample:
        return sample.readline().strip()


def sample_students():
    with open(SAMPLE, encoding="utf-8") as sample:
        return sum(1 for line in sample if line[:1].isdigit())


def make_report(programs, where, name, row_problem=None):
    """lotrano's report of the name `name` (and its seed file) in a folder of
    their own, drawn again from a seed file made for it: over the sample
    group file when the name holds its title, else for a typed group of
    TYPED_STUDENTS. With row_problem (row, problem) the draw gives that
    problem at that row. Returns the folder and the report's lines."""
    m = REPORT_NAME.fullmatch(name)
    exam, start, end, title = m.group(1), int(m.group(2)), int(m.group(3)), m.group(4)
    folder = programs.folder()
    if title == sample_title():
        students = sample_students()
        group_answers = [SAMPLE]
    else:
        typed = re.fullmatch(r"Grupa (\S+)", title)
        if not typed:
            raise RuntimeError(f"{where}: no group for the report {name}")
        students = TYPED_STUDENTS
        group_answers = ["", typed.group(1), str(students)]
    first, second = (12345, 67890) if row_problem is None else seed_words_for(
        students, start, end, *row_problem)
    batches = len(redraw.drawn_batches(redraw.batch_sizes(students, end - start + 1)))
    seed = os.path.join(programs.scratch, f"seed{programs.folders}.dat")
    with open(seed, "w", newline="") as out:
        out.write(seed_file_text(first, second, batches))
    answers = group_answers + [exam, str(PROBLEM_SET), f"{start} {end}", "r", seed, ""]
    status, output, _ = programs.lotrano(folder, answers)
    report = os.path.join(folder, name)
    if status != 0 or not os.path.exists(report):
        raise RuntimeError(f"{where}: lotrano made no {name}: status {status}\n{output}")
    with open(report, encoding="utf-8", newline="") as text:
        return folder, text.read().split("\r\n")


def write_report(path, lines):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="") as out:
        out.write("\r\n".join(lines))


# --- 1. lotrano-verify ----------------------------------------------------


def verdict_of(report, output):
    """The kind of the example's verdict on `report`, and its text as words."""
    text = words("\n".join(output))
    for kind in ("NEPOTRIVIRE", "POTRIVIRE", "EROARE"):
        m = re.search(rf"(?<![A-Z]){kind}: {re.escape(words(report))}[ :].*?"
                      r"(?= (?:NEPOTRIVIRE|POTRIVIRE|EROARE): |$)", text)
        if m:
            return kind, m.group(0)
    return None, ""


def check_verify_example(programs, where, command, output, status):
    arguments = shlex.split(command)[1:]
    redirected = None
    if ">" in arguments:  # the standard output into a file
        redirected = arguments[arguments.index(">") + 1]
        arguments = arguments[:arguments.index(">")]
    options, reports = {}, []
    k = 0
    while k < len(arguments):
        if arguments[k] == "--csv":
            k += 1
        elif arguments[k] in ("--seed", "--group"):
            options[arguments[k]] = arguments[k + 1]
            k += 2
        else:
            reports.append(arguments[k])
            k += 1
    world = programs.folder()
    if any("*" in report for report in reports):
        check_every_report_of_a_folder(programs, where, command, world)
        return
    for report in reports:
        kind, verdict = verdict_of(report, output)
        if kind is None:
            fail(where, f"{command}: the example shows no verdict on {report}")
            return
        name = os.path.basename(report)
        if not REPORT_NAME.fullmatch(name):
            # A copy under another name: the report that its seed file belongs to.
            m = SEED_NAME.fullmatch(os.path.basename(options.get("--seed", "")))
            name = "Probleme Examen Nr_{} ({}-{}) {}{}.rez".format(*m.groups(""))
        row_problem = None
        changed = None
        if kind == "NEPOTRIVIRE":
            number = int(re.search(r"prima linie diferita: ([0-9]+)", "\n".join(output)).group(1))
            in_report = re.search(r'^ *in raport: +"(.*)"$', "\n".join(output), re.M).group(1)
            redrawn = re.search(r'^ *refacut: +"(.*)"$', "\n".join(output), re.M).group(1)
            row_problem = (number - 10, int(redrawn.split()[-1]))
            changed = (number, in_report, redrawn)
        made, lines = make_report(programs, where, name, row_problem)
        if changed:
            number, in_report, redrawn = changed
            if lines[number - 1] != redrawn:
                fail(where, f"line {number} as drawn is {lines[number - 1]!r}, "
                            f"the example shows {redrawn!r}")
            lines[number - 1] = in_report
        write_report(os.path.join(world, report), lines)
        seed_named = re.search(r" corespunde fisierului seed (.*?)(?: \(numele| si fisierului"
                               r" grupei| prima linie diferita:|$)", verdict)
        if seed_named:
            own_seed = "Seed_" + name[len("Probleme Examen Nr_"):-len(".rez")] + ".dat"
            target = os.path.join(world, seed_named.group(1))
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copyfile(os.path.join(made, own_seed), target)
    if "--group" in options:
        target = os.path.join(world, options["--group"])
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(SAMPLE, target)
    # Both streams, as a terminal shows them.
    got_status, got, _ = programs.shell(command, world, merged=True)
    if words(got) != words("\n".join(output)):
        fail(where, f"{command}\n  printed: {got!r}\n  shown:   {words(chr(10).join(output))!r}")
    if status is not None and got_status != status:
        fail(where, f"{command}: status {got_status}, the example shows {status}")
    if redirected and not os.path.getsize(os.path.join(world, redirected)):
        fail(where, f"{command}: {redirected} is empty")
    checked.append(f"{where}: {command}")


def check_every_report_of_a_folder(programs, where, command, world):
    """`lotrano-verify *.rez`: 0 when every report of the folder matches, 2
    once one does not."""
    names = [f"Probleme Examen Nr_1 (1-6) {sample_title()}.rez",
             "Probleme Examen Nr_2 (1-30) Grupa 1234.rez"]
    for name in names:
        made, lines = make_report(programs, where, name)
        write_report(os.path.join(world, name), lines)
        seed = "Seed_" + name[len("Probleme Examen Nr_"):-len(".rez")] + ".dat"
        shutil.copyfile(os.path.join(made, seed), os.path.join(world, seed))
    status, output, _ = programs.shell(command, world)
    if status != 0 or output.count("POTRIVIRE: ") != len(names) or "NEPOTRIVIRE" in output:
        fail(where, f"{command} on matching reports: status {status}, {output!r}")
    changed = os.path.join(world, names[1])
    with open(changed, encoding="utf-8", newline="") as report:
        lines = report.read().split("\r\n")
    lines[10] = lines[10][:-1] + str(int(lines[10][-1]) % 6 + 1)
    os.chmod(changed, 0o644)
    write_report(changed, lines)
    status, output, _ = programs.shell(command, world)
    if status != 2:
        fail(where, f"{command} with a changed report: status {status}, {output!r}")
    checked.append(f"{where}: {command}")


# --- 2. lotrano's console -------------------------------------------------


def prompt_answers(transcript, prompts):
    """The answers typed in a console transcript: the text after each prompt,
    in order, as (prompt, answer)."""
    found = []
    for line in transcript:
        for prompt in prompts:
            if line.rstrip() == prompt.rstrip() or line.startswith(prompt):
                found.append((prompt, line[len(prompt):].strip()))
                break
    return found


# The width of the terminal that the documents show.
TERMINAL_COLUMNS = 80


def blank_rows(line):
    """The empty rows that a line leaves on a terminal of TERMINAL_COLUMNS when
    it ends in more blanks than its last row holds (the output file's line is
    filled with blanks to 279 characters)."""
    rows = -(-len(line) // TERMINAL_COLUMNS)
    written = max(1, -(-len(line.rstrip()) // TERMINAL_COLUMNS))
    return max(0, rows - written)


def terminal_view(output, answers, home):
    """Piped output as a terminal of 80 columns shows it: each prompt followed
    by the answer typed (a pipe does not echo; the program ends the prompt's
    line itself), a line filled with blanks beyond the width followed by the
    empty rows they make, the date and time as in the pages, the scratch home
    as /home/ana."""
    view = []
    answers = list(answers)
    for line in output.replace(home, "/home/ana").split("\n"):
        if line.endswith(": ") and answers:
            line += answers.pop(0)
        empty = blank_rows(line)
        line = line.rstrip()
        view.append("<date and time>" if DATE_LINE.match(line) else line)
        view.extend([""] * empty)
    while view and not view[-1]:
        view.pop()
    return view


def matches(shown, view):
    """Whether the lines `view` are the lines `shown`, a line "..." of which
    stands for any lines."""
    shown = ["<date and time>" if DATE_LINE.match(s.rstrip()) else s.rstrip() for s in shown]
    memo = {}

    def at(i, j):
        if (i, j) not in memo:
            if i == len(shown):
                memo[(i, j)] = j == len(view)
            elif shown[i].strip() == "...":
                memo[(i, j)] = any(at(i + 1, k) for k in range(j, len(view) + 1))
            else:
                memo[(i, j)] = j < len(view) and shown[i] == view[j] and at(i + 1, j + 1)
        return memo[(i, j)]

    return at(0, 0)


def check_lotrano_examples(programs, page):
    """The examples of one lotrano(1); the prompts that its piped example
    meets, or None."""
    where = f"{page} EXAMPLES"
    blocks = man_examples(DOCUMENTS[page])
    runs = [(b, commands(b)) for b in blocks if any(line.startswith("$ ") for line in b)]
    piped = [c for _, cs in runs for c in cs if re.fullmatch(r"printf '.*' \| lotrano", c[0])]
    if len(piped) != 1:
        fail(where, "no example pipes its answers to lotrano")
        return None
    # The piped example, as written, in a folder of its own.
    folder = programs.folder()
    status, output, _ = programs.shell(piped[0][0], folder, merged=True)
    answers = programs.shell(piped[0][0].rsplit("|", 1)[0], folder)[1].split("\n")[:-1]
    prompts = sorted({line for line in output.split("\n") if line.endswith(": ")},
                     key=len, reverse=True)
    if status != 0 or len(prompts) < 5:
        fail(where, f"{piped[0][0]}: status {status}\n{output}")
        return None
    checked.append(f"{where}: {piped[0][0]}")

    # The console examples, one after the other in the folder that the first
    # makes: each prompt answered as the example shows, the answers that an
    # example leaves out ("...") being those of the one before. Each page
    # starts from an empty home, as its reader does.
    shutil.rmtree(programs.home)
    os.makedirs(programs.home)
    folder = None
    earlier = []
    reports = []
    for block, found in runs:
        for command, shown, _ in found:
            if command != "lotrano":
                if re.fullmatch(r"printf '.*' \| lotrano", command):
                    continue
                status, out, errors = programs.shell(command + " && pwd", programs.home)
                if status != 0:
                    fail(where, f"{command}: status {status} {errors}")
                    return prompts
                folder = out.strip()
                continue
            typed = prompt_answers(shown, prompts)
            if shown and shown[0].strip() == "..." and typed:
                first_prompt = typed[0][0]
                before = [p for p, _ in earlier]
                cut = before.index(first_prompt) if first_prompt in before else len(before)
                typed = earlier[:cut] + typed
            answers = [a for _, a in typed] + [""]  # and a key for the closing wait
            status, out, _ = programs.lotrano(folder, answers)
            view = terminal_view(out, answers, programs.home)
            if status != 0 or not matches(shown, view):
                fail(where, "the console is not the example's:\n  shown:\n    " +
                     "\n    ".join(shown) + "\n  run:\n    " + "\n    ".join(view))
                return prompts
            earlier = typed
            written = re.search(r"Fisier de iesire: (.*?) *$", out, re.M)
            reports.append(os.path.join(folder, written.group(1)))
            checked.append(f"{where}: $ lotrano, answered {answers}")
    check_lotrano_files(page, where, blocks, reports)
    return prompts


def check_guide_console(programs, prompts):
    """The guide's console of a first allocation from the sample list, chosen
    in Dat (the window's lines, on the error stream, are not shown there)."""
    where = "docs/ghid.md"
    shown = [b for b in markdown_code_blocks(DOCUMENTS[where]) if b and b[0].startswith(" Grupa: ")]
    if not shown:
        fail(where, "no console of a first allocation")
        return
    shown = shown[0]
    while shown and not shown[-1].strip():
        shown.pop()
    # The group and its count are the file's here, not answers.
    asked = [p for p in prompts if p not in (" Grupa: ", " Numar studenti: ")]
    answers = [a for _, a in prompt_answers(shown, asked)] + [""]
    folder = programs.folder()
    os.makedirs(os.path.join(folder, "Dat"))
    shutil.copyfile(SAMPLE, os.path.join(folder, "Dat", os.path.basename(SAMPLE)))
    chosen = os.path.splitext(os.path.basename(SAMPLE))[0]
    status, out, errors = programs.shell(
        "lotrano", folder, "".join(a + "\n" for a in [chosen] + answers))
    view = terminal_view(out, answers, programs.home)
    if status != 0 or not matches(shown, view):
        fail(where, "the console is not the guide's:\n  shown:\n    " + "\n    ".join(shown) +
             "\n  run:\n    " + "\n    ".join(view) + "\n" + errors)
        return
    written = re.search(r"Fisier de iesire: (.*?) *$", out, re.M).group(1)
    for name in re.findall(r"^- (?:raportul|fișierul seed) `(.*)`;?$", shown_text(where), re.M):
        if not os.path.exists(os.path.join(folder, name)):
            fail(where, f"the guide names {name}, the run wrote {written} and its seed file")
    checked.append(f"{where}: the console of a first allocation, answered {answers}")


def check_lotrano_files(page, where, blocks, reports):
    """The files that the examples name: the reports and seed files, the same
    table in the re-allocation's report, its closing line."""
    text = shown_text(page)
    section = text[EXAMPLES_HEADING.search(text).start():]
    for report in reports:
        seed = os.path.join(os.path.dirname(report),
                            "Seed_" + os.path.basename(report)[len("Probleme Examen Nr_"):-4] + ".dat")
        for path in (report, seed):
            if not os.path.exists(path):
                fail(where, f"no {path}")
            elif os.path.basename(path) not in section:
                fail(where, f"the page does not name the file {os.path.basename(path)}")
    if len(reports) != 2:
        fail(where, f"two reports were expected, made: {reports}")
        return
    tables = []
    for report in reports:
        with open(report, encoding="utf-8") as text_file:
            lines = text_file.read().splitlines()
        tables.append(lines[:lines.index(" Probleme ne-alocate") if " Probleme ne-alocate" in lines
                             else len(lines) - 3])
        last = lines[-1]
    if tables[0] != tables[1]:
        fail(where, "the re-allocation's report does not hold the first report's table")
    closing = [b[0] for b in blocks if len(b) == 1 and "[Re-alocare, cu:" in b[0]]
    if closing != [last]:
        fail(where, f"the re-allocation's report ends with {last!r}, the page shows {closing}")
    seeds = []
    for report in reports:
        with open(os.path.join(os.path.dirname(report), "Seed_" + os.path.basename(report)
                               [len("Probleme Examen Nr_"):-4] + ".dat"), "rb") as seed:
            seeds.append(seed.read())
    if seeds[0] != seeds[1]:
        fail(where, "the two seed files do not hold the same numbers")


# --- 3. The error line ----------------------------------------------------

ERROR_LINE = re.compile(r"lotrano: file not found \(error 29\), file: /home/ana/([^/\s]+)/"
                        r"(Seed_[^\n`]*?)\.dat \(No such file or directory\)")


def check_error_lines(programs):
    for name in DOCUMENTS:
        text = shown_text(name)
        shown = text.count("lotrano: file not found (error 29), file: ")
        if shown != len(ERROR_LINE.findall(text)):
            fail(name, "an error line 29 does not name /home/ana/<folder>/Seed_... and the reason")
        for m in ERROR_LINE.finditer(text):
            folder = os.path.join(programs.home, m.group(1))
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            answers = ["", "311", "4", "1", str(PROBLEM_SET), "1 6", "r", m.group(2), ""]
            status, output, _ = programs.lotrano(folder, answers)
            last = output.rstrip("\n").split("\n")[-1].replace(programs.home, "/home/ana")
            if status != 29 or last != m.group(0):
                fail(name, f"the error line is\n  {last}\nnot\n  {m.group(0)}")
            checked.append(f"{name}: {m.group(0)}")
            shutil.rmtree(folder)


# --- 4. redraw.py ---------------------------------------------------------


def check_redraw_lines(programs):
    name = f"Probleme Examen Nr_1 (1-8) {sample_title()}.rez"
    made, lines = make_report(programs, "redraw.py", name)
    report = os.path.join(made, name)
    seed = os.path.join(made, "Seed_1 (1-8) " + sample_title() + ".dat")
    rows = [f"{k + 1} {int(line.split()[-1])}" for k, line in enumerate(lines[10:10 + sample_students()])]
    changed = os.path.join(made, "changed.rez")
    lines[10] = lines[10][:-1] + str(int(lines[10][-1]) % 8 + 1)
    write_report(changed, lines)
    for document in ("README.md", "docs/draw.md"):
        shown = [line.strip() for b in markdown_code_blocks(DOCUMENTS[document]) for line in b
                 if line.strip().startswith("python3 tools/redraw.py")]
        if len(shown) != 2:
            fail(document, f"the two command lines of redraw.py are not shown: {shown}")
            continue
        for line in shown:
            if "--report" in line:
                runs = [(line.replace("REPORT.rez", shlex.quote(report)).replace(" [SEED_FILE]", ""), 0),
                        (line.replace("REPORT.rez", shlex.quote(changed))
                             .replace("[SEED_FILE]", shlex.quote(seed)), 2)]
                for command, wanted in runs:
                    status, output, errors = programs.shell(command, ROOT)
                    if status != wanted:
                        fail(document, f"{command}: status {status}, not {wanted}: {output}{errors}")
            else:
                command = (line.replace("SEED_FILE", shlex.quote(seed))
                           .replace("STUDENTS", str(sample_students()))
                           .replace("START", "1").replace("END", "8"))
                status, output, errors = programs.shell(command, ROOT)
                if status != 0 or output.split("\n")[:-1] != rows:
                    fail(document, f"{command}: status {status}, printed {output!r}, rows {rows}")
            checked.append(f"{document}: {line}")


# --- 5. Public texts -----------------------------------------------------


def is_transcript(block):
    """A block of commands that make or check a draw from a public text."""
    return any(line.startswith("$ ") and ("--seed-from-text" in line or "--public-text" in line)
               for line in block)


def check_transcript(programs, where, block):
    folder = programs.folder()
    os.makedirs(os.path.join(folder, "Dat"))
    shutil.copyfile(SAMPLE, os.path.join(folder, "Dat", os.path.basename(SAMPLE)))
    os.symlink(TOOLS, os.path.join(folder, "tools"))
    for command, shown, status in commands(block):
        got_status, got, _ = programs.shell(command, folder, merged=True)
        if any(line.strip() == "..." for line in shown) or not where.endswith(")"):
            # Line for line; a manual page may break a long line where the
            # program does not, so there words for words.
            held = matches(shown, terminal_view(got, [], programs.home))
        else:
            held = words(got) == words("\n".join(shown))
        if not held:
            fail(where, f"{command}\n  printed: {got!r}\n  shown:   {chr(10).join(shown)!r}")
            return
        if (status is None and got_status != 0) or (status is not None and got_status != status):
            fail(where, f"{command}: status {got_status}, the example shows {status or 0}")
            return
        checked.append(f"{where}: {command}")


def unescaped(written):
    """A text written as docs/draw.md's table writes it: "\\u{HEX}" is the
    code point HEX."""
    return re.sub(r"\\u\{([0-9A-Fa-f]+)\}", lambda m: chr(int(m.group(1), 16)), written)


def check_public_text_answers(programs):
    where = "docs/draw.md"
    rows = re.findall(r"^\| `([^`]*)` \| ([^|]*) \| ([^|]*) \| ([^|]*) \|$",
                      shown_text(where), re.M)
    if len(rows) < 5:
        fail(where, f"the table of public texts has {len(rows)} rows")
    for text, normalised, digest, entries in rows:
        given = unescaped(text)
        done = subprocess.run(["lotrano-verify", "--seed-from-text", given], env=programs.environment(),
                              capture_output=True)
        pairs = re.findall(r"^ *(-?[0-9]+) +(-?[0-9]+)\r$", done.stdout.decode("ascii"), re.M)
        if normalised == "refused":
            if done.returncode != 3 or done.stdout:
                fail(where, f"{text}: lotrano-verify took it ({done.returncode})")
            checked.append(f"{where}: the refusal of {text}")
            continue
        shown = ", ".join(f"({a}, {b})" for a, b in pairs)
        wanted = given if normalised == "the same" else unescaped(normalised.strip("`"))
        got = redraw.normalise_public_text(given)
        redrawn = ", ".join(f"({a}, {b})" for a, b in redraw.public_text_entries(got))
        if done.returncode != 0 or shown != entries or redrawn != entries:
            fail(where, f"{text}: lotrano-verify gave {shown}, redraw.py {redrawn}, not {entries}")
        if got != wanted or not hashlib.sha256(got.encode()).hexdigest().startswith(digest.strip("`")):
            fail(where, f"{text}: normalised as {got!r}, not {wanted!r}, or another SHA-256")
        checked.append(f"{where}: the known answer of {text}")


# --------------------------------------------------------------------------


def main(args):
    if len(args) != 2:
        print("usage: tests/docs/doc_examples_test.py LOTRANO LOTRANO_VERIFY", file=sys.stderr)
        return 3
    with tempfile.TemporaryDirectory() as scratch:
        programs = Programs(args[0], args[1], scratch)
        verify_blocks = {"README.md": markdown_code_blocks(DOCUMENTS["README.md"])}
        verify_blocks.update((page, man_examples(DOCUMENTS[page])) for page in VERIFY_PAGES)
        for where, blocks in verify_blocks.items():
            for block in blocks:
                if is_transcript(block):
                    continue
                for command, output, status in commands(block):
                    if command.startswith("lotrano-verify "):
                        try:
                            check_verify_example(programs, where, command, output, status)
                        except (RuntimeError, AttributeError, IndexError) as e:
                            fail(where, f"{command}: {e!r}")
        prompts = [check_lotrano_examples(programs, page) for page in LOTRANO_PAGES]
        if prompts[0]:
            check_guide_console(programs, prompts[0])
        check_error_lines(programs)
        check_redraw_lines(programs)
        transcripts = [(where, block) for where, blocks in verify_blocks.items() for block in blocks]
        transcripts += [("docs/draw.md", b) for b in markdown_code_blocks(DOCUMENTS["docs/draw.md"])]
        for where, block in transcripts:
            if is_transcript(block):
                check_transcript(programs, where, block)
        check_public_text_answers(programs)
    for line in checked:
        print("ok:", line)
    if failures:
        print(f"doc_examples_test: {len(failures)} example(s) do not hold", file=sys.stderr)
        return 1
    if not checked:
        print("doc_examples_test: no example was found", file=sys.stderr)
        return 1
    print(f"doc_examples_test: {len(checked)} examples hold")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
