#!/usr/bin/env python3
"""Times lotrano-verify against a re-allocation of the same report.

A group of 3000 students is allocated once over the problems 0 to 999 (three
batches of 1000). Then, one after the other and as many times as asked, the
report is drawn again by a re-allocation (in a fresh copy of the folder, so
that every run writes its result file under the same name) and checked by
lotrano-verify. Prints each median and their ratio.

    tools/time-verify.py [build folder] [runs]
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

STUDENTS = 3000
ANSWERS = "grupa.txt\n1\n1\n0 999\n"
REPORT = "Probleme Examen Nr_1 (0-999) Grupa 999.rez"
SEED = "Seed_1 (0-999) Grupa 999.dat"


def run(command, folder, answers=""):
    """Runs a command in the folder without a display; its duration in seconds."""
    environment = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    start = time.perf_counter()
    done = subprocess.run(command, cwd=folder, input=answers.encode(), env=environment,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit(f"{command[0]} failed ({done.returncode}): {done.stderr.decode()}")
    return seconds, done.stdout.decode()


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
    lotrano = os.path.join(build, "lotrano")
    verify = os.path.join(build, "lotrano-verify")
    with tempfile.TemporaryDirectory(prefix="lotrano-time-") as scratch:
        original = os.path.join(scratch, "original")
        os.makedirs(os.path.join(original, "Dat"))
        with open(os.path.join(original, "Dat", "grupa.txt"), "w", newline="\r\n") as group:
            group.write("Grupa 999\n")
            for k in range(1, STUDENTS + 1):
                group.write(f"{k}. Student Nr {k}\n")
        run([lotrano], original, ANSWERS + "\n")

        reallocations, checks = [], []
        for k in range(runs):
            copy = os.path.join(scratch, f"run{k}")
            os.makedirs(copy)
            shutil.copytree(os.path.join(original, "Dat"), os.path.join(copy, "Dat"))
            # The chosen seed file lies outside the copy: the new one is
            # written beside the new report.
            seconds, _ = run([lotrano], copy, ANSWERS + "r\n" + os.path.join(original, SEED) + "\n")
            reallocations.append(seconds)
            seconds, verdict = run([verify, REPORT], original)
            if not verdict.startswith("POTRIVIRE"):
                sys.exit(f"no match: {verdict}")
            checks.append(seconds)
            shutil.rmtree(copy)

    reallocation = statistics.median(reallocations)
    check = statistics.median(checks)
    print(f"{STUDENTS} students over 0-999, {runs} runs each, medians:")
    print(f"  re-allocation (lotrano, answers piped): {reallocation * 1000:8.1f} ms")
    print(f"  check (lotrano-verify):                 {check * 1000:8.1f} ms")
    print(f"  check / re-allocation:                  {check / reallocation:8.2f}")


if __name__ == "__main__":
    main()
