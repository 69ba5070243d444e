"""The setup-log case of the Linux check tool's tests (tests/check), for the
Windows check tools, whichever machine they run on:

  log_case.py write CASE_DIR
      writes the case's INF folder to CASE_DIR/folder and its log to
      CASE_DIR/setupapi.dev.log
  log_case.py compare REPORT [LINUX_REPORT]
      checks a Windows tool's --json --log report of that folder, the log
      read from where Windows keeps it: the last runs the Linux tests
      expect, every section header read (and the same as the Linux tool's
      report of the same log, when given)
"""
import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "check"))
from check_tool_test import LOG, LOG_EXPECTED, LOG_FOLDER  # noqa: E402


def write(case_dir):
    os.makedirs(os.path.join(case_dir, "folder"))
    for name, data in LOG_FOLDER.items():
        with open(os.path.join(case_dir, "folder", name), "wb") as f:
            f.write(data)
    with open(os.path.join(case_dir, "setupapi.dev.log"), "wb") as f:
        f.write(LOG)


def runs(report):
    return {f["name"]: (f["last_update"], f["last_staging"]) for f in report["files"]}


def compare(report_path, linux_path=None):
    with open(report_path, "rb") as f:
        report = json.loads(f.read().decode("utf-8"))
    assert report["log"]["file"].lower() == "c:\\windows\\inf\\setupapi.dev.log", report["log"]
    # Every header of the log is a section, whatever it is about.
    assert report["log"]["sections"] == LOG.count(b"\r\n>>>  [") + LOG.startswith(b">>>  ["), report["log"]
    assert runs(report) == LOG_EXPECTED, runs(report)
    if linux_path:
        with open(linux_path, encoding="utf-8") as f:
            linux = json.load(f)
        assert report["log"]["sections"] == linux["log"]["sections"], (report["log"], linux["log"])
        assert runs(report) == runs(linux), (runs(report), runs(linux))
    print("ok: the last runs the Linux tests expect, from all %d sections" % report["log"]["sections"])


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "write":
        write(sys.argv[2])
    elif len(sys.argv) in (3, 4) and sys.argv[1] == "compare":
        compare(*sys.argv[2:])
    else:
        sys.exit(__doc__)
