#!/usr/bin/env python3
"""The Linux check tool on folders this test writes: one table across the
reasons and actions, the JSON read by a real parser, the text report, the
exit statuses and the command line.

    check_tool_test.py VARNOLLCHECK
"""
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

TOOL = None

# name: (bytes, hardware_id, qualifies, action, reason, words the note holds)
CASES = {
    "01-ok.inf": (b"[Tarvelix]\r\n%M%=Install, PCI\\VEN_1F2E&DEV_0A01\r\n",
                  "PCI\\VEN_1F2E&DEV_0A01", True, "install-or-preinstall", "ok", []),
    "02-lower-marker.inf": (b"[Mfg.generic]\n%M%=I,  PCI\\VEN_2 ; comment\n",
                            "PCI\\VEN_2", True, "install-or-preinstall", "ok", []),
    "03-further-models.inf": (b"[Tarvelix]\n%A%=I, PCI\\VEN_3\n%B%=I, PCI\\VEN_4\n%C%=I, PCI\\VEN_5\n[Next]\nx=y\n",
                              "PCI\\VEN_3", True, "install-or-preinstall", "ok", ["2 further model lines"]),
    "04-no-ven.inf": (b"[Tarvelix]\n%M%=I, MDMGEN\\SERIAL\n", "MDMGEN\\SERIAL", False, "skip", "no-ven",
                      ["VEN_"]),
    "05-lower-ven.inf": (b"[Tarvelix]\n%M%=I, PCI\\ven_1\n", "PCI\\ven_1", False, "skip", "no-ven", []),
    "06-empty-id.inf": (b"[Tarvelix]\n%M%=I,\n", "", False, "skip", "no-ven", ["nothing after"]),
    "07-token.inf": (b"[Tarvelix]\n%M%=I, %HWID%\n[Strings]\nHWID=\"PCI\\VEN_9\"\n", "%HWID%", False, "skip",
                     "no-ven", ["%HWID%", "[Strings]"]),
    "08-no-marker.inf": (b"[Version]\nSignature=\"$Windows NT$\"\n[Models]\n%M%=I, PCI\\VEN_1\n", None, False,
                         "skip", "no-marker", ["F_MODEM]"]),
    "09-utf16.inf": ("[Tarvelix]\r\n%M%=I, PCI\\VEN_1\r\n".encode("utf-16"), None, False, "skip", "no-marker",
                     ["UTF-16"]),
    "10-no-model-line.inf": (b"[Tarvelix]\n; nothing follows\n", None, False, "skip", "no-model-line", []),
    "11-no-comma.inf": (b"[Tarvelix]\n%M%=Install\n[F_Modem]\n%M%=I, PCI\\VEN_1\n", None, False, "skip",
                        "no-comma", ["comma"]),
    "12-bytes.inf": (b"[Tarvelix]\n%M%=I, PCI\\VEN_\x81\xe9\x80\x01\"\\\n", "PCI\\VEN_\ufffd\u00e9\u20ac\x01\"",
                     True, "install-or-preinstall", "ok", []),
    # Listed through its 8.3 short name, MODEL~1.INF, as Windows lists it.
    "15-model.infx": (b"[Tarvelix]\n%M%=I, PCI\\VEN_15\n", "PCI\\VEN_15", True, "install-or-preinstall", "ok",
                      ["8.3 short name"]),
}


# A setupapi.dev.log for LOG_FOLDER: two runs of a.inf's update (the later
# one counts), a staging of b.inf, and sections that must not be taken for
# them: another INF name with a.inf's ID, a.inf's name with another ID.
LOG_FOLDER = {
    "a.inf": b"[Tarvelix]\n%M%=I, PCI\\VEN_1F2E&DEV_0A01\n",
    "b.inf": b"[Tarvelix]\n%M%=I, PCI\\VEN_1F2E&DEV_0B02\n",
    "c.inf": b"[Tarvelix]\n%M%=I, MDMGEN\\SERIAL\n",
}
LOG = (b">>>  [Device Install (UpdateDriverForPlugAndPlayDevices) - PCI\\VEN_1F2E&DEV_0A01]\r\n"
       b">>>  Section start 2026/12/01 09:00:00.000\r\n"
       b"      cmd: C:\\Temp\\pkg1\\varnoll64.exe\r\n"
       b"     ndv: INF path: C:\\Temp\\pkg1\\A.INF\r\n"
       b"<<<  [Exit status: FAILURE(0xe0000247)]\r\n"
       b"     [Boot Session: 2026/12/01 09:30:00.000]\r\n"
       b">>>  [Device Install (UpdateDriverForPlugAndPlayDevices) - pci\\ven_1f2e&dev_0a01]\r\n"
       b">>>  Section start 2026/12/01 10:00:00.000\r\n"
       b"      cmd: C:\\Temp\\pkg2\\varnoll64.exe\r\n"
       b"     ndv: INF path: C:\\Temp\\pkg2\\a.inf\r\n"
       b"     ndv: {Update Device Driver - PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0}\r\n"
       b"!    ndv: Device required reboot: Query remove failed.\r\n"
       b"<<<  Section end 2026/12/01 10:00:02.000\r\n"
       b"<<<  [Exit status: SUCCESS]\r\n"
       b">>>  [Device Install (UpdateDriverForPlugAndPlayDevices) - PCI\\VEN_1F2E&DEV_0A01]\r\n"
       b">>>  Section start 2026/12/01 11:00:00.000\r\n"
       b"     ndv: INF path: C:\\other\\vendor.inf\r\n"
       b"<<<  [Exit status: SUCCESS]\r\n"
       b">>>  [Device Install (UpdateDriverForPlugAndPlayDevices) - PCI\\VEN_9999]\r\n"
       b"     ndv: INF path: C:\\Temp\\pkg3\\a.inf\r\n"
       b"<<<  [Exit status: SUCCESS]\r\n"
       b">>>  [SetupCopyOEMInf - C:\\Temp\\pkg2\\b.inf]\r\n"
       b">>>  Section start 2026/12/01 10:00:03.000\r\n"
       b"      cmd: C:\\Temp\\pkg2\\varnoll64.exe\r\n"
       b"     inf: Published Inf Path: C:\\WINDOWS\\INF\\oem12.inf\r\n"
       b"<<<  [Exit status: SUCCESS]\r\n"
       b">>>  [SetupCopyOEMInf - C:\\Temp\\pkg4\\b.inf]\r\n"
       b">>>  Section start 2026/12/01 12:00:00.000\r\n")
# What the report says of them.
LOG_EXPECTED = {
    "a.inf": ({"time": "2026/12/01 10:00:00.000", "status": "SUCCESS", "error": None, "error_name": None,
               "devices": ["PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0"], "published": None, "restart": True,
               "inf_path": "C:\\Temp\\pkg2\\a.inf", "cmd": "C:\\Temp\\pkg2\\varnoll64.exe"}, None),
    "b.inf": (None, {"time": "2026/12/01 12:00:00.000", "status": None, "error": None, "error_name": None,
                     "devices": [], "published": None, "restart": False, "inf_path": "C:\\Temp\\pkg4\\b.inf",
                     "cmd": None}),
    "c.inf": (None, None),
}


def run(*args):
    done = subprocess.run([TOOL, *args], capture_output=True, timeout=60)
    # The text report holds the files' own bytes; JSON is always UTF-8.
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8")


class CheckTool(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="varnollcheck-")
        self.addCleanup(shutil.rmtree, self.folder)

    def write(self, name, data):
        with open(os.path.join(self.folder, name), "wb") as f:
            f.write(data)

    def test_every_reason_and_action_in_installer_order(self):
        for name, (data, *_rest) in CASES.items():
            self.write(name, data)
        os.mkdir(os.path.join(self.folder, "13-folder.inf"))
        # A FIFO no program writes to: opening it must not wait.
        os.mkfifo(os.path.join(self.folder, "14-fifo.inf"))
        self.write("notes.txt", b"[Tarvelix]\n%M%=I, PCI\\VEN_1\n")
        done = subprocess.run([TOOL, "--json", self.folder], capture_output=True, timeout=60)
        self.assertEqual(done.returncode, 0)
        # Strict UTF-8: whatever bytes the files hold, the JSON is valid.
        report = json.loads(done.stdout.decode("utf-8", "strict"))
        self.assertEqual(report["folder"], os.path.realpath(self.folder) + "/")
        self.assertIsNone(report["reenumerate"], "unknown on Linux with a qualifying file")
        names = [f["name"] for f in report["files"]]
        self.assertEqual(names, sorted(list(CASES) + ["13-folder.inf", "14-fifo.inf"]))
        for entry in report["files"]:
            with self.subTest(entry["name"]):
                # The package check's keys belong to the files that qualify.
                package_keys = {"package", "driver_ver"} if entry["qualifies"] else set()
                self.assertEqual(set(entry), {"name", "hardware_id", "qualifies", "action", "reason", "note",
                                              "devices", "sha256", "store", "store_copies"} | package_keys)
                self.assertEqual(entry["devices"], [])
                # No driver store on Linux; the bytes' SHA-256 for every file that qualifies.
                self.assertIsNone(entry["store"])
                if entry["qualifies"]:
                    with open(os.path.join(self.folder, entry["name"]), "rb") as f:
                        self.assertEqual(entry["sha256"], hashlib.sha256(f.read()).hexdigest())
                else:
                    self.assertIsNone(entry["sha256"])
                if entry["name"] in ("13-folder.inf", "14-fifo.inf"):
                    self.assertEqual((entry["hardware_id"], entry["action"], entry["reason"]),
                                     (None, "skip", "unreadable"))
                    continue
                _, hardware_id, qualifies, action, reason, words = CASES[entry["name"]]
                self.assertEqual(entry["hardware_id"], hardware_id)
                self.assertEqual(entry["qualifies"], qualifies)
                self.assertEqual(entry["action"], action)
                self.assertEqual(entry["reason"], reason)
                for word in words:
                    self.assertIn(word, entry["note"])
                if not words and reason == "ok":
                    self.assertEqual(entry["note"], "")

    def test_text_report_has_a_block_per_file_and_a_summary(self):
        self.write("a.inf", CASES["01-ok.inf"][0])
        self.write("b.inf", CASES["04-no-ven.inf"][0])
        status, out, _ = run(self.folder)
        self.assertEqual(status, 0)
        self.assertLess(out.index("a.inf\n"), out.index("b.inf\n"))
        self.assertIn("  hardware ID: PCI\\VEN_1F2E&DEV_0A01\n", out)
        self.assertIn("  action:      skip (no-ven)\n", out)
        self.assertTrue(out.rstrip("\n").endswith(
            "2 INF files: 1 would be installed or pre-installed, 1 skipped; whether the device tree would be "
            "re-enumerated depends on the devices present."), out)

    def test_exit_status_is_1_when_nothing_would_be_done(self):
        for files in ({}, {"a.inf": CASES["04-no-ven.inf"][0], "readme.txt": b"x"}):
            with self.subTest(files=sorted(files)):
                for name in os.listdir(self.folder):
                    os.remove(os.path.join(self.folder, name))
                for name, data in files.items():
                    self.write(name, data)
                status, out, _ = run("--json", self.folder)
                self.assertEqual(status, 1)
                report = json.loads(out)
                self.assertIs(report["reenumerate"], False)
                self.assertTrue(all(f["action"] == "skip" for f in report["files"]))

    def test_usage_errors_and_missing_folders_exit_2_with_one_line(self):
        # --detect needs a driver store and devices, which Linux has not.
        for args in (["--verbose"], ["-j"], [self.folder, self.folder], [os.path.join(self.folder, "missing")],
                     [os.path.join(self.folder, "file")], ["--detect", self.folder],
                     ["--detect", "--json", self.folder], ["--json", "--json", self.folder],
                     ["--log=a", "--log", self.folder], ["--", "--json"], ["--detect", "--summary", self.folder],
                     ["--json", "--summary", self.folder], ["--summary", "--summary", self.folder]):
            with self.subTest(args=args):
                self.write("file", b"")
                status, out, err = run(*args)
                self.assertEqual(status, 2)
                self.assertEqual(out, "")
                self.assertEqual(err.count("\n"), 1, err)
                self.assertTrue(err.startswith("varnollcheck: "), err)

    def test_summary_is_one_line_with_the_exit_status_of_its_question(self):
        for name, (data, *_rest) in CASES.items():
            self.write(name, data)
        # Hostile names (quotes, a letter outside ASCII) and many INF
        # files, so that the line must drop detail to fit.
        for n in range(300):
            self.write(("q\"%03dé " % n) + "x" * 60 + ".inf", CASES["01-ok.inf"][0])
        for question in ([], ["--preflight"]):
            args = question + ["--summary"]
            with self.subTest(args=args):
                plain_status, _, _ = run(*question, "--json", self.folder)
                done = subprocess.run([TOOL, *args, self.folder], capture_output=True, timeout=120)
                self.assertEqual(done.returncode, plain_status)
                self.assertEqual(done.stderr, b"")
                self.assertTrue(done.stdout.endswith(b"\n"))
                self.assertEqual(done.stdout.count(b"\n"), 1)
                self.assertLessEqual(len(done.stdout) + 1, 2048)  # CR LF on Windows
                line = json.loads(done.stdout.decode("utf-8"))
                self.assertEqual((line["summary"], line["tool"], line["question"]),
                                 (1, "varnollcheck", "preflight" if "--preflight" in args else "report"))
                self.assertIs(line["truncated"], True)
                self.assertEqual(line["counts"]["qualifying"], 305)
                self.assertLess(len(line["infs"]), 305)
        for name in os.listdir(self.folder):
            os.remove(os.path.join(self.folder, name))
        status, out, err = run("--summary", self.folder)
        self.assertEqual((status, err), (1, ""))
        self.assertEqual((json.loads(out)["verdict"], json.loads(out)["cause"]), ("nothing-to-do", "nothing-qualifies"))

    def test_log_gives_each_file_its_last_runs(self):
        for name, data in LOG_FOLDER.items():
            self.write(name, data)
        log = os.path.join(tempfile.mkdtemp(prefix="varnolllog-"), "setupapi.dev.log")
        self.addCleanup(shutil.rmtree, os.path.dirname(log))
        with open(log, "wb") as f:
            f.write(LOG)
        done = subprocess.run([TOOL, "--json", "--log=" + log, self.folder], capture_output=True, timeout=60)
        self.assertEqual(done.returncode, 0)
        report = json.loads(done.stdout.decode("utf-8", "strict"))
        self.assertEqual(report["log"], {"file": log, "sections": 6, "recognised": True})
        for entry in report["files"]:
            with self.subTest(entry["name"]):
                self.assertEqual((entry["last_update"], entry["last_staging"]), LOG_EXPECTED[entry["name"]])
        # The text report says the same in a few words.
        status, out, _ = run("--log=" + log, self.folder)
        self.assertIn("  last update: 2026/12/01 10:00:00.000, SUCCESS, devices PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0, "
                      "restart requested, INF C:\\Temp\\pkg2\\a.inf, by C:\\Temp\\pkg2\\varnoll64.exe\n", out)
        self.assertIn("  last staging: 2026/12/01 12:00:00.000, unfinished (no footer)", out)

    def test_a_log_that_cannot_be_read_is_said_once(self):
        self.write("a.inf", LOG_FOLDER["a.inf"])
        os.mkfifo(os.path.join(self.folder, "fifo.log"))
        for log in (os.path.join(self.folder, "missing.log"), self.folder, os.path.join(self.folder, "fifo.log")):
            with self.subTest(log=log):
                status, out, err = run("--json", "--log=" + log, self.folder)
                self.assertEqual(status, 0)
                self.assertIsNone(json.loads(out)["log"])
                self.assertEqual(err.count("\n"), 1, err)
        # Linux has no %windir%: --log needs its FILE.
        status, out, err = run("--log", self.folder)
        self.assertEqual((status, out), (2, ""))

    def test_a_folder_that_starts_with_a_dash_comes_after_the_end_of_options(self):
        os.mkdir(os.path.join(self.folder, "-pkg"))
        self.write("-pkg/a.inf", LOG_FOLDER["a.inf"])
        done = subprocess.run([TOOL, "--json", "--", "-pkg"], capture_output=True, timeout=60, cwd=self.folder)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(json.loads(done.stdout)["folder"], os.path.join(self.folder, "-pkg") + "/")

    def test_a_log_without_a_section_header_says_nothing_was_recognised(self):
        self.write("a.inf", LOG_FOLDER["a.inf"])
        log = os.path.join(self.folder, "not-a-setup.log")
        with open(log, "wb") as f:
            f.write(LOG.replace(b"\r\n", b"\r").replace(b"\n", b"\r"))
        status, out, _ = run("--json", "--log=" + log, self.folder)
        self.assertEqual(json.loads(out)["log"], {"file": log, "sections": 0, "recognised": False})
        status, out, _ = run("--log=" + log, self.folder)
        self.assertIn("0 sections read: no section header was recognised", out)

    def test_help_prints_the_usage(self):
        status, out, _ = run("--help")
        self.assertEqual(status, 0)
        self.assertTrue(out.startswith("usage: varnollcheck [--detect] [--json] [--log[=FILE]] [--] [FOLDER]"))

    def test_without_a_folder_it_checks_its_own(self):
        copy = os.path.join(self.folder, "varnollcheck")
        shutil.copy2(TOOL, copy)
        self.write("a.inf", CASES["01-ok.inf"][0])
        done = subprocess.run([copy, "--json"], capture_output=True, timeout=60, cwd="/")
        self.assertEqual(done.returncode, 0)
        report = json.loads(done.stdout)
        self.assertEqual(report["folder"], os.path.realpath(self.folder) + "/")
        self.assertEqual([f["name"] for f in report["files"]], ["a.inf"])

    def test_the_folder_is_left_as_it_was(self):
        for name, (data, *_rest) in CASES.items():
            self.write(name, data)

        def snapshot():
            state = []
            for name in sorted(os.listdir(self.folder)):
                path = os.path.join(self.folder, name)
                with open(path, "rb") as f:
                    state.append((name, os.stat(path).st_mtime_ns, f.read()))
            return state
        before = snapshot()
        run("--json", self.folder)
        run(self.folder)
        self.assertEqual(snapshot(), before)


if __name__ == "__main__":
    TOOL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=1)
