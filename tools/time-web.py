#!/usr/bin/env python3
"""Times the checking page: how soon the verdict shows, and the table after it.

Two groups of named students are allocated once by lotrano: 30 over the
problems 1 to 40, and 3000 over 0 to 999 (three batches of 1000). Then, as
many times as asked, the page, opened afresh in headless Chromium from disk,
is given the report, its seed file and the group list, at the browser's own
speed (a laptop's, on this machine) and with the CPU slowed four times
(Chrome DevTools' Emulation.setCPUThrottlingRate, as on a cheap phone). The
files are given once the page has made its check of a report of its own
making, which it makes while it waits for files (a student takes longer
than that to choose them). The page measures itself, from the files given
(the file input's change event) to the verdict painted (the next frame after
it) and to the last table row in. lotrano-verify's time on the same files is
given beside them. Prints each median, and the times of the very first page
of the fresh browser, 3000 students given as soon as it has loaded.

Runs Debian's python3 with python3-selenium, chromium and chromium-driver
(make web-test installs them):

    /usr/bin/python3 tools/time-web.py [build folder] [page] [runs]
"""

import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

GROUPS = [
    # (students, answers to lotrano: the list, exam, set, range, new allocation)
    (30, "grupa_30.txt\n1\n1\n1 40\n\n"),
    (3000, "grupa_3000.txt\n1\n1\n0 999\n\n"),
]
SLOWDOWNS = [1, 4]


def browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync",
                     f"--user-data-dir={profile}", "--window-size=1280,1000"]:
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def page_run(driver, page, files, slowdown, settled=True):
    """One fresh page given the files, once it has made its own check (or at
    once): (verdict, table) in seconds."""
    driver.get(page.as_uri())
    driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": slowdown})
    try:
        while settled and not driver.execute_script("return document.documentElement.dataset.selfCheck"):
            time.sleep(0.01)
        driver.find_element(By.ID, "files").send_keys("\n".join(str(f) for f in files))
        deadline = time.time() + 120
        while time.time() < deadline:
            found = driver.execute_script(
                "const r = document.getElementById('results').dataset;"
                " const v = document.querySelector('[data-report]');"
                " return [r.verdictMs || null, r.tableMs || null, v && v.dataset.verdict]")
            if found[1]:
                if found[2] != "match":
                    sys.exit(f"the page finds no match: {found[2]}")
                return float(found[0]) / 1000, float(found[1]) / 1000
            time.sleep(0.01)
        sys.exit("the page shows no table")
    finally:
        driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 1})


def group_list(path, students):
    with open(path, "w", newline="\r\n", encoding="utf-8") as group:
        group.write(f"Grupa {students}\n")
        for k in range(1, students + 1):
            group.write(f"{k}. Ștefănescu Student Nr {k}\n")


def main():
    build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build").resolve()
    page = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else "build-web/lotrano.html").resolve()
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 7
    environment = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    with tempfile.TemporaryDirectory(prefix="lotrano-time-web-") as scratch:
        folder = pathlib.Path(scratch) / "examen"
        (folder / "Dat").mkdir(parents=True)
        cases = []
        for students, answers in GROUPS:
            group_list(folder / "Dat" / f"grupa_{students}.txt", students)
            before = set(folder.glob("*.rez"))
            subprocess.run([str(build / "lotrano")], cwd=folder, input=answers.encode(),
                           env=environment, capture_output=True, check=True)
            report = (set(folder.glob("*.rez")) - before).pop()
            seed = report.with_name("Seed_" + report.name[len("Probleme Examen Nr_"):-4] + ".dat")
            cases.append((students, [report, seed, folder / "Dat" / f"grupa_{students}.txt"]))

        driver = browser(pathlib.Path(scratch) / "profile")
        try:
            first = page_run(driver, page, cases[-1][1], 1, False)
            print(f"{runs} runs each, medians; the page measures from the files given")
            print(f"{'students':>8}  {'CPU':>4}  {'verdict painted':>15}  {'table complete':>14}  "
                  f"{'lotrano-verify':>14}")
            verdicts = {}
            for students, files in cases:
                checks = []
                for _ in range(runs):
                    start = time.perf_counter()
                    done = subprocess.run([str(build / "lotrano-verify"), f"--group={files[2]}",
                                           str(files[0])], capture_output=True)
                    checks.append(time.perf_counter() - start)
                    if done.returncode != 0:
                        sys.exit(f"lotrano-verify: {done.stdout.decode()}")
                for slowdown in SLOWDOWNS:
                    shown, tables = zip(*(page_run(driver, page, files, slowdown) for _ in range(runs)))
                    verdicts[students, slowdown] = statistics.median(shown)
                    print(f"{students:>8}  {slowdown:>3}x  {statistics.median(shown) * 1000:>12.0f} ms"
                          f"  {statistics.median(tables) * 1000:>11.0f} ms"
                          f"  {statistics.median(checks) * 1000:>11.0f} ms")
        finally:
            driver.quit()
        for slowdown in SLOWDOWNS:
            print(f"verdict for 3000 / verdict for 30 at {slowdown}x: "
                  f"{verdicts[3000, slowdown] / verdicts[30, slowdown]:.1f}")
        print(f"the first page of the fresh browser, 3000 students given at once: verdict "
              f"{first[0] * 1000:.0f} ms, table {first[1] * 1000:.0f} ms")
        print(f"page size: {len(page.read_bytes())} bytes")


if __name__ == "__main__":
    main()
