#!/usr/bin/python3
"""Check tools on the real packages of VARNOLL_REAL_PACKAGES (see
real_packages.py); skipped when it names no folder. The Linux tool always,
and each Windows tool named (run under Wine) the same way.

    real_packages_test.py VARNOLLCHECK [WINDOWS_CHECK.exe...]
"""
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import real_packages  # noqa: E402

COMMANDS = []
WORK = None
# What a Microsoft-signed package may fail on here: the judging INF is not in
# the real catalog, and some published INFs were stored with LF line ends
# (their CRLF form is the one signed).
JUDGING_ONLY = {"not-in-catalog", "line-endings-changed"}


class RealPackages(unittest.TestCase):
    judged = None

    @classmethod
    def setUpClass(cls):
        # Each tool judges each package once (Wine starts slowly); the tests read the answers.
        folder = real_packages.root()
        cls.judged = []
        for package, inf, catalog, kind in real_packages.packages(folder):
            path = real_packages.stage(folder, package, inf, catalog, WORK)
            for command in COMMANDS:
                cls.judged.append((os.path.basename(command[-1]), package, inf, kind,
                                   real_packages.judge(command, path)))

    def verdicts(self):
        return self.judged

    def test_every_published_signature_is_intact(self):
        for tool, package, inf, _, (_, verdict, _) in self.verdicts():
            with self.subTest(tool=tool, package=package, inf=inf):
                self.assertEqual(verdict["signature"], "intact")
                self.assertNotIn("signature-broken", {f["code"] for f in verdict["findings"]})

    def test_every_signer_is_what_its_folder_says(self):
        for tool, package, inf, kind, (_, verdict, _) in self.verdicts():
            with self.subTest(tool=tool, package=package, inf=inf):
                self.assertEqual(verdict["signer_kind"], kind)
                self.assertGreaterEqual(len(verdict["signer_chain"]), 1)
                self.assertEqual(verdict["signer_chain"][0], verdict["signed_by"])

    def test_a_microsoft_signature_fails_on_nothing_but_the_judging(self):
        for tool, package, inf, kind, (_, verdict, _) in self.verdicts():
            if kind != "microsoft":
                continue
            with self.subTest(tool=tool, package=package, inf=inf):
                fails = {(f["code"], f["file"]) for f in verdict["findings"] if f["severity"] == "fails"}
                self.assertEqual({code for code, _ in fails} - JUDGING_ONLY, set(), verdict["findings"])
                self.assertLessEqual({file for _, file in fails}, {real_packages.JUDGE_INF, inf})
                self.assertIsNone(verdict["trusted_publisher"])
                # Every Microsoft signer here has expired; the time stamp holds it.
                self.assertIsNotNone(verdict["timestamped_at"])

    def test_every_tool_says_the_same_of_who_signed_and_when(self):
        said = {}
        for tool, package, inf, _, (_, verdict, _) in self.verdicts():
            expired = "signature-expired" in {f["code"] for f in verdict["findings"]}
            said.setdefault((package, inf), {})[tool] = (verdict["signer_kind"], verdict["signer_chain"],
                                                         verdict["timestamped_at"], expired)
        for (package, inf), answers in said.items():
            with self.subTest(package=package, inf=inf):
                self.assertEqual(len(set(map(repr, answers.values()))), 1, answers)

    def test_any_other_signature_is_asked_about_as_windows_asks(self):
        for tool, package, inf, kind, (_, verdict, _) in self.verdicts():
            if kind == "microsoft":
                continue
            with self.subTest(tool=tool, package=package, inf=inf):
                codes = {f["code"] for f in verdict["findings"]}
                if tool.endswith(".exe"):
                    self.assertIn("publisher-not-trusted", codes)
                else:
                    self.assertLessEqual({"needs-trusted-publisher", "needs-microsoft-signature"}, codes)


def main():
    global WORK
    COMMANDS.append([os.path.abspath(sys.argv.pop(1))])
    while len(sys.argv) > 1 and sys.argv[1].endswith(".exe"):
        COMMANDS.append(["wine", os.path.abspath(sys.argv.pop(1))])
    if real_packages.root() is None:
        print("SKIP: VARNOLL_REAL_PACKAGES names no folder of real packages")
        return 77
    WORK = tempfile.mkdtemp(prefix="varnoll-real-")
    try:
        result = unittest.main(exit=False).result
        return 0 if result.wasSuccessful() else 1
    finally:
        shutil.rmtree(WORK, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
