#!/usr/bin/env bash
# The package check on Windows' side against the Linux tool: on every
# fixture of tests/package/fixtures.py the x64 (and, when built, x86) check
# tool under Wine gives the same files, findings and models section as the
# Linux tool with that architecture counted (--arch), but for what only one
# side judges (the machine's trust and Windows version on Windows, the other
# architectures, names differing only in case and the unaskable
# TrustedPublisher on Linux). Then, when VARNOLL_REAL_PACKAGES names a folder
# of real packages, both tools on each (tests/package/real_packages_test.py).
# Then the package check's INF reader against Wine's own setupapi parser, on
# the test INFs and, when VARNOLL_REAL_INFS names a folder of real INFs, on
# every file of it.
#   preflight.sh SOURCE_DIR DIST_DIR HELPER_DIR HOST_BUILD PREFIX_DIR
set -euo pipefail
source_dir=$1
dist=$2
helpers=$3
host=$4
export WINEPREFIX="$5/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
python=/usr/bin/python3
skip() { echo "SKIP: $*"; exit 77; }
[ -x "$host/varnollcheck" ] || skip "the Linux check tool ($host/varnollcheck) has not been built"
[ -x "$host/tests/inf_dump" ] || skip "$host/tests/inf_dump has not been built"
command -v osslsigncode >/dev/null || skip "osslsigncode is not installed"

work=$(mktemp -d /tmp/varnoll-preflight.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$python" "$source_dir/tests/package/fixtures.py" "$work/fixtures"

tools=("$dist/varnollcheck64.exe")
[ -f "$dist/varnollcheck.exe" ] && tools+=("$dist/varnollcheck.exe")
"$python" - "$source_dir/tests/package" "$host/varnollcheck" "$work/fixtures" "${tools[@]}" <<'PY'
import json, os, subprocess, sys
sys.path.insert(0, sys.argv[1])
import fixtures
import real_packages
linux, folder, windows = sys.argv[2], sys.argv[3], sys.argv[4:]
TRUST = {"not-trusted", "publisher-not-trusted", "os-not-covered"}
# Names that differ only in case cannot both be on NTFS, and TrustedPublisher
# cannot be asked: only Linux says so.
LINUX_ONLY = {"ambiguous-name", "needs-trusted-publisher"}
X86_SAMPLE = {"good", "inf-changed", "pe-changed", "file-missing", "undecorated-models", "dotdot", "x86-amd64",
              "per-arch-catalogs", "x64-only-catalog"}

def package(command):
    _, out = real_packages.run_tool(command)
    report = json.loads(out.decode("utf-8"))
    (entry,) = [f for f in report["files"] if f["qualifies"]]
    return entry["package"]

def findings(p, keep):
    return sorted((f["code"], f["file"], f["severity"]) for f in p["findings"] if keep(f))

failures = 0
names = sorted(n for n in os.listdir(folder) if n != "pki")
for name in names:
    path = os.path.join(folder, name)
    for tool in windows:
        # 32-bit Wine starts slowly: the x86 tool checks a sample of the fixtures.
        if tool.endswith("varnollcheck.exe") and name not in X86_SAMPLE:
            continue
        theirs = package(["wine", tool, "--preflight", "--json", "Z:" + path.replace("/", "\\")])
        (arch,) = theirs["architectures"]
        if name in fixtures.MACHINE_ASKED:
            # Wine answers as Windows 10 (build 19043 by default), below the
            # one models section's build 22000: the machine gets no driver.
            if ("models-need-newer-windows", None, "fails") not in findings(theirs, lambda f: True):
                failures += 1
                print(f"FAIL [{name}, {os.path.basename(tool)}] no models-need-newer-windows: {theirs['findings']}")
            continue
        # The Linux tool with the Windows tool's architecture counted.
        ours = package([linux, "--preflight", "--json", "--arch=" + arch, path])
        mine = lambda f: f["code"] not in LINUX_ONLY and (not f["arches"] or arch in f["arches"])
        by_path = {f["path"]: f for f in ours["files"]}
        checks = {
            "files": ([by_path.get(f["path"]) for f in theirs["files"]], theirs["files"]),
            "findings": (findings(ours, mine), findings(theirs, lambda f: f["code"] not in TRUST)),
            "architectures": (ours["architectures"][arch], theirs["architectures"][arch]),
            "catalog": tuple(tuple(p[k] for k in ("catalog", "signature", "signed_by", "signed_until",
                                                   "timestamped", "os_attr", "signer_kind", "signer_chain",
                                                   "timestamped_at", "windows_says")) for p in (ours, theirs)),
        }
        for what, (a, b) in checks.items():
            if a != b:
                failures += 1
                print(f"FAIL [{name}, {os.path.basename(tool)}] {what}:\n  Linux:   {a}\n  Windows: {b}")
# --arch widens what a Windows tool judges: its own architecture, and ARM64,
# for which this package has no models section.
for tool in windows:
    target = "Z:" + os.path.join(folder, "x86-amd64").replace("/", "\\")
    # The machine's own architecture: GetNativeSystemInfo's, for the x86 build on x64 Wine too.
    (own,) = package(["wine", tool, "--preflight", "--json", target])["architectures"]
    widened = package(["wine", tool, "--preflight", "--json", "--arch=arm64", target])
    if widened["judged_for"] != [own, "arm64"] or \
            ("no-models-for-arch", None, "fails") not in findings(widened, lambda f: f["arches"] == ["arm64"]):
        failures += 1
        print(f"FAIL [x86-amd64 --arch=arm64, {os.path.basename(tool)}]: {widened['judged_for']} {widened['findings']}")
print(f"{len(names)} fixtures, {len(windows)} Windows tools: {failures} differences")
sys.exit(1 if failures else 0)
PY

# VARNOLL_REAL_PACKAGES: real, published driver packages, judged by both tools.
if [ -n "${VARNOLL_REAL_PACKAGES:-}" ] && [ -d "$VARNOLL_REAL_PACKAGES" ]; then
  (cd "$work" && "$python" "$source_dir/tests/package/real_packages_test.py" "$host/varnollcheck" \
    "$dist/varnollcheck64.exe")
else
  echo "No real packages are judged (VARNOLL_REAL_PACKAGES names no folder of real packages)."
fi

infs=("$source_dir"/samples/drivers/*.inf "$work"/fixtures/good/kestrel.inf)
# VARNOLL_REAL_INFS: a folder of real third-party INF files to compare too.
corpus=${VARNOLL_REAL_INFS:-}
if [ -n "$corpus" ] && [ -d "$corpus" ]; then
  infs+=("$corpus"/*)
else
  echo "Only the project's own INFs are compared (VARNOLL_REAL_INFS names no folder of real INFs)."
fi
"$python" "$source_dir/tests/package/compare_inf_readers.py" "$host/tests/inf_dump" "$helpers/inf_dump_setupapi.exe" \
  "${infs[@]}"
