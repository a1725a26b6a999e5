#!/usr/bin/env python3
"""Times the binary on the largest report against the smallest.

A re-allocation of a typed group of 3000 students over the range 0 to 999
(three batches of 1000, the largest report the batch rule allows) and one of
a single student over the same range, drawn from the same seed file, run in
turn, each in a fresh folder. Prints the median wall time of each and their
ratio; exits with 1 when the ratio is above the limit.

Usage: tools/time-reallocation.py [--binary build/lotrano] [--runs 21] [--limit 1.25]
"""

import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# Any words are a seed entry; these are the ones a new allocation once wrote.
SEED_FILE = (" seed_1:\r\n  1161390960         496\r\n"
             " seed_2:\r\n  1214081904         496\r\n"
             " seed_3:\r\n  1266641776         496\r\n")


def answers(students):
    # Cancel the group chooser, type the group, exam problem 1, set 1, the
    # range, a re-allocation from seed.dat, and a key for the closing wait.
    return "\nG\n%d\n1\n1\n0 999\nr\nseed.dat\n\n" % students


def remove_tree(folder):
    # The finished report is read-only; its folder is not, so it goes.
    shutil.rmtree(folder)


def one_run(binary, students, base):
    folder = tempfile.mkdtemp(prefix="lotrano-time-", dir=base)
    with open(os.path.join(folder, "seed.dat"), "w", newline="") as seed:
        seed.write(SEED_FILE)
    environment = {k: v for k, v in os.environ.items()
                   if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    run = subprocess.run([binary], input=answers(students).encode(), cwd=folder,
                         env=environment, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, check=False)
    elapsed = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    remove_tree(folder)
    if run.returncode != 0:
        sys.exit("run of %d students failed (%d): %s"
                 % (students, run.returncode, run.stderr.decode(errors="replace")))
    processor = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return elapsed, processor


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default="build/lotrano")
    parser.add_argument("--runs", type=int, default=21)
    parser.add_argument("--limit", type=float, default=1.25)
    parser.add_argument("--folder", default=None,
                        help="where the runs' folders go (default: the system's temporary folder)")
    options = parser.parse_args()
    binary = os.path.abspath(options.binary)

    times = {3000: [], 1: []}
    processor = {3000: [], 1: []}
    one_run(binary, 1, options.folder)  # warms the caches; not counted
    for _ in range(options.runs):
        for students in (3000, 1):
            elapsed, used = one_run(binary, students, options.folder)
            times[students].append(elapsed)
            processor[students].append(used)
    large = statistics.median(times[3000])
    small = statistics.median(times[1])
    print("median of %d runs: 3000 students %.1f ms, 1 student %.1f ms, ratio %.3f"
          % (options.runs, large * 1000, small * 1000, large / small))
    print("processor time (user + system), medians: 3000 students %.1f ms, 1 student %.1f ms"
          % (statistics.median(processor[3000]) * 1000, statistics.median(processor[1]) * 1000))
    return 0 if large / small <= options.limit else 1


if __name__ == "__main__":
    sys.exit(main())
