#!/usr/bin/python3
"""Real, published driver packages judged by a check tool.

The folder named by VARNOLL_REAL_PACKAGES holds one package per subfolder
(INF and catalog, the PE files left out) and says in its name who signed
it: "ms-" Microsoft, "tp-" a third party, "selfsigned-" its own signer. None
of these INFs qualifies (USB devices, no marked models section), so each
catalog is judged through a qualifying INF of our own, written beside a
copy of the package: it names the real catalog and lists the real INF as
one of its files. Its own "not-in-catalog" is expected; everything else
is the real package's.

    real_packages.py VARNOLLCHECK [WINDOWS_CHECK.exe...]   # prints each verdict

Imported by the tests, which assert on `judge`'s answers.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

JUDGE_INF = "varnoll-judge.inf"
JUDGE_ID = "PCI\\VEN_1F2E&DEV_0A01"
KINDS = (("ms-", "microsoft"), ("tp-", "third-party"), ("selfsigned-", "self-signed"))


def root():
    """The folder of real packages, or None when VARNOLL_REAL_PACKAGES names none."""
    folder = os.environ.get("VARNOLL_REAL_PACKAGES", "")
    return folder if folder and os.path.isdir(folder) else None


def packages(folder):
    """(package folder name, INF name, catalog name, expected signer kind) for
    every INF whose catalog has the same stem, ignoring case."""
    found = []
    for name in sorted(os.listdir(folder)):
        kind = next((k for prefix, k in KINDS if name.startswith(prefix)), None)
        path = os.path.join(folder, name)
        if kind is None or not os.path.isdir(path):
            continue
        files = os.listdir(path)
        for inf in sorted(f for f in files if f.lower().endswith(".inf")):
            stem = inf[:-4].lower()
            cats = [f for f in files if f.lower() == stem + ".cat"]
            if cats:
                found.append((name, inf, cats[0], kind))
    return found


def judge_inf(catalog, listed, extra=""):
    """A qualifying INF naming `catalog` and listing `listed`, CRLF as Windows writes it."""
    lines = ["[Version]", 'Signature="$Windows NT$"', "Class=Ports",
             "ClassGuid={4D36E978-E325-11CE-BFC1-08002BE10318}", "Provider=%Mfg%",
             "CatalogFile=" + catalog, "DriverVer=01/01/2020,1.0.0.0", "",
             "[SourceDisksNames]", "1=%Disk%,,,", "", "[SourceDisksFiles]", listed + "=1", "",
             "[Manufacturer]", "%Mfg%=Tarvelix,NTx86,NTamd64,NTarm64", "",
             "[Tarvelix]", "%M%=Inst, " + JUDGE_ID, "[Tarvelix.NTx86]", "%M%=Inst, " + JUDGE_ID,
             "[Tarvelix.NTamd64]", "%M%=Inst, " + JUDGE_ID, "[Tarvelix.NTarm64]", "%M%=Inst, " + JUDGE_ID, "",
             extra,
             "[Strings]", 'Mfg="Tarvelix"', 'Disk="Judge disk"', 'M="Judge modem"', ""]
    return "\r\n".join(lines).encode("ascii")


def inf_text(path):
    """An INF file's text: UTF-16 with its byte-order mark, else bytes as Windows-1252."""
    with open(path, "rb") as f:
        data = f.read()
    return data[2:].decode("utf-16-le") if data[:2] == b"\xff\xfe" else data.decode("cp1252")


def section(text, name):
    """The lines of [name] (first of that name), comments and blank lines left out."""
    lines, inside = [], False
    for raw in text.splitlines():
        line = raw.split(";", 1)[0].strip()
        if line.startswith("["):
            inside = line[1:line.find("]")].strip().lower() == name.lower()
        elif inside and line:
            lines.append(line)
    return lines


def real_models(path):
    """The decorations of the real INF's first [Manufacturer] line, and whether
    its undecorated models section exists."""
    text = inf_text(path)
    fields = [f.strip() for f in section(text, "Manufacturer")[0].split("=", 1)[-1].split(",")]
    return fields[1:], bool(section(text, fields[0]))


def models_inf(catalog, listed, decorations, undecorated):
    """The judging INF with the real package's models decorations: [Manufacturer]
    leads to [Real.<decoration>] sections holding the judging ID; [Tarvelix],
    which no [Manufacturer] line names, is only the installer's marker."""
    sections = ([""] if undecorated else []) + ["." + d for d in decorations]
    real = "".join(f"[Real{d}]\r\n%M%=Inst, {JUDGE_ID}\r\n" for d in sections)
    inf = judge_inf(catalog, listed, real).decode("ascii")
    return inf.replace("%Mfg%=Tarvelix,NTx86,NTamd64,NTarm64", "%Mfg%=Real," + ",".join(decorations)).encode("ascii")


def stage(folder, package, inf, catalog, work):
    """A copy of `package` with the judging INF beside it; returns its path."""
    target = os.path.join(work, package + "-" + inf[:-4].lower())
    shutil.rmtree(target, ignore_errors=True)
    shutil.copytree(os.path.join(folder, package), target)
    with open(os.path.join(target, JUDGE_INF), "wb") as f:
        f.write(judge_inf(catalog, inf))
    return target


def run_tool(command):
    """(exit status, standard output) of `command`. Its output goes through a
    file, not a pipe: under Wine a service the program starts inherits the
    pipe and holds it open for seconds after the program has ended."""
    with tempfile.TemporaryFile() as out:
        status = subprocess.run(command, stdout=out, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL).returncode
        out.seek(0)
        return status, out.read()


def judge(command, path, *options):
    """Runs `command` --preflight --json on `path`: (exit status, the judging
    INF's package report, the whole report)."""
    if command[0] == "wine":
        path = "Z:" + path.replace("/", "\\")
    status, out = run_tool([*command, "--preflight", "--json", *options, path])
    report = json.loads(out.decode("utf-8"))
    (entry,) = [f for f in report["files"] if f["name"].lower() == JUDGE_INF]
    return status, entry["package"], report


def main():
    folder = root()
    if folder is None:
        print("VARNOLL_REAL_PACKAGES names no folder of real packages")
        return 77
    commands = [[os.path.abspath(sys.argv[1])]] + [["wine", tool] for tool in sys.argv[2:]]
    work = os.path.abspath("real-packages-work")
    os.makedirs(work, exist_ok=True)
    try:
        for package, inf, catalog, kind in packages(folder):
            path = stage(folder, package, inf, catalog, work)
            for command in commands:
                status, verdict, _ = judge(command, path)
                findings = sorted({f["code"] for f in verdict["findings"]})
                print(f"{os.path.basename(command[-1])} {package}/{inf} (expect {kind}): exit {status}, "
                      f"signature {verdict['signature']}, signer_kind {verdict.get('signer_kind')}, {findings}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
