#!/usr/bin/python3
"""The Linux check tool on driver packages made by fixtures.py: every
finding, every file's presence and catalog membership (each checked against
an independent oracle: osslsigncode for PE images, hashlib for the rest),
the models section per architecture, the text and --preflight forms, and
bad input (a 1 GiB catalog, a FIFO, an INF listing 10,000 files).

    package_test.py VARNOLLCHECK
"""
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fixtures  # noqa: E402
import make_catalog  # noqa: E402

TOOL = None
WORK = None
# What the Linux tool says of every signature not Microsoft's: it cannot ask
# a machine's TrustedPublisher (a warning). With the production roots
# nothing here is Microsoft's, the Microsoft-like chain under a test root
# included. ARM64, where counted (--arch), takes only Microsoft's.
KERNEL = {"kernel-service", "kernel-service-microsoft"}
KINDS = {"self-signed": "self-signed", "no-catalog": None, "catalog-missing": None, "catalog-empty": None,
         "catalog-truncated": None, "catalog-nested": None}


def signer_warnings(name, package):
    """The signer warnings the Linux tool gives on a fixture: one per signed catalog."""
    catalogs = {v["catalog"] for v in package["architectures"].values() if v.get("signature") in ("intact", "broken")}
    found = {("needs-trusted-publisher", catalog) for catalog in catalogs}
    if name in KERNEL:
        found.add(("kernel-driver-not-microsoft-signed", "kestrel.cat"))
    return found


def run(*args):
    result = subprocess.run([TOOL, *args], capture_output=True)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def package_of(folder):
    status, out, err = run("--preflight", "--json", folder)
    report = json.loads(out)
    (entry,) = [f for f in report["files"] if f["qualifies"]]
    return status, report, entry["package"]


def on_disk(folder, relative):
    """`relative` ('\\'-separated) found in `folder` ignoring the case of its parts, as Windows finds it."""
    path = folder
    for part in relative.split("\\"):
        names = os.listdir(path) if os.path.isdir(path) else []
        # The exact spelling first, then byte order: the tool's pick among names that differ only in case.
        matches = sorted((n != part, n) for n in names if n.lower() == part.lower())
        path = os.path.join(path, matches[0][1] if matches else part)
    return path


def oracle_in_catalog(path, catalog, ca):
    """Whether the file is in the catalog, by tools that share nothing with the product;
    `ca` holds every root the fixtures sign under."""
    with open(path, "rb") as f:
        data = f.read()
    if make_catalog.pe_layout(data) is not None:
        verify = subprocess.run(["osslsigncode", "verify", "-in", path, "-catalog", catalog, "-CAfile", ca],
                                capture_output=True)
        return verify.returncode == 0
    with open(catalog, "rb") as f:
        cat = f.read()
    return any(hashlib.new(h, data).digest() in cat for h in ("sha1", "sha256"))


class PackageCheck(unittest.TestCase):
    def test_every_fixture_gives_its_findings_and_exit_status(self):
        # One row per fixture: the failures a check for x64 gives, and the
        # warnings of the Linux default (x64 counted, x86 and ARM64 judged).
        for name, (_, expected) in fixtures.FIXTURES.items():
            with self.subTest(name):
                status, report, package = package_of(os.path.join(WORK, name))
                found = sorted((f["code"], f["file"], f["severity"]) for f in package["findings"])
                warnings = {(code, file) for code, file, _ in fixtures.WARNINGS.get(name, set())}
                warnings |= signer_warnings(name, package)
                self.assertEqual(package["signer_kind"], KINDS.get(name, "third-party"))
                self.assertEqual(found, sorted([(c, f, "fails") for c, f in expected] +
                                               [(c, f, "warning") for c, f in warnings]), package["findings"])
                for finding in package["findings"]:
                    self.assertEqual(set(finding), {"code", "severity", "file", "text", "arches"})
                self.assertEqual(package["judged_for"], ["amd64"])
                self.assertEqual(status, 1 if expected else 0)
                self.assertEqual(report["preflight"], not expected)

    def test_arch_decides_which_failures_count(self):
        rows = [  # fixture, --arch, exit status, the codes that fail
            ("undecorated-models", "x86", 0, set()),
            # ARM64 counted, a third party's signature fails there too.
            ("undecorated-models", "x86,arm64", 1, {"no-models-for-arch", "needs-microsoft-signature"}),
            ("id-missing-arm64", "amd64,arm64", 1, {"id-not-in-models", "needs-microsoft-signature"}),
            ("x86-amd64", "x86,amd64", 0, set()),
            ("x86-amd64", "arm64", 1, {"no-models-for-arch", "needs-microsoft-signature"}),
            ("x64-only-catalog", "x86", 1, {"not-in-catalog"}),
            ("per-arch-catalogs", "x86,amd64,arm64", 1, {"needs-microsoft-signature"}),
            ("decorated-catalog", "x86", 1, {"no-catalog"}),  # only x64 has a catalog
        ]
        for name, arches, expected_status, fails in rows:
            with self.subTest(fixture=name, arch=arches):
                status, out, _ = run("--preflight", "--json", "--arch=" + arches, os.path.join(WORK, name))
                report = json.loads(out)
                (entry,) = [f for f in report["files"] if f["qualifies"]]
                package = entry["package"]
                self.assertEqual(status, expected_status)
                self.assertEqual(package["judged_for"], arches.split(","))
                self.assertEqual({f["code"] for f in package["findings"] if f["severity"] == "fails"}, fails)
                self.assertEqual({a for a, v in package["architectures"].items() if v["counted"]}, set(arches.split(",")))
                # The top-level catalog keys are the main architecture's: x64 where it counts.
                main = "amd64" if "amd64" in arches else arches.split(",")[0]
                self.assertEqual(package["catalog"], package["architectures"][main]["catalog"])
        for bad in ("--arch=", "--arch=ia64", "--arch=x86,,amd64"):
            with self.subTest(bad):
                status, out, err = run("--preflight", bad, os.path.join(WORK, "good"))
                self.assertEqual((status, out), (2, ""))
                self.assertIn("--arch", err)

    def test_each_architecture_reads_its_own_sections_and_catalog(self):
        _, _, package = package_of(os.path.join(WORK, "per-arch-catalogs"))
        self.assertEqual({a: (v["catalog"], v["signature"]) for a, v in package["architectures"].items()},
                         {a: (f"k{a}.cat", "intact") for a in ("x86", "amd64", "arm64")})
        self.assertEqual(package["catalog"], "kamd64.cat")
        self.assertEqual(sorted((f["path"], f["in_catalog"]) for f in package["files"]),
                         [("amd64\\k.sys", True), ("arm64\\k.sys", True), ("kestrel.inf", True), ("x86\\k.sys", True)])
        # [SourceDisksFiles.amd64] overrides the plain entry for the same name.
        _, _, package = package_of(os.path.join(WORK, "x86-amd64"))
        self.assertEqual(sorted(f["path"] for f in package["files"]), ["amd64\\k.sys", "kestrel.inf", "x86\\k.sys"])

    def test_names_are_found_without_regard_to_case(self):
        _, _, package = package_of(os.path.join(WORK, "case-names"))
        self.assertEqual((package["catalog"], package["signature"]), ("KESTREL.CAT", "intact"))
        self.assertEqual([(f["path"], f["present"], f["in_catalog"]) for f in package["files"]],
                         [("kestrel.inf", True, True), ("ODD.SYS", True, True), ("DATA\\DOCS\\README.TXT", True, True)])

    def test_models_sections_say_which_windows_they_serve(self):
        _, _, package = package_of(os.path.join(WORK, "newer-build-models"))
        amd64 = package["architectures"]["amd64"]
        self.assertEqual(amd64["candidates"], [{"models": "Tarvelix.NTamd64.10.0...22000", "from": "10.0.22000",
                                                "has_id": True}])
        (finding,) = [f for f in package["findings"] if f["code"] != "needs-trusted-publisher"]
        self.assertIn("10.0.22000", finding["text"])
        self.assertEqual(finding["arches"], ["amd64"])

    def test_an_ansi_inf_names_files_through_its_code_page(self):
        folder = os.path.join(WORK, "ansi-name")
        _, _, package = package_of(folder)
        self.assertIn(("café.sys", True, True), [(f["name"], f["present"], f["in_catalog"]) for f in package["files"]])
        # Missing, its finding prints the name, not the INF's raw byte.
        missing = tempfile.mkdtemp(dir=WORK)
        shutil.copytree(folder, missing, dirs_exist_ok=True)
        os.remove(os.path.join(missing, "café.sys"))
        result = subprocess.run([TOOL, "--preflight", missing], capture_output=True)
        self.assertEqual(result.returncode, 1)
        self.assertIn("[fails] file-missing: café.sys is listed but not in the package", result.stderr.decode("utf-8"))

    def test_line_endings_changed_says_how_to_restore_them(self):
        _, _, package = package_of(os.path.join(WORK, "lf-normalised"))
        (finding,) = [f for f in package["findings"] if f["code"] != "needs-trusted-publisher"]
        self.assertEqual(finding["text"], "kestrel.inf: line endings changed after signing (CRLF -> LF, as git does): "
                                          "restore CRLF")
        self.assertIs(package["files"][0]["in_catalog"], False)

    def test_membership_agrees_with_the_oracles(self):
        ca = os.path.join(WORK, "pki", "roots.pem")
        with open(ca, "wb") as f:
            for root in ("ca", "hwroot", "self"):
                with open(os.path.join(WORK, "pki", root + ".pem"), "rb") as pem:
                    f.write(pem.read())
        checked = 0
        for name in fixtures.FIXTURES:
            folder = os.path.join(WORK, name)
            _, _, package = package_of(folder)
            self.assertEqual(package["files"][0]["name"], "kestrel.inf")
            for entry in package["files"]:
                with self.subTest(fixture=name, file=entry["name"]):
                    self.assertEqual(set(entry), {"name", "path", "present", "in_catalog"})
                    path = on_disk(folder, entry["path"])
                    # A file in a folder named for an architecture is that one's.
                    arch = package["architectures"].get(entry["path"].split("\\")[0], {})
                    catalog = on_disk(folder, arch.get("catalog") or package["catalog"] or "-")
                    if not entry["present"]:
                        self.assertIsNone(entry["in_catalog"])
                        continue
                    if entry["in_catalog"] is None:  # only without a readable catalog
                        codes = {f["code"] for f in package["findings"]}
                        self.assertTrue(codes & {"no-catalog", "catalog-missing", "catalog-unreadable"}, codes)
                        continue
                    # osslsigncode refuses a broken catalog, and one whose signer expired
                    # before the throwaway CA began.
                    if package["signature"] != "intact" or name == "expired-signer":
                        continue
                    self.assertEqual(entry["in_catalog"], oracle_in_catalog(path, catalog, ca))
                    checked += 1
        self.assertGreater(checked, 30)

    def test_the_good_package_names_its_catalog_signer_and_models(self):
        _, _, package = package_of(os.path.join(WORK, "good"))
        self.assertEqual((package["catalog"], package["signature"], package["os_attr"]),
                         ("kestrel.cat", "intact", "2:6.1,2:10.0"))
        self.assertEqual(package["signed_by"], "CN=Varnoll Test Publisher, O=Varnoll Test")
        self.assertRegex(package["signed_until"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$")
        self.assertIs(package["timestamped"], False)
        self.assertIsNone(package["timestamped_at"])
        self.assertEqual(package["signer_chain"], ["CN=Varnoll Test Publisher, O=Varnoll Test"])
        # Linux cannot ask a machine's trust, nor Windows' own answer.
        self.assertEqual((package["trusted"], package["trusted_publisher"], package["os_covered"],
                          package["windows_says"]), (None, None, None, None))
        self.assertEqual([f["path"] for f in package["files"]], ["kestrel.inf", "odd.sys", "data\\docs\\readme.txt"])
        self.assertEqual({a: (v["models"], v["has_id"], v["counted"]) for a, v in package["architectures"].items()}, {
            "x86": ("Tarvelix", True, False),
            "amd64": ("Tarvelix.NTamd64", True, True),
            "arm64": ("Tarvelix.NTarm64", True, False)})

    def test_a_time_stamp_is_seen_and_changes_nothing_else(self):
        _, _, stamped = package_of(os.path.join(WORK, "timestamped"))
        _, _, plain = package_of(os.path.join(WORK, "good"))
        self.assertIs(stamped["timestamped"], True)
        self.assertRegex(stamped["timestamped_at"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$")
        self.assertEqual((stamped["signature"], stamped["signed_by"]), ("intact", plain["signed_by"]))
        self.assertEqual(stamped["files"], plain["files"])

    def test_models_follow_the_decorations(self):
        cases = {
            "undecorated-models": {"x86": ("Tarvelix", True), "amd64": (None, False), "arm64": (None, False)},
            "id-missing-arm64": {"x86": ("Tarvelix", True), "amd64": ("Tarvelix.NTamd64", True),
                                 "arm64": ("Tarvelix.NTarm64", False)},
        }
        for name, expected in cases.items():
            with self.subTest(name):
                _, _, package = package_of(os.path.join(WORK, name))
                got = {arch: (v["models"], v["has_id"]) for arch, v in package["architectures"].items()}
                self.assertEqual(got, expected)

    def test_the_decorated_catalog_is_the_one_for_x64(self):
        _, _, package = package_of(os.path.join(WORK, "decorated-catalog"))
        self.assertEqual(package["catalog"], "kestrel64.cat")

    def test_text_and_preflight_lines(self):
        status, out, err = run(os.path.join(WORK, "good"))
        self.assertIn("  package:     warning: third-party signature (Varnoll Test): Windows asks unless Varnoll Test "
                      "is a trusted publisher", out)
        status, out, err = run(os.path.join(WORK, "inf-changed"))
        self.assertIn("  package:     fails: kestrel.inf is not in kestrel.cat: changed after signing?\n", out)
        self.assertEqual(status, 0)  # the plain report's status is the installer's
        # A warning does not fail the pre-flight; ARM64 counted, the third party's signature does.
        status, out, err = run("--preflight", os.path.join(WORK, "good"))
        self.assertEqual((status, err, out.count("\n")), (0, "", 1))
        self.assertEqual(out, "pre-flight: 1 package as Windows would take them; warnings: needs-trusted-publisher; "
                              "machine checks: Windows only\n")
        status, out, err = run("--preflight", "--arch=amd64,arm64", os.path.join(WORK, "good"))
        self.assertEqual((status, out), (1, ""))
        self.assertIn("kestrel.inf: [warning] needs-trusted-publisher: third-party signature (Varnoll Test): Windows "
                      "asks unless Varnoll Test is a trusted publisher", err)
        self.assertIn("kestrel.inf: [fails] needs-microsoft-signature: third-party signature (Varnoll Test): Windows "
                      "on ARM64 installs only driver packages Microsoft signed", err)
        status, out, err = run("--preflight", os.path.join(WORK, "undecorated-models"))
        self.assertEqual((status, out), (1, ""))
        self.assertEqual(err.count("\n"), 3, err)
        # A folder where no INF qualifies is nothing to ship: it fails.
        empty = tempfile.mkdtemp(dir=WORK)
        status, out, err = run("--preflight", empty)
        self.assertEqual((status, out, err), (1, "", "pre-flight: no INF file qualifies, so no package to check\n"))
        status, out, err = run("--preflight", "--json", empty)
        self.assertEqual((status, json.loads(out)["preflight"]), (1, False))

    def test_signatures_of_every_digest_are_intact(self):
        for name in ("good", "sha1-catalog", "sha384-signature", "sha512-signature"):
            with self.subTest(name):
                _, _, package = package_of(os.path.join(WORK, name))
                self.assertEqual(package["signature"], "intact")

    def test_each_chain_is_built_from_the_catalog(self):
        cases = {
            "microsoft-like": ["CN=Varnoll Windows Hardware Compatibility Publisher, O=Varnoll Test",
                               "CN=Varnoll Test Hardware PCA, O=Varnoll Test"],
            "self-signed": ["CN=Varnoll Self Test"],
            "expired-signer": ["CN=Varnoll Expired Publisher, O=Varnoll Expired"],
        }
        for name, chain in cases.items():
            with self.subTest(name):
                _, _, package = package_of(os.path.join(WORK, name))
                self.assertEqual(package["signer_chain"], chain)

    def test_a_time_stamp_that_does_not_verify_holds_nothing(self):
        _, _, package = package_of(os.path.join(WORK, "timestamp-broken"))
        self.assertEqual((package["signature"], package["timestamped"], package["timestamped_at"]),
                         ("intact", True, None))

    def test_an_expired_signer_fails_whatever_the_late_time_stamp(self):
        _, _, package = package_of(os.path.join(WORK, "expired-signer"))
        (finding,) = [f for f in package["findings"] if f["code"] == "signature-expired"]
        self.assertEqual(package["signed_until"], "2021-01-01T00:00:00Z")
        self.assertIs(package["timestamped"], True)
        self.assertIsNone(package["timestamped_at"])
        self.assertIn("expired on 2021-01-01 and the time stamp does not hold", finding["text"])

    def test_preflight_usage_errors(self):
        for args in (["--preflight", "--preflight"], ["--preflight", "--detect"]):
            with self.subTest(args):
                status, out, err = run(*args, os.path.join(WORK, "good"))
                self.assertEqual((status, out), (2, ""))
                self.assertTrue(err)

    def test_bad_input_is_reported_with_flat_memory(self):
        folder = tempfile.mkdtemp(dir=WORK)
        fixtures.base(folder, fixtures.inf_text(files="odd.sys=1\r\nfifo.sys=1\r\n" +
                                                "".join(f"f{i}.dat=1\r\n" for i in range(10000))))
        os.mkfifo(os.path.join(folder, "fifo.sys"))
        catalog = os.path.join(folder, "kestrel.cat")
        open(catalog, "wb").close()
        _, _, small_peak = run_measured("--preflight", "--json", folder)
        with open(catalog, "wb") as f:
            f.truncate(1 << 30)  # 1 GiB, sparse
        status, out, peak = run_measured("--preflight", "--json", folder)
        (entry,) = [f for f in json.loads(out)["files"] if f["qualifies"]]
        package = entry["package"]
        self.assertEqual(status, 1)
        codes = [(f["code"], f["file"]) for f in package["findings"]]
        self.assertIn(("catalog-unreadable", "kestrel.cat"), codes)
        self.assertIn(("file-missing", "fifo.sys"), codes)
        self.assertEqual(sum(1 for c, _ in codes if c == "file-missing"), 10001)
        self.assertEqual(len(package["files"]), 10003)  # the INF, odd.sys, the FIFO, 10,000 more
        # Flat: a 1 GiB catalog costs no more than an empty one.
        self.assertLess(peak - small_peak, 16 * 1024, f"{small_peak} KiB grew to {peak} KiB")


def run_measured(*args):
    """Status, standard output and peak memory (KiB) of one run of the tool."""
    with tempfile.TemporaryFile() as out:
        child = subprocess.Popen([TOOL, *args], stdout=out, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        child.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        return child.returncode, out.read().decode("utf-8"), usage.ru_maxrss


def main():
    global TOOL, WORK
    TOOL = os.path.abspath(sys.argv.pop(1))
    for tool in ("osslsigncode", "openssl"):
        if shutil.which(tool) is None:
            print(f"SKIP: {tool} is not installed")
            return 77
    WORK = tempfile.mkdtemp(prefix="varnoll-package-")
    try:
        fixtures.make_all(WORK)
        result = unittest.main(exit=False).result
        return 0 if result.wasSuccessful() else 1
    finally:
        shutil.rmtree(WORK, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
