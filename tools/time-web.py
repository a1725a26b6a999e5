#!/usr/bin/env python3
"""Times the checking page against lotrano-verify on the same report.

A group of 3000 named students is allocated once over the problems 0 to 999
(three batches of 1000). Then, as many times as asked, lotrano-verify checks
the report, and the page, opened afresh in headless Chromium from disk, is
given the report and its seed file. For the page two times are taken: from
the files given (the file input's change event) to the verdicts on screen
(the next frame painted), as the page measures it itself, and the wall time
of the whole step as the browser's driver sees it. Prints each median and
the page's size.

Runs Debian's python3 with python3-selenium, chromium and chromium-driver
(make web-test installs them):

    /usr/bin/python3 tools/time-web.py [build folder] [page] [runs]
"""

import gzip
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

STUDENTS = 3000
ANSWERS = "grupa.txt\n1\n1\n0 999\n\n"
REPORT = "Probleme Examen Nr_1 (0-999) Grupa 999.rez"
SEED = "Seed_1 (0-999) Grupa 999.dat"


def browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync",
                     f"--user-data-dir={profile}", "--window-size=1280,1000"]:
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def page_run(driver, page, files):
    driver.get(page.as_uri())
    start = time.perf_counter()
    driver.find_element(By.ID, "files").send_keys("\n".join(str(f) for f in files))
    while True:
        verdict = driver.find_elements(By.CSS_SELECTOR, "[data-report][data-verdict]")
        if verdict:
            break
        time.sleep(0.002)
    wall = time.perf_counter() - start
    if verdict[0].get_attribute("data-verdict") != "match":
        sys.exit("the page does not find the report matching")
    while True:
        elapsed = driver.find_element(By.ID, "results").get_attribute("data-elapsed-ms")
        if elapsed:
            return float(elapsed) / 1000, wall
        time.sleep(0.01)


def main():
    build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build").resolve()
    page = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else "build-web/lotrano.html").resolve()
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 11
    environment = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    with tempfile.TemporaryDirectory(prefix="lotrano-time-web-") as scratch:
        folder = pathlib.Path(scratch) / "examen"
        (folder / "Dat").mkdir(parents=True)
        with open(folder / "Dat" / "grupa.txt", "w", newline="\r\n") as group:
            group.write("Grupa 999\n")
            for k in range(1, STUDENTS + 1):
                group.write(f"{k}. Student Nr {k}\n")
        subprocess.run([str(build / "lotrano")], cwd=folder, input=ANSWERS.encode(),
                       env=environment, capture_output=True, check=True)

        checks = []
        for _ in range(runs):
            start = time.perf_counter()
            done = subprocess.run([str(build / "lotrano-verify"), REPORT], cwd=folder,
                                  capture_output=True)
            checks.append(time.perf_counter() - start)
            if done.returncode != 0:
                sys.exit(f"lotrano-verify: {done.stdout.decode()}")

        driver = browser(pathlib.Path(scratch) / "profile")
        try:
            page_run(driver, page, [folder / REPORT, folder / SEED])  # warms the browser up
            shown, walls = zip(*(page_run(driver, page, [folder / REPORT, folder / SEED])
                                 for _ in range(runs)))
        finally:
            driver.quit()
        size = len(page.read_bytes())
        print(f"report: {STUDENTS} students over 0-999, {(folder / REPORT).stat().st_size} bytes; "
              f"{runs} runs each")
        print(f"lotrano-verify:                           median {statistics.median(checks) * 1000:7.1f} ms")
        print(f"page, files given -> verdict painted:     median {statistics.median(shown) * 1000:7.1f} ms")
        print(f"page, driver's wall time for the step:    median {statistics.median(walls) * 1000:7.1f} ms")
        print(f"page size: {size} bytes ({len(gzip.compress(page.read_bytes(), 9))} bytes gzipped)")


if __name__ == "__main__":
    main()
