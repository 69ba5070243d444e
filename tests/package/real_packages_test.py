#!/usr/bin/python3
"""The Linux check tool on the real packages of VARNOLL_REAL_PACKAGES (see
real_packages.py); skipped when it names no folder.

    real_packages_test.py VARNOLLCHECK
"""
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import real_packages  # noqa: E402

TOOL = None
WORK = None


class RealPackages(unittest.TestCase):
    def verdicts(self):
        folder = real_packages.root()
        for package, inf, catalog, kind in real_packages.packages(folder):
            path = real_packages.stage(folder, package, inf, catalog, WORK)
            yield package, inf, kind, real_packages.judge([TOOL], path)

    def test_every_published_signature_is_intact(self):
        for package, inf, _, (_, verdict, _) in self.verdicts():
            with self.subTest(package=package, inf=inf):
                self.assertEqual(verdict["signature"], "intact")
                self.assertNotIn("signature-broken", {f["code"] for f in verdict["findings"]})


def main():
    global TOOL, WORK
    TOOL = os.path.abspath(sys.argv.pop(1))
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
