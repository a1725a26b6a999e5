#!/usr/bin/env python3
"""The checking page in real browsers: Debian's chromium, driven through
chromedriver by Debian's python3-selenium, and Debian's firefox-esr (when
installed) through Marionette, its own remote protocol; the page opened from
disk.

Reports are written by the real lotrano binary, its answers piped in as a
teacher would type them; each report, its tampered copies and broken files
are checked by the page and by lotrano-verify, and the two must agree: the
verdict, the first differing line, the status, and the CSV byte for byte.
The page printed to PDF is one A4 page for 30 students; the browser's
network log holds no request but the page's own; a screenshot of the
checked 30-student report is left in the output folder.

    /usr/bin/python3 tests/web/browser_test.py BUILD_DIR PAGE.html OUTPUT_DIR
"""
import base64
import json
import os
import pathlib
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

BUILD = PAGE = OUTPUT = None
CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
FIREFOX = shutil.which("firefox-esr") or shutil.which("firefox")
WAIT_SECONDS = 30

# Names with every Romanian letter: comma below in the UTF-8 list.
LAST = ["Popescu", "Țurcanu", "Știrbu", "Mărgărit", "Dumitrescu", "Stănescu", "Vâlcu",
        "Bîrsan", "Căpraru", "Ionescu"]
FIRST = ["Ștefan", "Ioana", "Mădălina", "Răzvan", "Andreea", "Tudor", "Ilinca", "Bogdan",
         "Oana", "Cătălin"]
# The Windows-1250 list: its code page has the cedilla forms Ş ş Ţ ţ.
CP1250_NAMES = ["Şerban Ţiţeica", "Ţurcanu Ştefania", "Mândru Ion", "Bălăşescu Irina",
                "Îndrieş Vlad", "Popa Ana-Maria", "Cîrstea Paşcu", "Neagu Ştefan"]


def romanian_names(count):
    return [f"{LAST[k % 10]} {FIRST[(k * 3 + k // 10) % 10]}" for k in range(count)]


def group_file(title, names):
    return "\r\n".join([title, "Nr. Nume si prenume"] +
                       [f"{k + 1}. {name}" for k, name in enumerate(names)]) + "\r\n"


def run_lotrano(folder, answers):
    """One run of the program in `folder`, its answers on standard input and
    no display (the console chooser reads a typed file name); returns the
    result files it wrote."""
    before = set(folder.glob("*.rez"))
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    run = subprocess.run([str(BUILD / "lotrano")], cwd=folder, input=answers.encode(),
                         capture_output=True, env=env, timeout=120)
    if run.returncode != 0:
        raise AssertionError(f"lotrano failed ({run.returncode}): {run.stderr.decode()}")
    return sorted(set(folder.glob("*.rez")) - before)


def seed_of(report):
    return report.with_name("Seed_" + report.name[len("Probleme Examen Nr_"):-4] + ".dat")


def verify(folder, arguments):
    run = subprocess.run([str(BUILD / "lotrano-verify")] + arguments, cwd=folder,
                         capture_output=True, timeout=60)
    return run.returncode, run.stdout, run.stderr


def verdict_of(output):
    """lotrano-verify's verdict: ("match" | "mismatch" | "error", line)."""
    text = output.decode("utf-8", "replace")
    if text.startswith("POTRIVIRE: "):
        return "match", None
    if text.startswith("NEPOTRIVIRE: "):
        return "mismatch", int(re.search(r"prima linie diferita: (\d+)", text).group(1))
    if text.startswith("EROARE: "):
        return "error", None
    raise AssertionError(f"no verdict in {text!r}")


class Browser:
    """Headless chromium on a fresh profile, nothing fetched on its own."""

    def __init__(self, downloads, profile):
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                         "--no-first-run", "--disable-background-networking",
                         "--disable-component-update", "--disable-sync", "--lang=ro",
                         f"--user-data-dir={profile}", "--window-size=1280,1000"]:
            options.add_argument(argument)
        options.add_experimental_option("prefs", {
            "download.default_directory": str(downloads),
            "download.prompt_for_download": False,
            "intl.accept_languages": "ro",
        })
        options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.driver.execute_cdp_cmd("Page.setDownloadBehavior",
                                    {"behavior": "allow", "downloadPath": str(downloads)})
        self.downloads = downloads
        self.requests = []

    def open(self):
        self.driver.get(PAGE.as_uri())
        self.collect_requests()

    def give(self, paths):
        """Gives the page the files, as a choice in its file dialog, and
        waits for a verdict on every report among them."""
        reports = [p for p in paths if p.suffix == ".rez"]
        self.driver.find_element(By.ID, "files").send_keys("\n".join(str(p) for p in paths))
        deadline = time.time() + WAIT_SECONDS
        while time.time() < deadline:
            shown = self.driver.find_elements(By.CSS_SELECTOR, "[data-report][data-verdict]")
            if len(shown) >= len(reports):
                return {e.get_attribute("data-report"): e for e in shown}
            time.sleep(0.05)
        raise AssertionError(f"no verdict for {[p.name for p in reports]}")

    def collect_requests(self):
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                params = message["params"]
                self.requests.append((params["request"]["url"], params.get("documentURL", "")))

    def quit(self):
        self.driver.quit()


class Firefox:
    """Headless Firefox on a fresh profile, driven through Marionette, the
    remote protocol built into it (no geckodriver in Debian): messages of
    JSON, each after its length and a colon, on a loopback port."""

    def __init__(self, downloads, profile):
        profile.mkdir(parents=True)
        port = free_port()
        prefs = {
            "marionette.port": port,
            "browser.download.folderList": 2,
            "browser.download.dir": str(downloads),
            "browser.download.useDownloadDir": True,
            "browser.download.always_ask_before_handling_new_types": False,
            "browser.helperApps.neverAsk.saveToDisk": "text/csv",
            "app.update.disabledForTesting": True,
            "toolkit.telemetry.reportingpolicy.firstRun": False,
            "datareporting.policy.dataSubmissionEnabled": False,
            "browser.shell.checkDefaultBrowser": False,
        }
        (profile / "user.js").write_text("".join(
            f"user_pref({json.dumps(k)}, {json.dumps(v)});\n" for k, v in prefs.items()))
        self.process = subprocess.Popen(
            [FIREFOX, "--headless", "--marionette", "--no-remote", "-profile", str(profile)],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + WAIT_SECONDS
        while True:
            try:
                self.socket = socket.create_connection(("127.0.0.1", port), timeout=WAIT_SECONDS)
                break
            except OSError:
                if time.time() > deadline:
                    self.process.kill()
                    raise
                time.sleep(0.2)
        self.pending = b""
        self.next_id = 0
        self.receive()  # the greeting
        self.command("WebDriver:NewSession", {"capabilities": {}})
        self.downloads = downloads

    def receive(self):
        while b":" not in self.pending:
            self.pending += self.socket.recv(65536)
        length, rest = self.pending.split(b":", 1)
        while len(rest) < int(length):
            rest += self.socket.recv(65536)
        self.pending = rest[int(length):]
        return json.loads(rest[:int(length)])

    def command(self, name, parameters=None):
        self.next_id += 1
        data = json.dumps([0, self.next_id, name, parameters or {}]).encode()
        self.socket.sendall(str(len(data)).encode() + b":" + data)
        _, _, error, result = self.receive()
        if error:
            raise AssertionError(f"{name}: {error}")
        return result

    def element(self, selector):
        found = self.command("WebDriver:FindElement", {"using": "css selector", "value": selector})
        return next(iter(found["value"].values()))

    def script(self, source):
        return self.command("WebDriver:ExecuteScript", {"script": source, "args": []})["value"]

    def check(self, paths):
        """Opens the page, gives it the files and returns, for each report,
        its verdict, status and line."""
        self.command("WebDriver:Navigate", {"url": PAGE.as_uri()})
        self.command("WebDriver:ElementSendKeys",
                     {"id": self.element("#files"), "text": "\n".join(str(p) for p in paths)})
        deadline = time.time() + WAIT_SECONDS
        while time.time() < deadline:
            shown = self.script("return [...document.querySelectorAll('[data-report][data-verdict]')]"
                                ".map((e) => [e.dataset.report, e.dataset.verdict, e.dataset.status,"
                                " e.dataset.line || null])")
            if shown:
                return {report: (verdict, status, line) for report, verdict, status, line in shown}
            time.sleep(0.05)
        raise AssertionError("Firefox shows no verdict")

    def quit(self):
        try:
            self.command("Marionette:Quit")
        except (AssertionError, OSError):
            pass
        try:
            self.process.wait(timeout=WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            self.process.kill()


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = pathlib.Path(tempfile.mkdtemp(prefix="lotrano-web-"))
        cls.work = cls.scratch / "lotrano"
        (cls.work / "Dat").mkdir(parents=True)
        cls.make_reports()
        (cls.scratch / "downloads").mkdir()
        cls.browser = Browser(cls.scratch / "downloads", cls.scratch / "profile")

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        shutil.rmtree(cls.scratch, ignore_errors=True)

    @classmethod
    def make_reports(cls):
        work = cls.work
        cls.names30 = romanian_names(30)
        (work / "Dat" / "grupa_311.txt").write_text(group_file("Grupa 311 AC", cls.names30),
                                                    encoding="utf-8")
        # 150 students, two with a ";" and quotes in their names.
        names150 = romanian_names(148) + ["Pop; Ana", 'Ionescu "Nae" Petre']
        (work / "Dat" / "grupa_150.txt").write_text(
            "\ufeff" + group_file("Anul 2, grupa 150", names150), encoding="utf-8")
        (work / "Dat" / "grupa_1250.txt").write_bytes(
            group_file("Grupa 412 (lista veche)", CP1250_NAMES).encode("cp1250"))
        cls.reports = {
            "named30": run_lotrano(work, "grupa_311.txt\n1\n3\n1 40\n\n")[0],
            "three-batches": run_lotrano(work, "\n1234\n15\n2\n7\n1,6\n\n")[0],
            "cp1250": run_lotrano(work, "grupa_1250.txt\n2\n1\n1 20\n\n")[0],
            "named150": run_lotrano(work, "grupa_150.txt\n2\n4\n0 999\n\n")[0],
            "negative": run_lotrano(work, "\nNeg\n40\n1\n2\n-9 20\n\n")[0],
            "typed3000": run_lotrano(work, "\n9999\n3000\n1\n1\n0 999\n\n")[0],
        }
        seed30 = seed_of(cls.reports["named30"])
        cls.reports["reallocation"] = run_lotrano(
            work, f"grupa_311.txt\n1\n3\n1 40\nr\n{seed30}\n")[0]
        cls.groups = {"named30": "grupa_311.txt", "reallocation": "grupa_311.txt",
                      "cp1250": "grupa_1250.txt", "named150": "grupa_150.txt"}

    def case_folder(self, name, files):
        """A folder of its own holding the files ({name: bytes})."""
        folder = self.scratch / "cases" / name
        folder.mkdir(parents=True)
        for file_name, data in files.items():
            (folder / file_name).write_bytes(data)
        return folder

    def original_files(self, key, with_group):
        report = self.reports[key]
        files = {report.name: report.read_bytes(), seed_of(report).name: seed_of(report).read_bytes()}
        if with_group:
            group = self.groups[key]
            files[group] = (self.work / "Dat" / group).read_bytes()
        return report.name, files

    def check_alike(self, case, report_name, files, group=None, expected=None):
        """The page's verdict on the files equals lotrano-verify's; returns
        the report's element and the checker's status."""
        folder = self.case_folder(case, files)
        arguments = ([f"--group={group}"] if group else []) + [report_name]
        status, out, _ = verify(folder, arguments)
        kind, line = verdict_of(out)
        if expected:
            self.assertEqual(kind, expected, f"{case}: lotrano-verify says {out!r}")
        self.browser.open()
        shown = self.browser.give([folder / name for name in files])
        element = shown[report_name]
        self.assertEqual(element.get_attribute("data-verdict"), kind, case)
        self.assertEqual(element.get_attribute("data-status"), str(status), case)
        if kind == "mismatch":
            self.assertEqual(element.get_attribute("data-line"), str(line), case)
        else:
            self.assertIsNone(element.get_attribute("data-line"), case)
        return element, folder, arguments

    def download_csv(self, report_name):
        target = self.browser.downloads / (report_name[:-4] + ".csv")
        if target.exists():
            target.unlink()
        button = self.browser.driver.find_element(
            By.CSS_SELECTOR, f'[data-csv="{report_name}"]')
        button.click()
        deadline = time.time() + WAIT_SECONDS
        while time.time() < deadline:
            partial = list(self.browser.downloads.glob("*.crdownload"))
            if target.exists() and not partial:
                return target.read_bytes()
            time.sleep(0.05)
        raise AssertionError(f"no download of {target.name}")

    def test_reports_written_by_the_program_match_and_give_the_checkers_csv(self):
        for key in self.reports:
            for with_group in ([False, True] if key in self.groups else [False]):
                case = f"{key}{'-group' if with_group else ''}"
                with self.subTest(case):
                    report_name, files = self.original_files(key, with_group)
                    _, folder, arguments = self.check_alike(
                        case, report_name, files, self.groups[key] if with_group else None,
                        expected="match")
                    status, csv, _ = verify(folder, ["--csv"] + arguments)
                    self.assertEqual(status, 0)
                    self.assertEqual(self.download_csv(report_name), csv, case)
                    table = self.browser.driver.find_element(
                        By.CSS_SELECTOR, f'table[data-allocation="{report_name}"]')
                    rows = table.find_elements(By.CSS_SELECTOR, "tbody tr")
                    self.assertEqual(len(rows), csv.count(b"\r\n") - 1, case)
        self.browser.collect_requests()

    def test_names_from_a_windows_1250_list_show_their_letters(self):
        report_name, files = self.original_files("cp1250", True)
        element, _, _ = self.check_alike("cp1250-names", report_name, files, "grupa_1250.txt",
                                         expected="match")
        shown = [row.find_elements(By.TAG_NAME, "td")[1].text for row in
                 element.find_elements(By.CSS_SELECTOR, "table[data-allocation] tbody tr")]
        self.assertEqual(shown, CP1250_NAMES)

    def test_tampered_and_broken_files_get_the_checkers_verdict(self):
        named = self.reports["named30"]
        lines = named.read_bytes().split(b"\r\n")
        seed = seed_of(named)

        def edited(edit):
            copy = list(lines)
            edit(copy)
            return b"\r\n".join(copy)

        def other_problem(copy):
            row = copy[14]
            number = int(row.split()[-1])
            copy[14] = row[:-2] + str(number % 40 + 1).rjust(2).encode()

        def swap_names(copy):
            first, second = copy[10], copy[11]
            copy[10] = first[:9] + second[9:45] + first[45:]
            copy[11] = second[:9] + first[9:45] + second[45:]

        three = self.reports["three-batches"]
        three_lines = three.read_bytes().split(b"\r\n")
        repeat = next(k for k, line in enumerate(three_lines) if re.match(rb"^ +\d+ +\d+: +\d+$", line))
        three_lines[repeat] = three_lines[repeat][:-1] + b"9"
        other_seed = seed_of(self.reports["named150"]).read_bytes()
        group = (self.work / "Dat" / "grupa_311.txt").read_bytes()
        cases = [
            ("problem-changed", named.name, {named.name: edited(other_problem)}, None),
            ("names-swapped", named.name, {named.name: edited(swap_names)}, None),
            ("names-swapped-group", named.name,
             {named.name: edited(swap_names), "grupa_311.txt": group}, "grupa_311.txt"),
            ("row-deleted", named.name, {named.name: edited(lambda c: c.pop(12))}, None),
            ("line-added", named.name, {named.name: edited(lambda c: c.insert(45, b"   x"))}, None),
            ("repeat-changed", three.name, {three.name: b"\r\n".join(three_lines),
                                            seed_of(three).name: seed_of(three).read_bytes()}, None),
            ("other-seed", named.name, {named.name: named.read_bytes(), seed.name: other_seed}, None),
            ("lf-line-ends", named.name, {named.name: named.read_bytes().replace(b"\r\n", b"\n")}, None),
            ("not-a-report", "altceva.rez", {"altceva.rez": b"Lista de cumparaturi\r\npaine\r\n"}, None),
            ("empty", "gol.rez", {"gol.rez": b""}, None),
            ("cut-short", named.name, {named.name: b"\r\n".join(lines[:14]) + b"\r\n"}, None),
            ("binary", "binar.rez", {"binar.rez": b"\x7fELF\x02\x01\x01\0\0\0" + bytes(4096)}, None),
            ("no-seed", named.name, {named.name: named.read_bytes(), "alt.dat": seed.read_bytes()}, None),
            ("seed-word", named.name, {named.name: named.read_bytes(),
                                       seed.name: b" seed_1:\r\n    doisprezece 12\r\n"}, None),
            ("seed-short", three.name, {three.name: three.read_bytes(),
                                        seed_of(three).name: b" seed_1:\r\n 1 2\r\n"}, None),
            ("group-without-number", named.name, {named.name: named.read_bytes(), seed.name:
                                                  seed.read_bytes(), "g.txt": b"Grupa\r\n1 Ana\r\n"},
             "g.txt"),
        ]
        seen = set()
        for case, report_name, files, group_name in cases:
            with self.subTest(case):
                if seed.name not in files and "seed" not in case and report_name == named.name:
                    files[seed.name] = seed.read_bytes()
                element, _, _ = self.check_alike(case, report_name, files, group_name)
                seen.add(element.get_attribute("data-verdict"))
                if element.get_attribute("data-verdict") != "match":
                    self.assertEqual(self.browser.driver.find_elements(By.CSS_SELECTOR, "[data-csv]"), [])
        self.assertEqual(seen, {"match", "mismatch", "error"})
        self.browser.collect_requests()

    def test_search_filters_the_table_by_name_as_one_types(self):
        report_name, files = self.original_files("named30", True)
        self.check_alike("search", report_name, files, "grupa_311.txt", expected="match")
        search = self.browser.driver.find_element(By.ID, "search")
        rows = self.browser.driver.find_elements(By.CSS_SELECTOR, "table[data-allocation] tbody tr")
        visible = lambda: [r.find_elements(By.TAG_NAME, "td")[1].text for r in rows if r.is_displayed()]
        # Without diacritics, in any case, letter by letter.
        search.send_keys("s")
        search.send_keys("tefan")
        self.assertEqual(visible(), [n for n in self.names30 if "Ștefan" in n])
        self.assertGreater(len(visible()), 0)
        search.send_keys(Keys.CONTROL, "a")
        search.send_keys("ȚURCANU")
        self.assertEqual(visible(), [n for n in self.names30 if "Țurcanu" in n])
        search.clear()
        search.send_keys(" ")
        search.send_keys(Keys.BACK_SPACE)
        self.assertEqual(len(visible()), 30)

    def test_thirty_students_print_on_one_a4_page(self):
        report_name, files = self.original_files("named30", True)
        self.check_alike("print", report_name, files, "grupa_311.txt", expected="match")
        # A search in progress does not shorten the printed list.
        self.browser.driver.find_element(By.ID, "search").send_keys("Oana")
        pdf = base64.b64decode(self.browser.driver.execute_cdp_cmd(
            "Page.printToPDF", {"preferCSSPageSize": True})["data"])
        (OUTPUT / "lotrano-30.pdf").write_bytes(pdf)
        self.assertEqual(len(re.findall(rb"/Type\s*/Page\b", pdf)), 1)
        box = [float(v) for v in re.search(rb"/MediaBox\s*\[([^\]]+)\]", pdf).group(1).split()]
        self.assertAlmostEqual(box[2] - box[0], 595.3, delta=2)   # 210 mm
        self.assertAlmostEqual(box[3] - box[1], 841.9, delta=2)   # 297 mm
        if shutil.which("pdftotext"):
            printed = subprocess.run(["pdftotext", "-layout", str(OUTPUT / "lotrano-30.pdf"), "-"],
                                     capture_output=True, check=True).stdout.decode()
            for name in self.names30:
                self.assertIn(name, printed)
            for words in ["Repartizarea problemelor de examen", "311 AC", "1–40", "#3",
                          "corespunde fișierului seed"]:
                self.assertIn(words, printed)
            # Nothing of the page's controls.
            for words in ["Alegeți fișierele", "Căutați după nume", "Descărcați", "Tipăriți"]:
                self.assertNotIn(words, printed)

    def test_screenshot_and_a_phones_width(self):
        report_name, files = self.original_files("named30", True)
        element, _, _ = self.check_alike("screenshot", report_name, files, "grupa_311.txt",
                                         expected="match")
        driver = self.browser.driver
        width = driver.execute_script("return document.documentElement.scrollWidth")
        height = driver.execute_script("return document.documentElement.scrollHeight")
        shot = driver.execute_cdp_cmd("Page.captureScreenshot", {
            "captureBeyondViewport": True,
            "clip": {"x": 0, "y": 0, "width": width, "height": height, "scale": 1}})
        (OUTPUT / "lotrano-30.png").write_bytes(base64.b64decode(shot["data"]))
        # The verdict is announced, and every control has its label.
        self.assertEqual(driver.find_element(By.ID, "summary").get_attribute("role"), "status")
        for control in ["files", "search"]:
            self.assertEqual(len(driver.find_elements(By.CSS_SELECTOR, f'label[for="{control}"]')), 1)
        # On a phone's width the page does not run off the screen sideways.
        driver.set_window_size(390, 844)
        try:
            overflow = driver.execute_script(
                "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
            self.assertLessEqual(overflow, 0)
            self.assertTrue(element.find_element(By.CSS_SELECTOR, "[data-csv]").is_displayed())
        finally:
            driver.set_window_size(1280, 1000)

    def test_the_policy_forbids_every_connection(self):
        self.browser.open()
        driver = self.browser.driver
        policy = driver.find_element(
            By.CSS_SELECTOR, 'meta[http-equiv="Content-Security-Policy"]').get_attribute("content")
        self.assertIn("default-src 'none'", policy)
        self.assertNotIn("connect-src", policy)
        outcome = driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            const blocked = [];
            document.addEventListener('securitypolicyviolation', (e) => blocked.push(e.violatedDirective));
            fetch('http://127.0.0.1:9/').then(() => done(['fetched', blocked]),
                () => setTimeout(() => done(['refused', blocked]), 100));
        """)
        self.assertEqual(outcome[0], "refused")
        self.assertIn("connect-src", outcome[1])
        self.browser.collect_requests()

    @unittest.skipUnless(FIREFOX, "no Firefox")
    def test_firefox_gives_the_same_verdicts_and_csv(self):
        firefox = Firefox(self.scratch / "firefox-downloads", self.scratch / "firefox-profile")
        try:
            named = self.reports["named30"]
            lines = named.read_bytes().split(b"\r\n")
            lines[13] = lines[13][:-2] + b"99"
            cases = [(key, with_group) for key in ["named30", "cp1250", "three-batches", "negative"]
                     for with_group in [key in self.groups]]
            for key, with_group in cases:
                with self.subTest(key):
                    report_name, files = self.original_files(key, with_group)
                    folder = self.case_folder(f"firefox-{key}", files)
                    group = [f"--group={self.groups[key]}"] if with_group else []
                    status, csv, _ = verify(folder, ["--csv"] + group + [report_name])
                    self.assertEqual(status, 0)
                    shown = firefox.check([folder / name for name in files])
                    self.assertEqual(shown[report_name], ("match", "0", None))
                    target = firefox.downloads / (report_name[:-4] + ".csv")
                    firefox.command("WebDriver:ElementClick",
                                    {"id": firefox.element(f'[data-csv="{report_name}"]')})
                    deadline = time.time() + WAIT_SECONDS
                    while not (target.exists() and target.read_bytes() == csv) and time.time() < deadline:
                        time.sleep(0.05)
                    self.assertEqual(target.read_bytes(), csv)
            for case, files in [("changed", {named.name: b"\r\n".join(lines),
                                             seed_of(named).name: seed_of(named).read_bytes()}),
                                ("no-seed", {named.name: named.read_bytes()})]:
                with self.subTest(case):
                    folder = self.case_folder(f"firefox-{case}", files)
                    status, out, _ = verify(folder, [named.name])
                    kind, line = verdict_of(out)
                    shown = firefox.check([folder / name for name in files])
                    self.assertEqual(shown[named.name],
                                     (kind, str(status), None if line is None else str(line)))
        finally:
            firefox.quit()

    def test_zz_the_network_log_holds_the_page_alone(self):
        self.browser.collect_requests()
        page = PAGE.as_uri()
        self.assertIn((page, page), self.browser.requests)
        # From the page's document: the page itself, and the CSV downloads
        # the page made from its own memory (blob: URLs); from anywhere in
        # the browser (its own start page included), nothing over a network.
        from_page = [url for url, document in self.browser.requests
                     if document == page and url != page and not url.startswith("blob:file://")]
        self.assertEqual(from_page, [])
        networked = [url for url, _ in self.browser.requests
                     if re.match(r"(https?|wss?|ftp)://", url)]
        self.assertEqual(networked, [])


def main():
    global BUILD, PAGE, OUTPUT
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    BUILD = pathlib.Path(sys.argv[1]).resolve()
    PAGE = pathlib.Path(sys.argv[2]).resolve()
    OUTPUT = pathlib.Path(sys.argv[3]).resolve()
    OUTPUT.mkdir(parents=True, exist_ok=True)
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(PageTest)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    failed = len(result.failures) + len(result.errors)
    print(f"browser: {result.testsRun - failed} passed, {failed} failed")
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
