#!/usr/bin/python3
"""The package check's INF reader against Wine's own setupapi parser, on
every INF given: each section's lines and fields must be the same. Numbered
directory tokens (%11%, %12%, ...) are machine paths that setupapi expands
and our reader leaves as written: a line differing only there matches. INFs
Wine will not open (no valid [Version] signature) are counted, not compared.

    compare_inf_readers.py INF_DUMP INF_DUMP_SETUPAPI_EXE INF...   (WINEPREFIX set)
"""
import os
import re
import subprocess
import sys
import tempfile


def windows_path(path):
    return "Z:" + os.path.realpath(path).replace("/", "\\")


def same_line(ours, wine):
    if ours == wine:
        return True
    pattern = "".join(".*" if re.fullmatch(r"%\d+%", part) else re.escape(part)
                      for part in re.split(r"(%\d+%)", ours))
    return re.fullmatch(pattern, wine) is not None


def decode(data):
    """Our dump prints an ANSI INF's bytes as they are: Windows-1252 where not UTF-8."""
    lines = []
    for line in data.splitlines():
        try:
            lines.append(line.decode("utf-8"))
        except UnicodeDecodeError:
            lines.append(line.decode("cp1252", "replace"))
    return lines


def main():
    dump, setupapi, infs = sys.argv[1], sys.argv[2], sys.argv[3:]
    ours = {}
    blocks = []
    for inf in infs:
        names = decode(subprocess.run([dump, "--sections", inf], capture_output=True, check=True).stdout)
        ours[windows_path(inf)] = decode(subprocess.run([dump, inf], capture_output=True, check=True).stdout)
        blocks.append("\n".join([windows_path(inf)] + names))
    with tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=".txt", delete=False) as f:
        f.write("\n\n".join(blocks) + "\n")
    try:
        out = subprocess.run(["wine", setupapi, windows_path(f.name)], capture_output=True,
                             stdin=subprocess.DEVNULL).stdout.decode("utf-8", "replace").replace("\r", "")
    finally:
        os.remove(f.name)
    wine = {}
    for block in out.split("### ")[1:]:
        path, _, body = block.partition("\n")
        wine[path] = body.splitlines()
    compared = unopened = 0
    failures = []
    for path, ours_lines in ours.items():
        wine_lines = wine.get(path)
        if wine_lines is None:
            failures.append(f"{path}: Wine's reader said nothing")
            continue
        if wine_lines[:1] == ["(unopened)"]:
            unopened += 1
            continue
        compared += 1
        if len(ours_lines) != len(wine_lines):
            failures.append(f"{path}: {len(ours_lines)} lines against Wine's {len(wine_lines)}")
            continue
        for a, b in zip(ours_lines, wine_lines):
            if not same_line(a, b):
                failures.append(f"{path}:\n  ours: {a}\n  wine: {b}")
                break
    print(f"{compared} INF files read alike by both readers, {unopened} not opened by Wine, "
          f"{len(failures)} different")
    for failure in failures:
        print("DIFFERENT:", failure)
    return 1 if failures or compared == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
