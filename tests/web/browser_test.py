#!/usr/bin/env python3
"""The checking page in real browsers: Debian's chromium, driven through
chromedriver by Debian's python3-selenium, and Debian's firefox-esr (when
installed) through Marionette, its own remote protocol; the page opened from
disk.

Reports are written by the real lotrano binary, its answers piped in as a
teacher would type them. The files are given to the page as students give
them (a whole folder, notes beside, a renamed download, a seed file saved
again with a byte order mark or CR CR LF, seed notations, a 20 MB word, new
files after a verdict), each case in one table, and every report's verdict,
first differing line and status must equal lotrano-verify's, run with the
pairing the page shows (its seed file, its group list); the CSV must be
lotrano-verify --csv's, byte for byte. A read that fails and a fault of the
page's own are said on the page. The 30-student report prints on one A4
page, and every printed page of a longer one carries the report's name,
group and verdict; the browser's network log holds no request but the
page's own. A public text typed in its field gives each report
lotrano-verify --public-text's verdict, and its seed file downloaded is
--seed-from-text's. Left in the output folder: a screenshot of the checked
30-student report, its printed page, and screenshots at a phone's width
(390 px) of a mismatch and of a seed file that is not the public text's.

    /usr/bin/python3 tests/web/browser_test.py BUILD_DIR PAGE.html OUTPUT_DIR
"""
import base64
import contextlib
import hashlib
import importlib.util
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
# The page is done with the files given when its summary says so and every
# table is in (or it says that it failed); DONE_RESET forgets the last time.
DONE = ("const s = document.getElementById('summary').dataset.state;"
        " return s === 'failed' || (s === 'shown' && 'tableMs' in document.getElementById('results').dataset)")
DONE_RESET = ("document.getElementById('summary').dataset.state = 'waiting';"
              " delete document.getElementById('results').dataset.tableMs")

# Names with every Romanian letter: comma below in the UTF-8 list.
LAST = ["Popescu", "Țurcanu", "Știrbu", "Mărgărit", "Dumitrescu", "Stănescu", "Vâlcu",
        "Bîrsan", "Căpraru", "Ionescu"]
FIRST = ["Ștefan", "Ioana", "Mădălina", "Răzvan", "Andreea", "Tudor", "Ilinca", "Bogdan",
         "Oana", "Cătălin"]
# The Windows-1250 list: its code page has the cedilla forms Ş ş Ţ ţ.
CP1250_NAMES = ["Şerban Ţiţeica", "Ţurcanu Ştefania", "Mândru Ion", "Bălăşescu Irina",
                "Îndrieş Vlad", "Popa Ana-Maria", "Cîrstea Paşcu", "Neagu Ştefan"]
# The public text a draw was made from, as it was announced and typed.
PUBLIC_TEXT = "Loto 6/49 din 14.12.2026: 3 7 19 24 33 41, citite de Ștefan și Țuțu"
# The public text's state beside its field, once it is taken.
TEXT_TAKEN = "return document.getElementById('public-derived').dataset.state !== 'deriving'"


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
        # None when only the seed file's entries differ from a public text's.
        line = re.search(r"prima linie diferita: (\d+)", text)
        return "mismatch", line and int(line.group(1))
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
        waits until every verdict and table is on screen; returns the
        reports' sections by report name."""
        self.driver.execute_script(DONE_RESET)
        self.driver.find_element(By.ID, "files").send_keys("\n".join(str(p) for p in paths))
        return self.wait_done()

    def wait_done(self, also="return true"):
        deadline = time.time() + WAIT_SECONDS
        while time.time() < deadline:
            if self.driver.execute_script(also) and self.driver.execute_script(DONE):
                shown = self.driver.find_elements(By.CSS_SELECTOR, "[data-report][data-verdict]")
                return {e.get_attribute("data-report"): e for e in shown}
            time.sleep(0.05)
        raise AssertionError("the page shows no result")

    def public_text(self, typed):
        """Types the text into the public text's field, in place of what it
        held, and waits until the text is taken and every report checked
        again against it; returns the reports' sections."""
        self.driver.execute_script(DONE_RESET)
        field = self.driver.find_element(By.ID, "public-text")
        field.send_keys(Keys.CONTROL, "a")
        field.send_keys(typed)
        return self.wait_done(TEXT_TAKEN)

    def roles(self):
        """The files listed, with their roles and notes."""
        return {e.get_attribute("data-file"): (e.get_attribute("data-role"), e.text)
                for e in self.driver.find_elements(By.CSS_SELECTOR, "[data-file][data-role]")}

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
        self.script(DONE_RESET)
        self.command("WebDriver:ElementSendKeys",
                     {"id": self.element("#files"), "text": "\n".join(str(p) for p in paths)})
        deadline = time.time() + WAIT_SECONDS
        while time.time() < deadline:
            if self.script(DONE):
                shown = self.script("return [...document.querySelectorAll('[data-report][data-verdict]')]"
                                    ".map((e) => [e.dataset.report, e.dataset.verdict, e.dataset.status,"
                                    " e.dataset.line || null])")
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
        # Drawn from a public text: the seed file made by lotrano-verify, a
        # group of 30 over 1-30 (one batch) and a typed group of 70 over
        # 1-30 (three batches) re-allocated from it, in a folder of their own.
        public = cls.scratch / "public"
        (public / "Dat").mkdir(parents=True)
        (public / "Dat" / "grupa_311.txt").write_bytes((work / "Dat" / "grupa_311.txt").read_bytes())
        status, seed, _ = verify(public, ["--seed-from-text", PUBLIC_TEXT])
        assert status == 0
        cls.public_seed = seed
        (public / "Seed_public.dat").write_bytes(seed)
        cls.public_reports = [
            run_lotrano(public, f"grupa_311.txt\n1\n3\n1 30\nr\n{public / 'Seed_public.dat'}\n")[0],
            run_lotrano(public, f"\n70 P\n70\n1\n2\n1 30\nr\n{public / 'Seed_public.dat'}\n")[0],
        ]
        assert seed_of(cls.public_reports[1]).read_bytes() == seed

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

    def page_alike(self, case, files, expected=None):
        """Gives the files to a fresh page; every report it shows must get
        lotrano-verify's verdict, first differing line and status, with
        the seed file and group list the page names (--seed when the seed
        file is not the one of the report's name, --group for the list).
        `expected` ({report: verdict}) holds the verdicts the case is about.
        Returns the sections, the folder and each report's arguments."""
        folder = self.case_folder(case, files)
        self.browser.open()
        shown = self.browser.give([folder / name for name in files])
        arguments = {}
        for report, element in shown.items():
            args = []
            if element.get_attribute("data-seed-choice") in ("match", "single"):
                args.append(f"--seed={element.get_attribute('data-seed')}")
            if element.get_attribute("data-group"):
                args.append(f"--group={element.get_attribute('data-group')}")
            status, out, _ = verify(folder, args + ["--", report])
            kind, line = verdict_of(out)
            where = f"{case}: {report} {args}"
            self.assertEqual(element.get_attribute("data-verdict"), kind, where)
            self.assertEqual(element.get_attribute("data-status"), str(status), where)
            self.assertEqual(element.get_attribute("data-line"), None if line is None else str(line), where)
            arguments[report] = args
        for report, verdict in (expected or {}).items():
            self.assertIn(report, shown, case)
            self.assertEqual(shown[report].get_attribute("data-verdict"), verdict, f"{case}: {report}")
        return shown, folder, arguments

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
                    shown, folder, arguments = self.page_alike(case, files, {report_name: "match"})
                    self.assertEqual(shown[report_name].get_attribute("data-group"),
                                     self.groups[key] if with_group else None)
                    status, csv, _ = verify(folder, ["--csv"] + arguments[report_name] + [report_name])
                    self.assertEqual(status, 0)
                    self.assertEqual(self.download_csv(report_name), csv, case)
                    table = self.browser.driver.find_element(
                        By.CSS_SELECTOR, f'table[data-allocation="{report_name}"]')
                    rows = table.find_elements(By.CSS_SELECTOR, "tbody tr")
                    self.assertEqual(len(rows), csv.count(b"\r\n") - 1, case)
        self.browser.collect_requests()

    def test_files_as_students_give_them(self):
        named = self.reports["named30"]
        seed = seed_of(named)
        seed_bytes = seed.read_bytes()
        seed_lines = seed_bytes.split(b"\r\n")
        words = seed_lines[1].split()
        typed = self.reports["three-batches"]
        group = (self.work / "Dat" / "grupa_311.txt").read_bytes()
        lines = named.read_bytes().split(b"\r\n")
        row = lines[12]
        lines[12] = row[:-2] + str(int(row.split()[-1]) % 40 + 1).rjust(2).encode()
        tampered = b"\r\n".join(lines)
        underscored = named.name.replace(" ", "_")

        def with_words(text):
            return seed_lines[0] + b"\r\n" + text + b"\r\n"

        folder = {p.name: p.read_bytes() for p in self.work.iterdir() if p.is_file()}
        folder.update({p.name: p.read_bytes() for p in (self.work / "Dat").iterdir()})
        folder.update({"notite.txt": b"Sala 2, etaj 1\r\n", "lotrano.html": PAGE.read_bytes()})
        honest = {r.name: "match" for r in self.reports.values()}
        # The re-allocation took the next name of its series.
        self.assertTrue(self.reports["reallocation"].name.endswith("[1].rez"))
        w1, w2 = words
        cases = [
            # (case, files, verdicts expected, roles expected: {file: (role, words in its note)})
            ("whole-folder", folder, honest,
             {"notite.txt": ("ignored", "nu este un raport"), "grupa_311.txt": ("group", "311 AC"),
              "lotrano.html": ("ignored", "nu este un raport")}),
            ("notes-beside", {named.name: named.read_bytes(), seed.name: seed_bytes,
                              "notite.txt": b"Sala 2, etaj 1\r\n",
                              "citeste.txt": b"Verificarea\r\n1. Deschideti pagina\r\n"},
             {named.name: "match"}, {"notite.txt": ("ignored", "nu este un raport"),
                                     "citeste.txt": ("ignored", "nu este un raport")}),
            ("other-group-list-only", {named.name: named.read_bytes(), seed.name: seed_bytes,
                                       "grupa_312.txt": b"Grupa 312\r\n1. Ionescu Ana\r\n"},
             {named.name: "match"},
             {"grupa_312.txt": ("ignored", "lista grupei 312, raportul este al grupei 311 AC")}),
            ("bom-seed", {named.name: named.read_bytes(), seed.name: b"\xef\xbb\xbf" + seed_bytes,
                          "grupa_311.txt": group},
             {named.name: "match"}, {seed.name: ("seed", ""), "grupa_311.txt": ("group", "")}),
            ("renamed-download", {named.name: named.read_bytes(), seed.name[:-4] + " (1).dat": seed_bytes},
             {named.name: "match"}, {seed.name[:-4] + " (1).dat": ("seed", "reproduce raportul")}),
            ("blanks-underscored", {underscored: named.read_bytes(),
                                    seed.name.replace(" ", "_"): seed_bytes},
             {underscored: "match"}, {}),
            ("two-reports", {named.name: named.read_bytes(), seed.name: seed_bytes,
                             typed.name: typed.read_bytes(),
                             seed_of(typed).name: seed_of(typed).read_bytes()},
             {named.name: "match", typed.name: "match"}, {}),
            ("tampered-beside-bom-seed", {named.name: tampered, seed.name: b"\xef\xbb\xbf" + seed_bytes},
             {named.name: "mismatch"}, {}),
            ("notation-slash", {named.name: named.read_bytes(), seed.name: with_words(w1 + b" " + w2 + b" / rest")},
             {named.name: "match"}, {}),
            ("notation-word-after-comma", {named.name: named.read_bytes(), seed.name: with_words(w1 + b"," + w2 + b",x")},
             {named.name: "match"}, {}),
            ("notation-repeat", {named.name: named.read_bytes(), seed.name: with_words(b"1*" + w1 + b" " + w2)},
             {named.name: "match"}, {}),
            ("notation-null", {named.name: named.read_bytes(), seed.name: with_words(w1 + b",," + w2)},
             {named.name: "mismatch"}, {}),
            ("cr-cr-lf-seed", {named.name: named.read_bytes(), seed.name: seed_bytes.replace(b"\r\n", b"\r\r\n")},
             {named.name: "error"}, {}),
            ("empty-seed", {named.name: named.read_bytes(), seed.name: b""}, {named.name: "error"}, {}),
            ("word-of-20-mb", {named.name: named.read_bytes(), seed.name: with_words(b"7" * (20 << 20) + b" 2")},
             {named.name: "error"}, {}),
            ("utf16-list", {named.name: named.read_bytes(), seed.name: seed_bytes,
                            "lista.txt": group.decode("utf-8").encode("utf-16")},
             {named.name: "match"}, {"lista.txt": ("group", "cu care au fost verificate numele")}),
            ("typed-group-and-a-list", {typed.name: typed.read_bytes(), seed_of(typed).name: seed_of(typed).read_bytes(),
                                        "grupa_1234.txt": b"Grupa 1234\r\n1 Ana\r\n"},
             {typed.name: "match"}, {"grupa_1234.txt": ("ignored", "introdusă de la tastatură")}),
        ]
        # What the verdict says of the files, where it tells the student more.
        says = {"renamed-download": "nu poartă numele pe care i-l dă lotrano",
                "cr-cr-lf-seed": "CR CR LF", "empty-seed": "este gol",
                "word-of-20-mb": "mai mult decât citește lotrano",
                "utf16-list": "au fost verificate cu lista grupei „lista.txt”", "notes-beside": "Adăugați și lista grupei"}
        for case, files, verdicts, roles in cases:
            with self.subTest(case):
                started = time.perf_counter()
                shown, _, _ = self.page_alike(case, files, verdicts)
                seconds = time.perf_counter() - started
                listed = self.browser.roles()
                # Every file given is listed, once, with its role; a file
                # left aside says why.
                self.assertEqual(sorted(listed), sorted(files), case)
                for name, (role, note) in listed.items():
                    self.assertIn(role, ("report", "seed", "group", "ignored"), f"{case}: {name}")
                    if role == "ignored":
                        self.assertIn(":", note, f"{case}: {name} left aside without a reason")
                for name, (role, words) in roles.items():
                    self.assertEqual(listed[name][0], role, f"{case}: {name}")
                    self.assertIn(words, listed[name][1], f"{case}: {name}")
                # A name with [k] tells of the names taken before it.
                for report, element in shown.items():
                    if report.endswith("[1].rez"):
                        self.assertIn("se termină în [1]", element.find_element(By.CLASS_NAME, "series").text)
                # No cause runs on for pages: a 20 MB word is not quoted whole.
                for element in shown.values():
                    self.assertLess(len(element.find_element(By.CLASS_NAME, "verdict").text), 800, case)
                if case in says:
                    self.assertIn(says[case], shown[named.name].text, case)
                if case == "word-of-20-mb":
                    self.assertLess(seconds, 10, "a 20 MB word is refused at once")

    def test_new_files_replace_the_whole_result(self):
        report_name, files = self.original_files("named30", False)
        seed_name = seed_of(self.reports["named30"]).name
        folder = self.case_folder("new-files", files)
        second = self.case_folder("new-files-second", {seed_name: files[seed_name].replace(b"\r\n", b"\r\r\n")})
        third = self.case_folder("new-files-third", {seed_name: files[seed_name]})
        self.browser.open()
        shown = self.browser.give([folder / report_name, folder / seed_name])
        self.assertEqual(shown[report_name].get_attribute("data-verdict"), "match")
        # The seed file given again, saved with CR CR LF: the verdict is about it.
        shown = self.browser.give([second / seed_name])
        self.assertEqual(shown[report_name].get_attribute("data-verdict"), "error")
        self.assertEqual(shown[report_name].get_attribute("data-status"), "64")
        driver = self.browser.driver
        self.assertEqual(driver.find_elements(By.CSS_SELECTOR, '[data-verdict="match"], table[data-allocation]'), [])
        self.assertNotIn("✓", driver.find_element(By.TAG_NAME, "body").text)
        shown = self.browser.give([third / seed_name])
        self.assertEqual(shown[report_name].get_attribute("data-verdict"), "match")
        driver.find_element(By.ID, "clear").click()
        self.assertEqual(driver.find_elements(By.CSS_SELECTOR, "[data-report], [data-file]"), [])

    def test_failures_are_said_never_swallowed(self):
        report_name, files = self.original_files("named30", False)
        seed_name = seed_of(self.reports["named30"]).name
        driver = self.browser.driver
        # A read that fails: the report's own seed file, and another file,
        # dropped as files that vanished after they were chosen.
        self.browser.open()
        driver.execute_script(DONE_RESET)
        driver.execute_script("""
            const vanished = (name) => ({ name, size: 10, arrayBuffer: () =>
                Promise.reject(new DOMException('gone', 'NotFoundError')) });
            const report = new File([arguments[0]], arguments[1]);
            const drop = new Event('drop', { bubbles: true, cancelable: true });
            Object.defineProperty(drop, 'dataTransfer', { value: { items: [],
                files: [report, vanished(arguments[2]), vanished('notite.txt')] } });
            document.dispatchEvent(drop);
        """, files[report_name].decode("utf-8"), report_name, seed_name)
        shown = self.browser.wait_done()
        self.assertEqual(shown[report_name].get_attribute("data-verdict"), "error")
        self.assertEqual(shown[report_name].get_attribute("data-status"), "29")
        self.assertIn("nu poate fi citit", shown[report_name].text)
        self.assertEqual(self.browser.roles()["notite.txt"][0], "ignored")
        self.assertIn("nu poate fi citit", self.browser.roles()["notite.txt"][1])
        # A fault of the page's own while checking.
        folder = self.case_folder("page-fault", files)
        self.browser.open()
        driver.execute_script("lotrano.draw.drawAllocation = () => { throw new TypeError('forced'); };")
        shown = self.browser.give([folder / name for name in files])
        self.assertEqual(shown[report_name].get_attribute("data-verdict"), "error")
        self.assertEqual(shown[report_name].get_attribute("data-status"), "1")
        self.assertIn("TypeError: forced", shown[report_name].text)
        # A fault while showing the result, and one that escapes every step:
        # the result goes, the failure is said.
        for case, fault, words in [
                ("showing", "lotrano.verdictView.reportSection = () => { throw new RangeError('escaped'); };",
                 "RangeError: escaped"),
                ("escaping", "setTimeout(() => { throw new RangeError('escaped'); }, 0);", "")]:
            self.browser.open()
            shown = self.browser.give([folder / name for name in files])
            self.assertEqual(shown[report_name].get_attribute("data-verdict"), "match", case)
            driver.execute_script(fault)
            if case == "showing":
                self.browser.give([folder / name for name in files])
            deadline = time.time() + WAIT_SECONDS
            while driver.find_element(By.ID, "summary").get_attribute("data-state") != "failed":
                self.assertLess(time.time(), deadline, f"{case}: the failure is not said")
                time.sleep(0.05)
            self.assertIn(words, driver.find_element(By.ID, "summary").text, case)
            self.assertEqual(driver.find_elements(By.CSS_SELECTOR, "[data-report], [data-file]"), [], case)

    def test_names_from_a_windows_1250_list_show_their_letters(self):
        report_name, files = self.original_files("cp1250", True)
        shown, _, _ = self.page_alike("cp1250-names", files, {report_name: "match"})
        cells = [row.find_elements(By.TAG_NAME, "td")[1].text for row in
                 shown[report_name].find_elements(By.CSS_SELECTOR, "table[data-allocation] tbody tr")]
        self.assertEqual(cells, CP1250_NAMES)

    def test_search_filters_the_table_by_name_as_one_types(self):
        report_name, files = self.original_files("named30", True)
        shown, _, _ = self.page_alike("search", files, {report_name: "match"})
        driver = self.browser.driver
        search = shown[report_name].find_element(By.CSS_SELECTOR, 'input[type="search"]')
        rows = driver.find_elements(By.CSS_SELECTOR, "table[data-allocation] tbody tr")
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
        # The search box stands right above its table.
        gap = driver.execute_script("""
            const box = arguments[0].closest('.search').getBoundingClientRect();
            const table = arguments[1].getBoundingClientRect();
            return table.top - box.bottom;""", search,
            shown[report_name].find_element(By.CSS_SELECTOR, "table"))
        self.assertGreaterEqual(gap, 0)
        self.assertLess(gap, 40)

    def test_a_typed_group_has_no_names_search_nor_names_column(self):
        report_name, files = self.original_files("three-batches", False)
        shown, _, _ = self.page_alike("typed", files, {report_name: "match"})
        section = shown[report_name]
        self.assertEqual(section.find_elements(By.CSS_SELECTOR, 'input[type="search"]'), [])
        heads = [th.text for th in section.find_elements(By.CSS_SELECTOR, "thead tr:last-child th")]
        self.assertEqual(heads, ["Nr.", "Problema", "Runda"])
        self.assertEqual(len(section.find_elements(By.CSS_SELECTOR, "tbody tr:first-child td")), 3)
        self.assertIn("Runda", section.find_element(By.CLASS_NAME, "rounds").text)

    def printed(self, name):
        pdf = base64.b64decode(self.browser.driver.execute_cdp_cmd(
            "Page.printToPDF", {"preferCSSPageSize": True})["data"])
        (OUTPUT / name).write_bytes(pdf)
        pages = None
        if shutil.which("pdftotext"):
            text = subprocess.run(["pdftotext", "-layout", str(OUTPUT / name), "-"],
                                  capture_output=True, check=True).stdout.decode()
            pages = [page for page in text.split("\f") if page.strip()]
        return pdf, pages

    def test_thirty_students_print_on_one_a4_page(self):
        report_name, files = self.original_files("named30", False)
        shown, _, _ = self.page_alike("print", files, {report_name: "match"})
        # A search in progress does not shorten the printed list.
        shown[report_name].find_element(By.CSS_SELECTOR, 'input[type="search"]').send_keys("Oana")
        pdf, pages = self.printed("lotrano-30.pdf")
        self.assertEqual(len(re.findall(rb"/Type\s*/Page\b", pdf)), 1)
        box = [float(v) for v in re.search(rb"/MediaBox\s*\[([^\]]+)\]", pdf).group(1).split()]
        self.assertAlmostEqual(box[2] - box[0], 595.3, delta=2)   # 210 mm
        self.assertAlmostEqual(box[3] - box[1], 841.9, delta=2)   # 297 mm
        if pages is not None:
            for name in self.names30:
                self.assertIn(name, pages[0])
            for words in ["Repartizarea problemelor de examen", "311 AC", "1–40", "#3",
                          "corespunde fișierului seed"]:
                self.assertIn(words, pages[0])
            # Nothing meant for the screen: the controls, the list of files,
            # the invitation to add the group list.
            for words in ["Alegeți fișierele", "Căutați după nume", "Descărcați", "Tipăriți",
                          "Fișierele date", "Adăugați"]:
                self.assertNotIn(words, pages[0])

    def test_every_printed_page_carries_the_report_group_and_verdict(self):
        report_name, files = self.original_files("named150", True)
        self.page_alike("print-150", files, {report_name: "match"})
        _, pages = self.printed("lotrano-150.pdf")
        if pages is None:
            self.skipTest("no pdftotext")
        self.assertGreater(len(pages), 1)
        squeezed = lambda text: re.sub(r"\s+", "", text)
        for number, page in enumerate(pages, 1):
            for words in [report_name, "grupa 2, grupa 150", "corespunde fișierului seed"]:
                self.assertIn(squeezed(words), squeezed(page), f"page {number}")

    def test_a_mismatch_at_a_phones_width(self):
        named = self.reports["named30"]
        lines = named.read_bytes().split(b"\r\n")
        row = lines[14]
        drawn = int(row.split()[-1])
        other = drawn % 40 + 1 if drawn % 40 + 1 >= 10 else drawn % 40 + 11
        lines[14] = row[:-2] + str(other).rjust(2).encode()
        files = {named.name: b"\r\n".join(lines), seed_of(named).name: seed_of(named).read_bytes(),
                 "grupa_311.txt": (self.work / "Dat" / "grupa_311.txt").read_bytes()}
        driver = self.browser.driver
        with self.phone_width():
            shown, _, _ = self.page_alike("phone", files, {named.name: "mismatch"})
            section = shown[named.name]
            width = driver.execute_script("return document.documentElement.clientWidth")
            self.assert_fits_a_phone()
            # The differing field side by side, whole within the screen's width.
            sides = {s.get_attribute("data-side"): s for s in section.find_elements(By.CSS_SELECTOR, ".side")}
            self.assertEqual(sides["report"].find_element(By.CLASS_NAME, "piece").text, str(other))
            self.assertEqual(sides["rebuilt"].find_element(By.CLASS_NAME, "piece").text, str(drawn))
            for side in sides.values():
                self.assertNotEqual(side.find_element(By.TAG_NAME, "mark").text, "")
            for side in sides.values():
                right = driver.execute_script("return arguments[0].getBoundingClientRect().right", side)
                self.assertLessEqual(right, width)
                self.assertTrue(side.is_displayed())
            self.assertIn(self.names30[4], section.find_element(By.CLASS_NAME, "where").text)
            self.screenshot("lotrano-mismatch-390.png")

    def test_screenshot_and_a_phones_width(self):
        report_name, files = self.original_files("named30", True)
        shown, _, _ = self.page_alike("screenshot", files, {report_name: "match"})
        driver = self.browser.driver
        width = driver.execute_script("return document.documentElement.scrollWidth")
        height = driver.execute_script("return document.documentElement.scrollHeight")
        shot = driver.execute_cdp_cmd("Page.captureScreenshot", {
            "captureBeyondViewport": True,
            "clip": {"x": 0, "y": 0, "width": width, "height": height, "scale": 1}})
        (OUTPUT / "lotrano-30.png").write_bytes(base64.b64decode(shot["data"]))
        # The verdict is announced, and every control has its label.
        self.assertEqual(driver.find_element(By.ID, "summary").get_attribute("role"), "status")
        for control in driver.find_elements(By.CSS_SELECTOR, "input, textarea"):
            self.assertEqual(len(driver.find_elements(
                By.CSS_SELECTOR, f'label[for="{control.get_attribute("id")}"]')), 1)
        # On a phone's width the page does not run off the screen sideways,
        # and the search box and the buttons are large enough to touch.
        driver.set_window_size(390, 844)
        try:
            overflow = driver.execute_script(
                "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
            self.assertLessEqual(overflow, 0)
            section = shown[report_name]
            self.assertTrue(section.find_element(By.CSS_SELECTOR, "[data-csv]").is_displayed())
            for control in section.find_elements(By.CSS_SELECTOR, "button, input"):
                self.assertGreaterEqual(control.size["height"], 44)
        finally:
            driver.set_window_size(1280, 1000)

    def test_a_public_text_gives_lotrano_verifys_verdict_and_its_seed_file(self):
        driver = self.browser.driver
        folder = self.public_reports[0].parent
        reports = [report.name for report in self.public_reports]
        self.browser.open()
        self.browser.give([folder / name for name in reports] +
                          [seed_of(report) for report in self.public_reports])
        # Each text against lotrano-verify --public-text with the same text:
        # the verdict, status and whether the seed file comes from the text,
        # the text as the draw takes it, and the first entry that does not.
        variants = [
            ("same", PUBLIC_TEXT, "match"),
            ("one character", PUBLIC_TEXT.replace("41", "42"), "mismatch"),
            ("cedillas", PUBLIC_TEXT.replace("ș", "ş").replace("Ș", "Ş").replace("ț", "ţ").replace("Ț", "Ţ"),
             "match"),
            ("blanks and a line end", "  " + PUBLIC_TEXT.replace(" 19 ", "   19\n") + " \n", "match"),
        ]
        for case, typed, public in variants:
            with self.subTest(case):
                shown = self.browser.public_text(typed)
                for report in reports:
                    status, out, _ = verify(folder, ["--public-text", typed, "--", report])
                    lines = out.decode().splitlines()
                    said = re.search(r"; fisierul seed (nu )?vine din textul public \"(.*)\"$", lines[0])
                    section = shown[report]
                    where = f"{case}: {report}"
                    self.assertEqual(section.get_attribute("data-public"), "mismatch" if said.group(1) else "match", where)
                    self.assertEqual(section.get_attribute("data-public"), public, where)
                    self.assertEqual(section.get_attribute("data-verdict"), verdict_of(out)[0], where)
                    self.assertEqual(section.get_attribute("data-status"), str(status), where)
                    self.assertIsNone(section.get_attribute("data-line"), where)
                    self.assertEqual(driver.find_element(By.CSS_SELECTOR, "#public-derived .normalized").text,
                                     said.group(2), where)
                    # No element left out shows as "null".
                    self.assertNotIn("null", driver.find_element(By.ID, "public-derived").text + section.text, where)
                    verdict = section.find_element(By.CLASS_NAME, "verdict").text
                    self.assertIn(f"„{said.group(2)}”", verdict, where)
                    differences = section.find_elements(By.CLASS_NAME, "entry-difference")
                    if public == "match":
                        self.assertIn("care vine din textul public", verdict, where)
                        self.assertEqual(differences, [], where)
                        continue
                    self.assertIn("dar fișierul seed nu vine din textul public", verdict, where)
                    entry = re.fullmatch(r"  prima intrare diferita: (\d+)", lines[1]).group(1)
                    self.assertIn(f"Prima intrare diferită: {entry}", verdict, where)
                    self.assertEqual(differences[0].get_attribute("data-entry"), entry, where)
                    for side, line in [("seed", lines[2]), ("text", lines[3])]:
                        words = differences[0].find_element(By.CSS_SELECTOR, f'[data-side="{side}"]').text
                        self.assertEqual(words.split(), line.split()[-2:], where)
                if case == "one character":
                    with self.phone_width():
                        self.assert_fits_a_phone()
                        self.screenshot("lotrano-public-mismatch-390.png")
        # Its seed file, downloaded: --seed-from-text's, byte for byte.
        target = self.browser.downloads / "Seed_public.dat"
        if target.exists():
            target.unlink()
        driver.find_element(By.ID, "public-seed").click()
        deadline = time.time() + WAIT_SECONDS
        while not (target.exists() and not list(self.browser.downloads.glob("*.crdownload"))):
            self.assertLess(time.time(), deadline, "no download of Seed_public.dat")
            time.sleep(0.05)
        self.assertEqual(target.read_bytes(), self.public_seed)
        rows = [[cell.text for cell in row.find_elements(By.TAG_NAME, "td")]
                for row in driver.find_elements(By.CSS_SELECTOR, "table.entries tbody tr")]
        self.assertEqual(rows, [[str(k + 1)] + line.split() for k, line in
                                enumerate(self.public_seed.decode().split("\r\n")[1::2])])
        # Printed, the verdict says the text too, on every page.
        _, pages = self.printed("lotrano-public.pdf")
        if pages is not None:
            squeezed = lambda text: re.sub(r"\s+", "", text)
            self.assertIn(squeezed(f"vine din textul public „{PUBLIC_TEXT}”"), squeezed(pages[0]))
        # A text of 1 MB: its SHA-256 and entries are Python's.
        spec = importlib.util.spec_from_file_location("redraw", pathlib.Path(__file__).parents[2] / "tools" / "redraw.py")
        redraw = importlib.util.module_from_spec(spec)
        spec.loader.exec_module(redraw)
        long_text = "".join(f"Extragerea {k}: ţ{k % 49}\t{(k * 7) % 49}\u00a0" for k in range(40000))[:1 << 20]
        normalised = redraw.normalise_public_text(long_text)
        driver.execute_script(DONE_RESET)
        started = time.perf_counter()
        driver.execute_script("""
            const field = document.getElementById('public-text');
            field.value = arguments[0];
            field.dispatchEvent(new Event('input', { bubbles: true }));""", long_text)
        shown = self.browser.wait_done(TEXT_TAKEN)
        seconds = time.perf_counter() - started
        self.assertLess(seconds, 10, "a text of 1 MB")
        self.assertEqual(driver.find_element(By.CSS_SELECTOR, "#public-derived .digest code").text,
                         hashlib.sha256(normalised.encode()).hexdigest())
        rows = [[int(cell.text) for cell in row.find_elements(By.TAG_NAME, "td")[1:]]
                for row in driver.find_elements(By.CSS_SELECTOR, "table.entries tbody tr")]
        self.assertEqual(rows, [list(pair) for pair in redraw.public_text_entries(normalised)])
        for report in reports:
            self.assertEqual(shown[report].get_attribute("data-public"), "mismatch")
            self.assertLess(len(shown[report].find_element(By.CLASS_NAME, "verdict").text), 800)
        # A text that gives no entries is said beside the field and in each
        # verdict, never passed over; a blank one is no text.
        derive = "lotrano.publicText.derive"
        for case, fault, typed, words in [
                ("derivation fails", f"window.derive = {derive}; {derive} = () => Promise.reject(new TypeError('forced'));",
                 json.dumps(PUBLIC_TEXT), "TypeError: forced"),
                ("lone surrogate", f"{derive} = window.derive;", "'Loto ' + String.fromCharCode(0xd800)",
                 "jumătate de pereche UTF-16")]:
            with self.subTest(case):
                driver.execute_script(fault)
                driver.execute_script(DONE_RESET)
                driver.execute_script(f"""
                    const field = document.getElementById('public-text');
                    field.value = {typed};
                    field.dispatchEvent(new Event('input', {{ bubbles: true }}));""")
                shown = self.browser.wait_done(TEXT_TAKEN)
                account = driver.find_element(By.ID, "public-derived")
                self.assertEqual(account.get_attribute("data-state"), "unusable")
                self.assertIn(words, account.text)
                for report in reports:
                    self.assertIsNone(shown[report].get_attribute("data-public"))
                    self.assertEqual(shown[report].get_attribute("data-verdict"), "match")
                    self.assertIn("Nu s-a verificat dacă fișierul seed vine din textul public", shown[report].text)
        shown = self.browser.public_text(" \n ")
        self.assertEqual(driver.find_element(By.ID, "public-derived").get_attribute("data-state"), "none")
        for report in reports:
            self.assertIsNone(shown[report].get_attribute("data-public"))
            self.assertNotIn("textul public", shown[report].text)

    @contextlib.contextmanager
    def phone_width(self):
        """The browser's window as wide as a phone's screen (390 px)."""
        self.browser.driver.set_window_size(390, 844)
        try:
            yield
        finally:
            self.browser.driver.set_window_size(1280, 1000)

    def assert_fits_a_phone(self):
        """The page does not run off the screen sideways, and every control
        shown (buttons, the file chooser, the public text's field) is large
        enough to touch."""
        driver = self.browser.driver
        overflow = driver.execute_script(
            "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
        self.assertLessEqual(overflow, 0)
        for control in driver.find_elements(By.CSS_SELECTOR, "button, input[type='file'], summary, textarea"):
            if control.is_displayed():
                self.assertGreaterEqual(control.size["height"], 44, control.get_attribute("outerHTML")[:80])

    def screenshot(self, name):
        """The whole page, as wide as the window (the scroll bar's width too)."""
        driver = self.browser.driver
        height = driver.execute_script("return document.documentElement.scrollHeight")
        shot = driver.execute_cdp_cmd("Page.captureScreenshot", {
            "captureBeyondViewport": True,
            "clip": {"x": 0, "y": 0, "width": driver.execute_script("return window.innerWidth"),
                     "height": height, "scale": 1}})
        (OUTPUT / name).write_bytes(base64.b64decode(shot["data"]))

    def test_the_policy_allows_the_page_and_nothing_else(self):
        self.browser.open()
        driver = self.browser.driver
        policy = driver.find_element(
            By.CSS_SELECTOR, 'meta[http-equiv="Content-Security-Policy"]').get_attribute("content")
        directives = sorted(part.split()[0] for part in policy.split("; "))
        self.assertEqual(directives, ["base-uri", "default-src", "form-action", "script-src", "style-src"])
        self.assertIn("default-src 'none'", policy)
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
            seed_bytes = seed_of(named).read_bytes()
            for case, files in [("changed", {named.name: b"\r\n".join(lines),
                                             seed_of(named).name: seed_bytes}),
                                ("no-seed", {named.name: named.read_bytes()}),
                                ("renamed-bom-seed", {named.name: named.read_bytes(),
                                                      "Seed (1).dat": b"\xef\xbb\xbf" + seed_bytes})]:
                with self.subTest(case):
                    folder = self.case_folder(f"firefox-{case}", files)
                    seed_option = ["--seed=Seed (1).dat"] if "Seed (1).dat" in files else []
                    status, out, _ = verify(folder, seed_option + [named.name])
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
