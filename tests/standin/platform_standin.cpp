// The host stand-in for the Windows calls the installer makes beyond the
// file side (which is the product's own POSIX code): a scripted device
// manager that records every call, the module path, processes, and just
// enough of the process state (error mode, message queue) for the
// application to run.
#include "posix_handle.h"
#include "standin.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace standin {
namespace {

struct State {
  Script script;
  std::vector<std::string> deviceCalls;
  std::vector<std::string> openedFiles;
  std::vector<std::string> processCalls;
  std::vector<std::string> startupCalls;
  std::vector<UINT> errorModesSet;
  UINT errorMode = 0;
  bool quitPosted = false;
  int quitCode = 0;
  bool getMessageWouldBlock = false;
};

State& TheState() {
  static State state;
  return state;
}

// Process and thread handles; CloseHandle deletes them like file handles.
struct ProcessHandle : varnoll::posix::Handle {
  explicit ProcessHandle(std::string what) : name(std::move(what)) {}
  std::string name;
};

std::string Quote(const char* text) { return text ? text : "null"; }
const char* Pointer(const void* p) { return p ? "non-null" : "null"; }

std::string Hex(unsigned long value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", value);
  return text;
}

size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

void RecordOpen(const char* path, DWORD access, DWORD share, DWORD disposition) {
  TheState().openedFiles.push_back(std::string(path) + " access=" + Hex(access) + " share=" + Hex(share) +
                                   " disposition=" + Hex(disposition));
}

// Successful device calls leave whatever last error the script says, as the
// real ones leave unspecified values behind.
BOOL Succeed() {
  SetLastError(TheState().script.lastErrorAfterCall);
  return TRUE;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

void Reset() {
  TheState() = State{};
  ResetRegistry();
  varnoll::posix::SetOpenObserver(&RecordOpen);
  SetLastError(0);
}

Script& Current() { return TheState().script; }
const std::vector<std::string>& DeviceCalls() { return TheState().deviceCalls; }
const std::vector<std::string>& ProcessCalls() { return TheState().processCalls; }
const std::vector<std::string>& OpenedFiles() { return TheState().openedFiles; }
const std::vector<std::string>& StartupCalls() { return TheState().startupCalls; }
const std::vector<UINT>& ErrorModesSet() { return TheState().errorModesSet; }
bool GetMessageWouldHaveBlocked() { return TheState().getMessageWouldBlock; }
int OpenHandles() { return varnoll::posix::OpenHandleCount(); }

}  // namespace standin

using standin::TheState;

DWORD GetModuleFileNameA(HMODULE, char* buffer, DWORD size) {
  const standin::Script& script = TheState().script;
  if (script.moduleError != 0) return standin::Fail(script.moduleError);
  const std::string& path = script.modulePath;
  if (path.size() >= size) {
    std::memcpy(buffer, path.data(), size);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

DWORD GetFullPathNameA(const char* path, DWORD size, char* buffer, char** filePart) {
  const standin::Script& script = TheState().script;
  if (script.fullPathError != 0) return standin::Fail(script.fullPathError);
  const std::string full = script.overrideFullPath ? script.fullPath : std::string(path);
  if (full.size() + 1 > size) return static_cast<DWORD>(full.size() + 1);
  std::memcpy(buffer, full.c_str(), full.size() + 1);
  const size_t separator = standin::LastSeparator(full);
  const size_t name = separator == std::string::npos ? 0 : separator + 1;
  if (filePart) *filePart = name < full.size() ? buffer + name : nullptr;
  return static_cast<DWORD>(full.size());
}

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)); }

BOOL IsWow64Process(HANDLE, BOOL* wow64) {
  *wow64 = TheState().script.wow64;
  return TRUE;
}

BOOL IsWow64Process2(HANDLE, USHORT* processMachine, USHORT* nativeMachine) {
  *processMachine = TheState().script.wow64ProcessMachine;
  if (nativeMachine) *nativeMachine = TheState().script.nativeMachine;
  return TRUE;
}

// kernel32 is the one module the program looks functions up in; which of its
// newer functions exist is up to the script.
HMODULE GetModuleHandleA(const char* name) {
  static char kernel32;
  return name && std::strcmp(name, "kernel32.dll") == 0 ? &kernel32 : nullptr;
}

// The one DLL the programs load: newdev.dll, by its full path in System32.
namespace standin {
namespace {
char newdevModule;
}  // namespace
}  // namespace standin

HMODULE LoadLibraryA(const char* path) {
  const standin::Script& script = TheState().script;
  if (path && std::string(path) == script.systemDirectory + "\\newdev.dll") return &standin::newdevModule;
  standin::Fail(ERROR_FILE_NOT_FOUND);
  return nullptr;
}

BOOL FreeLibrary(HMODULE) { return TRUE; }

UINT GetSystemDirectoryA(char* buffer, UINT size) {
  const std::string& folder = TheState().script.systemDirectory;
  if (folder.size() >= size) return static_cast<UINT>(folder.size() + 1);
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<UINT>(folder.size());
}

// Wine's and Windows' removal calls, as scripted: they delete the file
// (with its name in the store folder) unless told otherwise.
BOOL WINAPI DiUninstallDriverA(HWND parent, const char* infPath, DWORD flags, BOOL* needReboot) {
  standin::State& state = TheState();
  state.deviceCalls.push_back("DiUninstallDriverA(" + std::string(standin::Pointer(parent)) + ", " +
                              standin::Quote(infPath) + ", " + standin::Hex(flags) + ", " +
                              standin::Pointer(needReboot) + ")");
  if (state.script.uninstallDriverError != 0) return standin::Fail(state.script.uninstallDriverError);
  if (!state.script.removalLeavesFile) std::remove(infPath);
  if (needReboot) *needReboot = state.script.uninstallNeedsReboot;
  return standin::Succeed();
}

BOOL SetupUninstallOEMInfA(const char* infFileName, DWORD flags, void* reserved) {
  standin::State& state = TheState();
  state.deviceCalls.push_back("SetupUninstallOEMInfA(" + standin::Quote(infFileName) + ", " +
                              standin::Hex(flags) + ", " + standin::Pointer(reserved) + ")");
  if (state.script.forceDeleteError != 0) return standin::Fail(state.script.forceDeleteError);
  if (!state.script.removalLeavesFile) std::remove((state.script.storeFolder + infFileName).c_str());
  return standin::Succeed();
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  const standin::Script& script = TheState().script;
  if (module == &standin::newdevModule) {
    return std::strcmp(name, "DiUninstallDriverA") == 0 && script.hasDiUninstallDriver
               ? reinterpret_cast<FARPROC>(&DiUninstallDriverA)
               : nullptr;
  }
  if (module != GetModuleHandleA("kernel32.dll")) return nullptr;
  if (std::strcmp(name, "IsWow64Process2") == 0 && script.hasIsWow64Process2) {
    return reinterpret_cast<FARPROC>(&IsWow64Process2);
  }
  if (std::strcmp(name, "SetDefaultDllDirectories") == 0 && script.hasSetDefaultDllDirectories) {
    return reinterpret_cast<FARPROC>(&SetDefaultDllDirectories);
  }
  return nullptr;
}

void GetNativeSystemInfo(SYSTEM_INFO* info) {
  info->wProcessorArchitecture = TheState().script.nativeArchitecture;
}

// Starts nothing: records the request, and fails as Windows would when the
// program file does not exist.
BOOL CreateProcessA(const char* application, char* commandLine, void* processAttributes,
                    void* threadAttributes, BOOL inheritHandles, DWORD flags, void* environment,
                    const char* directory, STARTUPINFOA* startup, PROCESS_INFORMATION* started) {
  standin::State& state = TheState();
  state.processCalls.push_back(
      "CreateProcessA(" + standin::Quote(application) + ", " +
      (commandLine ? std::string("[") + commandLine + "]" : std::string("null")) + ", " +
      standin::Pointer(processAttributes) + ", " + standin::Pointer(threadAttributes) + ", " +
      standin::Hex(static_cast<unsigned long>(inheritHandles)) + ", " + standin::Hex(flags) + ", " +
      standin::Pointer(environment) + ", " + standin::Pointer(directory) + ", " +
      (startup && startup->cb == sizeof(STARTUPINFOA) ? "startup info" : "bad startup info") + ")");
  struct stat info {};
  if (!application || stat(application, &info) != 0 || !S_ISREG(info.st_mode)) {
    return standin::Fail(ERROR_FILE_NOT_FOUND);
  }
  if (state.script.createProcessError != 0) return standin::Fail(state.script.createProcessError);
  started->hProcess =
      static_cast<varnoll::posix::Handle*>(new standin::ProcessHandle(std::string("process ") + application));
  started->hThread = static_cast<varnoll::posix::Handle*>(new standin::ProcessHandle("thread"));
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  const auto& process = dynamic_cast<standin::ProcessHandle&>(*static_cast<varnoll::posix::Handle*>(handle));
  TheState().processCalls.push_back("WaitForSingleObject(" + process.name + ", " +
                                    standin::Hex(milliseconds) + ")");
  return WAIT_OBJECT_0;
}

BOOL GetExitCodeProcess(HANDLE handle, DWORD* exitCode) {
  const auto& process = dynamic_cast<standin::ProcessHandle&>(*static_cast<varnoll::posix::Handle*>(handle));
  TheState().processCalls.push_back("GetExitCodeProcess(" + process.name + ")");
  *exitCode = TheState().script.childExitCode;
  return TRUE;
}

UINT GetErrorMode() {
  standin::State& state = TheState();
  if (state.errorModesSet.empty()) return state.script.inheritedErrorMode;
  return state.errorMode;
}

BOOL SetDefaultDllDirectories(DWORD directoryFlags) {
  TheState().startupCalls.push_back("SetDefaultDllDirectories(" + standin::Hex(directoryFlags) + ")");
  return TheState().script.setDefaultDllDirectoriesResult;
}

BOOL SetDllDirectoryW(const wchar_t* path) {
  std::string text = "null";
  if (path) {
    text = "\"";
    for (const wchar_t* c = path; *c; ++c) text += static_cast<char>(*c);
    text += "\"";
  }
  TheState().startupCalls.push_back("SetDllDirectoryW(" + text + ")");
  return TRUE;
}

UINT SetErrorMode(UINT mode) {
  TheState().startupCalls.push_back("SetErrorMode(" + standin::Hex(mode) + ")");
  const UINT previous = GetErrorMode();
  TheState().errorMode = mode;
  TheState().errorModesSet.push_back(mode);
  return previous;
}

void PostQuitMessage(int exitCode) {
  TheState().quitPosted = true;
  TheState().quitCode = exitCode;
}

BOOL GetMessageA(MSG* message, HWND, UINT, UINT) {
  standin::State& state = TheState();
  if (!state.quitPosted) {
    // A real queue would wait here for ever: no window will ever post.
    state.getMessageWouldBlock = true;
    return -1;
  }
  state.quitPosted = false;
  *message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(state.quitCode), 0};
  return FALSE;
}

BOOL UpdateDriverForPlugAndPlayDevicesA(HWND parent, const char* hardwareId, const char* fullInfPath,
                                        DWORD installFlags, BOOL* rebootRequired) {
  standin::State& state = TheState();
  state.deviceCalls.push_back("UpdateDriverForPlugAndPlayDevicesA(" + std::string(standin::Pointer(parent)) +
                              ", " + standin::Quote(hardwareId) + ", " + standin::Quote(fullInfPath) + ", " +
                              standin::Hex(installFlags) + ", " + standin::Pointer(rebootRequired) + ")");
  const auto error = state.script.updateErrors.find(hardwareId);
  if (error != state.script.updateErrors.end()) return standin::Fail(error->second);
  if (state.script.presentHardwareIds.count(hardwareId) == 0) return standin::Fail(ERROR_NO_SUCH_DEVINST);
  return standin::Succeed();
}

BOOL SetupCopyOEMInfA(const char* sourceInf, const char* mediaLocation, DWORD mediaType, DWORD copyStyle,
                      char* destination, DWORD destinationSize, DWORD* requiredSize,
                      char** destinationComponent) {
  standin::State& state = TheState();
  state.deviceCalls.push_back("SetupCopyOEMInfA(" + standin::Quote(sourceInf) + ", " +
                              standin::Pointer(mediaLocation) + ", " + standin::Hex(mediaType) + ", " +
                              standin::Hex(copyStyle) + ", " + standin::Pointer(destination) + ", " +
                              standin::Hex(destinationSize) + ", " + standin::Pointer(requiredSize) + ", " +
                              standin::Pointer(destinationComponent) + ")");
  if (state.script.copyOemInfError != 0) return standin::Fail(state.script.copyOemInfError);
  return standin::Succeed();
}

CONFIGRET CM_Locate_DevNodeA(DEVINST* devInst, char* deviceId, ULONG flags) {
  standin::State& state = TheState();
  state.deviceCalls.push_back("CM_Locate_DevNodeA(" + std::string(standin::Pointer(devInst)) + ", " +
                              standin::Pointer(deviceId) + ", " + standin::Hex(flags) + ")");
  if (state.script.locateResult == CR_SUCCESS) *devInst = state.script.rootDevInst;
  return state.script.locateResult;
}

CONFIGRET CM_Reenumerate_DevNode(DEVINST devInst, ULONG flags) {
  standin::State& state = TheState();
  state.deviceCalls.push_back("CM_Reenumerate_DevNode(" + standin::Hex(devInst) + ", " + standin::Hex(flags) +
                              ")");
  return state.script.reenumerateResult;
}
