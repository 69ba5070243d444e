// Scripting and inspecting the host platform stand-in.
#pragma once

#include "platform_devices.h"
#include "platform_files.h"
#include "platform_process.h"
#include "platform_registry.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace standin {

// What the stand-in answers. Reset() restores these defaults: a module path
// that names no real folder, no device present, every call succeeding.
struct Script {
  // What GetModuleFileNameA reports. A path of MAX_PATH characters or more is
  // truncated as Windows does: MAX_PATH characters, no NUL, error 122.
  std::string modulePath = "/nonexistent/varnoll.exe";
  DWORD moduleError = 0;  // non-zero: GetModuleFileNameA fails with it

  // Replaces what GetFullPathNameA makes of the module path, when set.
  bool overrideFullPath = false;
  std::string fullPath;
  DWORD fullPathError = 0;  // non-zero: GetFullPathNameA fails with it

  // Hardware IDs of present devices: updating one succeeds; any other fails
  // with ERROR_NO_SUCH_DEVINST unless updateErrors names another error.
  std::set<std::string> presentHardwareIds;
  std::map<std::string, DWORD> updateErrors;

  DWORD copyOemInfError = 0;  // non-zero: SetupCopyOEMInfA fails with it
  CONFIGRET locateResult = CR_SUCCESS;
  DEVINST rootDevInst = 0x1234;
  CONFIGRET reenumerateResult = CR_SUCCESS;

  // The process as IsWow64Process and GetNativeSystemInfo describe it (on
  // ARM64, falsely), and as IsWow64Process2 does, when kernel32 has it.
  BOOL wow64 = FALSE;
  unsigned short nativeArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
  bool hasIsWow64Process2 = true;
  DWORD createProcessError = 0;    // non-zero: CreateProcessA fails with it
  DWORD childExitCode = 0;         // what GetExitCodeProcess reports of a started program
  USHORT wow64ProcessMachine = 0;  // IMAGE_FILE_MACHINE_UNKNOWN: not WOW64
  USHORT nativeMachine = 0x8664;   // IMAGE_FILE_MACHINE_AMD64

  // Whether kernel32 has SetDefaultDllDirectories, and whether it succeeds.
  bool hasSetDefaultDllDirectories = true;
  BOOL setDefaultDllDirectoriesResult = TRUE;

  // newdev.dll, loaded from GetSystemDirectoryA's folder, and whether it
  // has DiUninstallDriverA (Windows 10 1703 and later). The removal calls
  // delete the named file of `storeFolder` unless told to fail or to leave
  // it.
  std::string systemDirectory = "/nonexistent/system32";
  bool hasDiUninstallDriver = true;
  DWORD uninstallDriverError = 0;  // non-zero: DiUninstallDriverA fails with it
  BOOL uninstallNeedsReboot = FALSE;
  DWORD forceDeleteError = 0;      // non-zero: SetupUninstallOEMInfA fails with it
  bool removalLeavesFile = false;  // the call reports success and deletes nothing
  std::string storeFolder;         // where SetupUninstallOEMInfA's bare names live

  UINT inheritedErrorMode = 0;
  DWORD lastErrorAfterCall = 0;  // what successful device calls leave behind
};

// Resets the script, the record and the process state (error mode, message
// queue, last error).
void Reset();
Script& Current();

// Every device-installation call, in order, with its arguments: strings
// verbatim, numbers in hex, pointers as null or non-null.
const std::vector<std::string>& DeviceCalls();

// Every process started and waited for, in order, with its arguments.
const std::vector<std::string>& ProcessCalls();

// Every file the program opened (or tried to open) for reading, in order.
const std::vector<std::string>& OpenedFiles();

// The calls that shape the process before its work (DLL search, error
// mode), in order, with their arguments.
const std::vector<std::string>& StartupCalls();

// Error modes set, in order; whether a quit was posted before GetMessageA
// first waited.
const std::vector<UINT>& ErrorModesSet();
bool GetMessageWouldHaveBlocked();

// How many search and file handles are open right now.
int OpenHandles();

// The registry under HKEY_LOCAL_MACHINE, as the Reg*A stand-ins read it:
// keys by path (compared without regard to case; a key's parents exist
// too), each value with its type and bytes, in the order scripted. Reset()
// empties it.
struct RegistryValue {
  std::string name;
  DWORD type = 0;
  std::string data;  // the bytes as the registry returns them, NULs included
};
std::map<std::string, std::vector<RegistryValue>>& RegistryKeys();
void SetRegistryDword(const std::string& key, const std::string& name, DWORD value);
// A REG_SZ value, its NUL included.
void SetRegistryString(const std::string& key, const std::string& name, const std::string& text);
void AddRegistryKey(const std::string& key);

// Every registry call, in order, with its arguments ("RegOpenKeyExA
// SOFTWARE\... access=0x101"), and how many keys are open right now.
const std::vector<std::string>& RegistryCalls();
int OpenRegistryKeys();
void ResetRegistry();

}  // namespace standin
