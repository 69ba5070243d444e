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
        the check tool: no DLL but Windows' own, nothing delay-loaded, and no
        function that installs, changes the device tree or the driver store,
        writes the registry, or starts or changes anything else
"""
import os
import re
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake"))
from pe_checksum import checksum  # noqa: E402

IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT = 0x20, 0x40, 0x100
MEM_EXECUTE, MEM_WRITE = 0x20000000, 0x80000000
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
RT_VERSION, RT_MANIFEST = 16, 24
MACHINES = {"varnoll.exe": 0x14C, "varnoll64.exe": 0x8664, "varnollarm64.exe": 0xAA64,
            "varnollcheck.exe": 0x14C, "varnollcheck64.exe": 0x8664, "varnollcheckarm64.exe": 0xAA64}
IMAGE_SUBSYSTEM_WINDOWS_CUI = 3
# What each program is: subsystem, execution level, description.
INSTALLER = (IMAGE_SUBSYSTEM_WINDOWS_GUI, "requireAdministrator", "Varnoll unattended modem driver installer")
CHECK_TOOL = (IMAGE_SUBSYSTEM_WINDOWS_CUI, "asInvoker", "Varnoll check tool: what the installer would do")
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
               "cfgmgr32.dll"}
UCRT_DLLS = re.compile(r"^(ucrtbase\.dll|api-ms-win-crt-[a-z0-9-]+\.dll)$")
DEVICE_CALLS = {"UpdateDriverForPlugAndPlayDevicesA": "newdev.dll", "SetupCopyOEMInfA": "setupapi.dll",
                "CM_Locate_DevNodeA": "cfgmgr32.dll", "CM_Reenumerate_DevNode": "cfgmgr32.dll"}
SUPPORTED_OS = {
    "Windows 7": "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
    "Windows 8": "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
    "Windows 8.1": "1f676c76-80e1-4239-95bb-83d0f6d0da78",
    "Windows 10 and 11": "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",
}


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        self.optional = pe + 24
        magic = struct.unpack_from("<H", data, self.optional)[0]
        self.is64 = magic == 0x20B
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, self.optional + 68)
        directories = self.optional + (112 if self.is64 else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        table = self.optional + optional_size
        self.sections = []
        for i in range(sections):
            name, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            flags = struct.unpack_from("<I", data, table + 40 * i + 36)[0]
            self.sections.append((name.rstrip(b"\0").decode(), vaddr, max(vsize, rsize), raw, flags))

    def offset(self, rva):
        for _, vaddr, size, raw, _ in self.sections:
            if vaddr <= rva < vaddr + size:
                return raw + rva - vaddr
        raise ValueError("RVA 0x%x is in no section" % rva)

    def string_at(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imports(self, directory=1):
        """(dll, function) for every name imported, DLL names lower-cased; a
        function imported by ordinal is '#N'."""
        rva, size = self.directories[directory]
        found = []
        if not size:
            return found
        at = self.offset(rva)
        # Delay-load descriptors are 32 bytes, with the name and the name
        # table at other places; ordinary ones are 20.
        delayed = directory == 13
        width, ordinal_flag = (8, 1 << 63) if self.is64 else (4, 1 << 31)
        while True:
            if delayed:
                fields = struct.unpack_from("<8I", self.data, at)
                name_rva, names_rva = fields[1], fields[4]
                at += 32
            else:
                names_rva, _, _, name_rva, first_thunk = struct.unpack_from("<5I", self.data, at)
                names_rva = names_rva or first_thunk
                at += 20
            if not name_rva:
                return found
            dll = self.string_at(name_rva).lower()
            thunk = self.offset(names_rva)
            while True:
                entry = struct.unpack_from("<Q" if self.is64 else "<I", self.data, thunk)[0]
                if not entry:
                    break
                found.append((dll, "#%d" % (entry & 0xFFFF) if entry & ordinal_flag
                              else self.string_at((entry & 0x7FFFFFFF) + 2)))
                thunk += width

    def resources(self, type_id):
        """The data of every resource of a numeric type, in directory order."""
        rva, size = self.directories[2]
        if not size:
            return []
        base = self.offset(rva)

        def entries(directory):
            named, ids = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + ids):
                yield struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)

        found = []

        def walk(value):
            if value & 0x80000000:
                for _, child in entries(value & 0x7FFFFFFF):
                    walk(child)
            else:
                data_rva, data_size = struct.unpack_from("<II", self.data, base + value)
                start = self.offset(data_rva)
                found.append(self.data[start:start + data_size])

        for ident, value in entries(0):
            if ident == type_id:
                walk(value)
        return found


def version_strings(blob):
    """The StringFileInfo key/value pairs of a VS_VERSIONINFO resource."""
    strings = {}

    def walk(at, end):
        while at + 6 <= end:
            length, value_length, kind = struct.unpack_from("<HHH", blob, at)
            if length == 0:
                break
            key_end = at + 6
            while blob[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = blob[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            if kind == 1 and value_length and key not in ("StringFileInfo", "VarFileInfo"):
                text = blob[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
                strings[key] = text
                children_at = value_at + 2 * value_length
            else:
                children_at = value_at + (value_length if kind == 0 else 2 * value_length)
            walk((children_at + 3) & ~3, at + length)
            at = (at + length + 3) & ~3

    walk(0, len(blob))
    return strings


def check_imports(path):
    image = Image(open(path, "rb").read())
    name = path.replace("\\", "/").rsplit("/", 1)[-1]
    imports = image.imports()
    problems = []
    for function, dll in DEVICE_CALLS.items():
        sources = sorted({d for d, f in imports if f == function})
        if sources != [dll]:
            problems.append("%s is imported from %s, expected %s" % (function, sources or "nowhere", dll))
    # setupapi.dll exports the CM_* names too; they must come from cfgmgr32.dll.
    from_setupapi = sorted({f for d, f in imports if d == "setupapi.dll"})
    if from_setupapi != ["SetupCopyOEMInfA"]:
        problems.append("setupapi.dll provides %s" % from_setupapi)
    for dll in sorted({d for d, _ in imports}):
        ucrt = image.machine == 0xAA64 and UCRT_DLLS.match(dll)
        if dll not in SYSTEM_DLLS and not ucrt:
            problems.append("imports %s, which is not a Windows system DLL" % dll)
    delayed = image.imports(13)
    if delayed:
        problems.append("delay-loads %s: the device calls must be bound at load time"
                        % sorted({d for d, _ in delayed}))
    for problem in problems:
        print("FAIL %s: %s" % (name, problem), file=sys.stderr)
    if not problems:
        print("ok %s: device calls bound at load time from newdev, setupapi, cfgmgr32; %d system DLLs"
              % (name, len({d for d, _ in imports})))
    return not problems


def check_tool_imports(path):
    image = Image(open(path, "rb").read())
    name = path.replace("\\", "/").rsplit("/", 1)[-1]
    imports = image.imports()
    problems = []
    for dll in sorted({d for d, _ in imports}):
        ucrt = image.machine == 0xAA64 and UCRT_DLLS.match(dll)
        if dll not in SYSTEM_DLLS and not ucrt:
            problems.append("imports %s, which is not a Windows system DLL" % dll)
    if any(d == "newdev.dll" for d, _ in imports):
        problems.append("imports newdev.dll")
    for dll, function in imports:
        if CHANGING.match(function):
            problems.append("imports %s from %s, which changes the system" % (function, dll))
    if image.imports(13):
        problems.append("delay-loads DLLs")
    for problem in problems:
        print("FAIL %s: %s" % (name, problem), file=sys.stderr)
    if not problems:
        print("ok %s: %d imports from %d system DLLs, none that changes the system"
              % (name, len(imports), len({d for d, _ in imports})))
    return not problems


def check(path, version):
    image = Image(open(path, "rb").read())
    name = path.replace("\\", "/").rsplit("/", 1)[-1]
    problems = []
    subsystem, level, description = CHECK_TOOL if name.startswith("varnollcheck") else INSTALLER

    field = image.optional + 64
    stored = struct.unpack_from("<I", image.data, field)[0]
    if stored != checksum(image.data, field):
        problems.append("image checksum 0x%x, expected 0x%x" % (stored, checksum(image.data, field)))
    # The x64 installer has a size budget of 200 KB.
    if name == "varnoll64.exe" and len(image.data) > 200 * 1024:
        problems.append("%d bytes, over the 200 KB budget" % len(image.data))
    if name in MACHINES and image.machine != MACHINES[name]:
        problems.append("machine 0x%x, expected 0x%x" % (image.machine, MACHINES[name]))
    if image.subsystem != subsystem:
        problems.append("subsystem %d, expected %d" % (image.subsystem, subsystem))
    wanted = DYNAMIC_BASE | NX_COMPAT | (HIGH_ENTROPY_VA if image.is64 else 0)
    if image.dll_characteristics & wanted != wanted:
        problems.append("DllCharacteristics 0x%x lacks 0x%x" % (image.dll_characteristics, wanted))
    if image.directories[5][1] == 0:
        problems.append("no base relocations: ASLR cannot move the image")
    for section, _, _, _, flags in image.sections:
        if flags & MEM_WRITE and flags & MEM_EXECUTE:
            problems.append("section %s is writable and executable" % section)

    rva, size = image.directories[10]
    if not size:
        problems.append("no load configuration")
    else:
        at = image.offset(rva)
        config_size = struct.unpack_from("<I", image.data, at)[0]
        field = 0x4E if image.is64 else 0x36
        if config_size < field + 2:
            problems.append("load configuration too small (%d bytes) for DependentLoadFlags" % config_size)
        else:
            flags = struct.unpack_from("<H", image.data, at + field)[0]
            if flags != LOAD_LIBRARY_SEARCH_SYSTEM32:
                problems.append("DependentLoadFlags is 0x%x, expected 0x800" % flags)

    manifests = image.resources(RT_MANIFEST)
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

    versions = image.resources(RT_VERSION)
    if len(versions) != 1:
        problems.append("%d version resources, expected 1" % len(versions))
    else:
        strings = version_strings(versions[0])
        expected = {"FileVersion": version, "ProductVersion": version, "OriginalFilename": name,
                    "ProductName": "Varnoll", "CompanyName": "Varnoll",
                    "FileDescription": description}
        for key, value in expected.items():
            if strings.get(key) != value:
                problems.append("version resource %s is %r, expected %r" % (key, strings.get(key), value))

    for problem in problems:
        print("FAIL %s: %s" % (name, problem), file=sys.stderr)
    if not problems:
        print("ok %s: machine 0x%x, subsystem %d, ASLR/NX%s, DependentLoadFlags 0x800, no W+X section, manifest, "
              "version %s" % (name, image.machine, image.subsystem, "/high-entropy" if image.is64 else "", version))
    return not problems


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "image":
        sys.exit(0 if check(sys.argv[2], sys.argv[3]) else 1)
    if len(sys.argv) == 3 and sys.argv[1] == "imports":
        sys.exit(0 if check_imports(sys.argv[2]) else 1)
    if len(sys.argv) == 3 and sys.argv[1] == "check-imports":
        sys.exit(0 if check_tool_imports(sys.argv[2]) else 1)
    sys.exit(__doc__)
