#!/usr/bin/env python3
"""Compares what the check tool said of a folder with what the installer
did there: the check's per-file actions against the stand-ins' call log.

    compare_check.py CHECK_JSON CALL_LOG FOLDER [--no-reenumerate]

For every file in the check's order: a skipped file got no update call; any
other got exactly one, with the check's hardware ID, in the same order; an
"install" is an update that found its device (result 0x1), a "preinstall"
one that did not. Unless told not to (where the scenario makes a later call
fail in ways no check can foresee), "reenumerate" is whether the installer
asked for the re-enumeration.
"""
import json
import re
import sys

UPDATE = re.compile(r'^newdev(?:-x86)? UpdateDriverForPlugAndPlayDevicesA\(null, "(.*)", "(.*)", 0x1, non-null\) '
                    r'= (0x[0-9a-f]+) ')


def main(check_json, call_log, folder, *options):
    with open(check_json, "rb") as f:
        report = json.loads(f.read().decode("utf-8"))
    with open(call_log, "rb") as f:
        lines = f.read().decode("cp1252").splitlines()
    updates = [m.groups() for m in map(UPDATE.match, lines) if m]
    problems = []
    expected = [f for f in report["files"] if f["action"] != "skip"]
    if [(f["hardware_id"], folder + f["name"]) for f in expected] != [(i, p) for i, p, _ in updates]:
        problems.append("the check would update %s, the installer updated %s"
                        % ([(f["hardware_id"], f["name"]) for f in expected], [(i, p) for i, p, _ in updates]))
    else:
        for entry, (_, _, result) in zip(expected, updates):
            found = result == "0x1"
            if entry["action"] not in ("install", "preinstall") or (entry["action"] == "install") != found:
                problems.append("%s: the check says %s, the update %s a device"
                                % (entry["name"], entry["action"], "found" if found else "did not find"))
    if "--no-reenumerate" not in options:
        asked = any(" CM_Locate_DevNodeA(" in line for line in lines)
        if report["reenumerate"] is not asked:
            problems.append("the check says reenumerate %s, the installer %s"
                            % (report["reenumerate"], "asked" if asked else "did not ask"))
    for problem in problems:
        print("check and installer disagree: " + problem, file=sys.stderr)
    return not problems


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    sys.exit(0 if main(*sys.argv[1:]) else 1)
