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
TOOL = None  # the Linux tool
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
                    self.assertIn("needs-trusted-publisher", codes)


class RealPackagesAsWindowsReadsThem(unittest.TestCase):
    """Names, line endings and models sections of the real packages."""

    def staged(self, package, inf, catalog):
        return real_packages.stage(real_packages.root(), package, inf, catalog, WORK)

    def test_the_ch340_catalog_is_found_by_the_name_its_inf_gives(self):
        # CH341SER.INF says CatalogFile = CH341SER.CAT; the file is ch341SER.CAT.
        path = self.staged("ms-ch340-ser", "CH341SER.INF", "ch341SER.CAT")
        named = [l.split("=", 1)[1].strip() for l in real_packages.section(
            real_packages.inf_text(os.path.join(path, "CH341SER.INF")), "Version") if l.lower().startswith("catalogfile")]
        self.assertEqual(named, ["CH341SER.CAT"])
        with open(os.path.join(path, real_packages.JUDGE_INF), "wb") as f:
            f.write(real_packages.judge_inf("CH341SER.CAT", "CH341SER.INF"))
        _, verdict, _ = real_packages.judge([TOOL], path)
        self.assertEqual((verdict["catalog"], verdict["signature"]), ("CH341SER.CAT", "intact"))
        self.assertNotIn("catalog-missing", {f["code"] for f in verdict["findings"]})

    def test_lf_normalised_infs_fail_for_their_line_endings_and_pass_with_crlf_restored(self):
        rows = [("ms-ch340-ser", "CH341SER.INF", "ch341SER.CAT"), ("ms-ftdi-cdm20830-win81", "ftdibus.inf", "ftdibus.cat"),
                ("ms-ftdi-cdm20830-win81", "ftdiport.inf", "ftdiport.cat"),
                ("ms-ftdi-cdm20830-winall", "ftdibus.inf", "ftdibus.cat"),
                ("ms-ftdi-cdm20830-winall", "ftdiport.inf", "ftdiport.cat"), ("ms-pl2303-ser2pl", "ser2pl.inf", "ser2pl.cat")]
        for package, inf, catalog in rows:
            with self.subTest(package=package, inf=inf):
                path = self.staged(package, inf, catalog)
                _, verdict, _ = real_packages.judge([TOOL], path)
                about = [(f["code"], f["text"]) for f in verdict["findings"] if f["file"] == inf]
                self.assertEqual(about, [("line-endings-changed", inf + ": line endings changed after signing "
                                                                        "(CRLF -> LF, as git does): restore CRLF")])
                real = os.path.join(path, inf)
                with open(real, "rb") as f:
                    data = f.read()
                self.assertNotIn(b"\r\n", data)
                with open(real, "wb") as f:
                    f.write(data.replace(b"\n", b"\r\n"))
                _, verdict, _ = real_packages.judge([TOOL], path)
                self.assertEqual([f for f in verdict["findings"] if f["file"] == inf], [])
                (entry,) = [f for f in verdict["files"] if f["name"] == inf]
                self.assertIs(entry["in_catalog"], True)

    def test_third_party_models_sections_under_the_default_arch(self):
        # x86, x64 and Itanium decorations as published: Itanium is no
        # architecture Windows runs the installer on; ARM64 is judged, a warning.
        rows = {
            ("tp-arduino-cdc", "arduino.inf", "arduino.cat"): ("Real", "Real.NTamd64", None),
            ("tp-atmel-cdc", "atmel_devices_cdc.inf", "atmel_devices_cdc.cat"): ("Real.NT", "Real.NTAMD64", "Real.NT"),
            ("tp-osvr-cdc", "osvr_cdc.inf", "osvr_cdc.cat"): ("Real.NTx86.10", "Real.NTamd64.10", None),
        }
        for (package, inf, catalog), expected in rows.items():
            with self.subTest(package=package):
                path = self.staged(package, inf, catalog)
                decorations, undecorated = real_packages.real_models(os.path.join(path, inf))
                with open(os.path.join(path, real_packages.JUDGE_INF), "wb") as f:
                    f.write(real_packages.models_inf(catalog, inf, decorations, undecorated))
                _, verdict, _ = real_packages.judge([TOOL], path)
                got = tuple(verdict["architectures"][a]["models"] for a in ("x86", "amd64", "arm64"))
                self.assertEqual(got, expected)
                models = [f for f in verdict["findings"] if f["code"] in ("no-models-for-arch", "id-not-in-models")]
                self.assertEqual([(f["severity"], f["arches"]) for f in models],
                                 [] if expected[2] else [("warning", ["arm64"])])


def main():
    global TOOL, WORK
    TOOL = os.path.abspath(sys.argv.pop(1))
    COMMANDS.append([TOOL])
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
