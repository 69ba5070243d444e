#!/usr/bin/env python3
"""Reads a built installer's PE image and checks what Windows will make of it.

    pe_check.py image EXE EXPECTED_VERSION
        the machine the file name stands for, the GUI subsystem, the security
        flags, the load configuration's DependentLoadFlags, no writable and
        executable section, the manifest and the version resource
    pe_check.py imports EXE
        the device-installation calls bound at load time, each from the DLL it
        belongs to, nothing delay-loaded, and no DLL but Windows' own
    pe_check.py check-imports EXE
        the check tool (and the fleet reader): no DLL but Windows' own,
        nothing delay-loaded, and no function that installs, changes the
        device tree or the driver store, writes the registry, or starts or
        changes anything else
    pe_check.py remove-imports EXE
        the removal program: no DLL but Windows' own, nothing delay-loaded,
        SetupUninstallOEMInfA bound at load time from setupapi.dll,
        DiUninstallDriver not imported (it is looked up at run time), and no
        function that installs, stages or re-enumerates
"""
import re
import sys

import pefile

IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT = 0x20, 0x40, 0x100
MEM_EXECUTE, MEM_WRITE = 0x20000000, 0x80000000
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
RT_VERSION, RT_MANIFEST = 16, 24
MACHINES = {"varnoll.exe": 0x14C, "varnoll64.exe": 0x8664, "varnollarm64.exe": 0xAA64,
            "varnollcheck.exe": 0x14C, "varnollcheck64.exe": 0x8664, "varnollcheckarm64.exe": 0xAA64,
            "varnollremove.exe": 0x14C, "varnollremove64.exe": 0x8664, "varnollremovearm64.exe": 0xAA64,
            "varnollfleet64.exe": 0x8664}
IMAGE_SUBSYSTEM_WINDOWS_CUI = 3
# What each program is: subsystem, execution level, description.
INSTALLER = (IMAGE_SUBSYSTEM_WINDOWS_GUI, "requireAdministrator", "Varnoll unattended modem driver installer")
CHECK_TOOL = (IMAGE_SUBSYSTEM_WINDOWS_CUI, "asInvoker", "Varnoll check tool: what the installer would do")
REMOVER = (IMAGE_SUBSYSTEM_WINDOWS_CUI, "requireAdministrator",
           "Varnoll removal: takes the package's drivers out of the driver store")
FLEET = (IMAGE_SUBSYSTEM_WINDOWS_CUI, "asInvoker", "Varnoll fleet reader: the check tool's answers from many machines")
# Functions the removal program must never import: it installs nothing.
INSTALLING = re.compile(r"^(UpdateDriverForPlugAndPlayDevices|DiInstall|DiRollback|SetupCopyOEMInf|SetupInstall|"
                        r"SetupDiCallClassInstaller|SetupDiInstall|SetupDiRegister|SetupDiCreateDevice|"
                        r"CM_Reenumerate|CM_Locate_DevNode|CM_Setup|CM_Create|CM_Enable|DiUninstallDriver)")
# Functions the check tool must never import: they install, change devices,
# the driver store or the registry, or start or change anything else.
CHANGING = re.compile(r"^(UpdateDriverForPlugAndPlayDevices|DiInstall|DiUninstall|DiRollback|SetupCopyOEMInf|"
                      r"SetupUninstallOEMInf|SetupInstall|SetupDiCallClassInstaller|SetupDiInstall|"
                      r"SetupDiRegister|SetupDiCreateDevice|SetupDiSetDevice|SetupDiSetClass|SetupDiRemove|"
                      r"SetupDiCreateDevRegKey|SetupDiDeleteDevRegKey|SetupDiChangeState|SetupDiRestartDevices|"
                      r"CM_Reenumerate|CM_Setup|CM_Set_|CM_Create|CM_Delete|CM_Remove|CM_Enable|CM_Disable|"
                      r"CM_Uninstall|Reg(Set|Create|Delete|Save|Restore|Replace|Load|Unload|Copy|Rename)|"
                      r"SHSet|SHDelete|CreateProcess|ShellExecute|WinExec|DeleteFile|MoveFile|CopyFile|ReplaceFile|"
                      r"CreateDirectory|RemoveDirectory|SetFileAttributes|SetFileTime|CreateHardLink|"
                      r"CreateSymbolicLink|WritePrivateProfile|InitiateSystemShutdown|ExitWindows)")
# Windows' own DLLs. ARM64 Windows has the Universal CRT in the box (Windows
# 7 and 8.1 do not, so the x86 and x64 builds use msvcrt.dll).
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll", "newdev.dll", "setupapi.dll",
               "cfgmgr32.dll", "bcrypt.dll", "crypt32.dll", "wintrust.dll"}
UCRT_DLLS = re.compile(r"^(ucrtbase\.dll|api-ms-win-crt-[a-z0-9-]+\.dll)$")
DEVICE_CALLS = {"UpdateDriverForPlugAndPlayDevicesA": "newdev.dll", "SetupCopyOEMInfA": "setupapi.dll",
                "CM_Locate_DevNodeA": "cfgmgr32.dll", "CM_Reenumerate_DevNode": "cfgmgr32.dll"}
SUPPORTED_OS = {
    "Windows 7": "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
    "Windows 8": "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
    "Windows 8.1": "1f676c76-80e1-4239-95bb-83d0f6d0da78",
    "Windows 10 and 11": "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",
}


def load(path):
    """The image, its directories parsed, and the file's own name."""
    return pefile.PE(path), path.replace("\\", "/").rsplit("/", 1)[-1]


def imports(image, delayed=False):
    """(dll, function) for every name imported, DLL names lower-cased; a
    function imported by ordinal is '#N'."""
    entries = getattr(image, "DIRECTORY_ENTRY_DELAY_IMPORT" if delayed else "DIRECTORY_ENTRY_IMPORT", [])
    return [(entry.dll.decode("ascii").lower(),
             item.name.decode("ascii") if item.name else "#%d" % item.ordinal)
            for entry in entries for item in entry.imports]


def resources(image, type_id):
    """The data of every resource of a numeric type, in directory order."""
    found = []

    def walk(entry):
        if hasattr(entry, "directory"):
            for child in entry.directory.entries:
                walk(child)
        else:
            found.append(image.get_data(entry.data.struct.OffsetToData, entry.data.struct.Size))

    for entry in getattr(image, "DIRECTORY_ENTRY_RESOURCE", None) and image.DIRECTORY_ENTRY_RESOURCE.entries or []:
        if entry.id == type_id:
            walk(entry)
    return found


def version_strings(image):
    """The StringFileInfo key/value pairs of the version resource."""
    strings = {}
    for info in getattr(image, "FileInfo", []):
        for block in info:
            for table in getattr(block, "StringTable", []):
                strings.update({k.decode("utf-8"): v.decode("utf-8") for k, v in table.entries.items()})
    return strings


def verdict(name, problems, ok_line):
    """Prints each problem, or the one ok line; True when there is none."""
    for problem in problems:
        print("FAIL %s: %s" % (name, problem), file=sys.stderr)
    if not problems:
        print(ok_line())
    return not problems


def foreign_dlls(image, found):
    """The imported DLLs that are not Windows' own."""
    arm64 = image.FILE_HEADER.Machine == 0xAA64
    return [dll for dll in sorted({d for d, _ in found})
            if dll not in SYSTEM_DLLS and not (arm64 and UCRT_DLLS.match(dll))]


def check_imports(path):
    image, name = load(path)
    found = imports(image)
    problems = []
    for function, dll in DEVICE_CALLS.items():
        sources = sorted({d for d, f in found if f == function})
        if sources != [dll]:
            problems.append("%s is imported from %s, expected %s" % (function, sources or "nowhere", dll))
    # setupapi.dll exports the CM_* names too; they must come from cfgmgr32.dll.
    from_setupapi = sorted({f for d, f in found if d == "setupapi.dll"})
    if from_setupapi != ["SetupCopyOEMInfA"]:
        problems.append("setupapi.dll provides %s" % from_setupapi)
    for dll in foreign_dlls(image, found):
        problems.append("imports %s, which is not a Windows system DLL" % dll)
    delayed = imports(image, delayed=True)
    if delayed:
        problems.append("delay-loads %s: the device calls must be bound at load time"
                        % sorted({d for d, _ in delayed}))
    return verdict(name, problems, lambda: "ok %s: device calls bound at load time from newdev, setupapi, "
                   "cfgmgr32; %d system DLLs" % (name, len({d for d, _ in found})))


def check_tool_imports(path):
    image, name = load(path)
    found = imports(image)
    problems = []
    for dll in foreign_dlls(image, found):
        problems.append("imports %s, which is not a Windows system DLL" % dll)
    if any(d == "newdev.dll" for d, _ in found):
        problems.append("imports newdev.dll")
    for dll, function in found:
        if CHANGING.match(function):
            problems.append("imports %s from %s, which changes the system" % (function, dll))
    if imports(image, delayed=True):
        problems.append("delay-loads DLLs")
    return verdict(name, problems, lambda: "ok %s: %d imports from %d system DLLs, none that changes the system"
                   % (name, len(found), len({d for d, _ in found})))


def remove_imports(path):
    image, name = load(path)
    found = imports(image)
    problems = ["imports %s, which is not a Windows system DLL" % dll for dll in foreign_dlls(image, found)]
    sources = sorted({d for d, f in found if f == "SetupUninstallOEMInfA"})
    if sources != ["setupapi.dll"]:
        problems.append("SetupUninstallOEMInfA is imported from %s, expected setupapi.dll" % (sources or "nowhere"))
    for dll, function in found:
        if INSTALLING.match(function):
            problems.append("imports %s from %s: the removal program installs nothing, and looks "
                            "DiUninstallDriver up at run time" % (function, dll))
    if imports(image, delayed=True):
        problems.append("delay-loads DLLs")
    return verdict(name, problems, lambda: "ok %s: %d imports from %d system DLLs, SetupUninstallOEMInfA from "
                   "setupapi.dll, nothing that installs" % (name, len(found), len({d for d, _ in found})))


def check(path, version):
    image, name = load(path)
    header, optional = image.FILE_HEADER, image.OPTIONAL_HEADER
    is64 = optional.Magic == pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS
    size = len(image.__data__)
    problems = []
    subsystem, level, description = (CHECK_TOOL if name.startswith("varnollcheck") else
                                     REMOVER if name.startswith("varnollremove") else
                                     FLEET if name.startswith("varnollfleet") else INSTALLER)

    if optional.CheckSum != image.generate_checksum():
        problems.append("image checksum 0x%x, expected 0x%x" % (optional.CheckSum, image.generate_checksum()))
    # Every installer has a size budget of 200 KB.
    if (subsystem, level, description) == INSTALLER and size > 200 * 1024:
        problems.append("%d bytes, over the 200 KB budget" % size)
    if name in MACHINES and header.Machine != MACHINES[name]:
        problems.append("machine 0x%x, expected 0x%x" % (header.Machine, MACHINES[name]))
    if optional.Subsystem != subsystem:
        problems.append("subsystem %d, expected %d" % (optional.Subsystem, subsystem))
    wanted = DYNAMIC_BASE | NX_COMPAT | (HIGH_ENTROPY_VA if is64 else 0)
    if optional.DllCharacteristics & wanted != wanted:
        problems.append("DllCharacteristics 0x%x lacks 0x%x" % (optional.DllCharacteristics, wanted))
    if optional.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]].Size == 0:
        problems.append("no base relocations: ASLR cannot move the image")
    for section in image.sections:
        if section.Characteristics & MEM_WRITE and section.Characteristics & MEM_EXECUTE:
            problems.append("section %s is writable and executable" % section.Name.rstrip(b"\0").decode())

    config = getattr(image, "DIRECTORY_ENTRY_LOAD_CONFIG", None)
    if config is None:
        problems.append("no load configuration")
    else:
        # DependentLoadFlags: the 16-bit field after CSDVersion, which this
        # pefile still calls Reserved1.
        field_end = (0x4E if is64 else 0x36) + 2
        if config.struct.Size < field_end:
            problems.append("load configuration too small (%d bytes) for DependentLoadFlags" % config.struct.Size)
        elif config.struct.Reserved1 != LOAD_LIBRARY_SEARCH_SYSTEM32:
            problems.append("DependentLoadFlags is 0x%x, expected 0x800" % config.struct.Reserved1)

    manifests = resources(image, RT_MANIFEST)
    if len(manifests) != 1:
        problems.append("%d manifests, expected 1" % len(manifests))
    else:
        manifest = manifests[0].decode("utf-8")
        if not re.search(r'requestedExecutionLevel\s+level="%s"\s+uiAccess="false"' % level, manifest):
            problems.append("the manifest does not ask for level %s" % level)
        for system, guid in SUPPORTED_OS.items():
            if guid not in manifest.lower():
                problems.append("the manifest does not declare %s" % system)
        for ui in ("dpiAware", "Common-Controls", "longPathAware"):
            if ui in manifest:
                problems.append("the manifest has %s" % ui)

    versions = resources(image, RT_VERSION)
    if len(versions) != 1:
        problems.append("%d version resources, expected 1" % len(versions))
    else:
        strings = version_strings(image)
        expected = {"FileVersion": version, "ProductVersion": version, "OriginalFilename": name,
                    "ProductName": "Varnoll", "CompanyName": "Varnoll",
                    "FileDescription": description}
        for key, value in expected.items():
            if strings.get(key) != value:
                problems.append("version resource %s is %r, expected %r" % (key, strings.get(key), value))

    return verdict(name, problems, lambda: "ok %s: machine 0x%x, subsystem %d, ASLR/NX%s, DependentLoadFlags 0x800, "
                   "no W+X section, manifest, version %s"
                   % (name, header.Machine, optional.Subsystem, "/high-entropy" if is64 else "", version))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "image":
        sys.exit(0 if check(sys.argv[2], sys.argv[3]) else 1)
    if len(sys.argv) == 3 and sys.argv[1] == "imports":
        sys.exit(0 if check_imports(sys.argv[2]) else 1)
    if len(sys.argv) == 3 and sys.argv[1] == "check-imports":
        sys.exit(0 if check_tool_imports(sys.argv[2]) else 1)
    if len(sys.argv) == 3 and sys.argv[1] == "remove-imports":
        sys.exit(0 if remove_imports(sys.argv[2]) else 1)
    sys.exit(__doc__)
