// The host stand-in for the Windows calls the installer makes: files and
// directory searches over the real filesystem, a scripted device manager that
// records every call, and just enough of the process state (last error,
// error mode, message queue) for the application to run.
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
  int openHandles = 0;
};

State& TheState() {
  static State state;
  return state;
}

thread_local DWORD lastError = 0;

// File, process and thread handles; CloseHandle deletes them. Searches have
// their own handle, which FindClose deletes.
struct Handle {
  virtual ~Handle() = default;
};

struct SearchHandle {
  std::vector<std::string> names;
  std::vector<bool> isDirectory;
  size_t next = 0;
};

struct FileHandle : Handle {
  explicit FileHandle(int descriptor) : fd(descriptor) {}
  ~FileHandle() override { close(fd); }
  int fd;
};

struct ProcessHandle : Handle {
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

bool EqualsIgnoringCase(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// '*' and '?' wildcards, case-insensitive, as the Windows search matches long
// names (8.3 short names do not exist here).
bool MatchesPattern(const char* name, const char* pattern) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') {
    for (const char* rest = name;; ++rest) {
      if (MatchesPattern(rest, pattern + 1)) return true;
      if (*rest == '\0') return false;
    }
  }
  if (*name == '\0') return false;
  if (*pattern != '?' && !EqualsIgnoringCase(*name, *pattern)) return false;
  return MatchesPattern(name + 1, pattern + 1);
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

void Fill(const SearchHandle& search, size_t index, WIN32_FIND_DATAA* entry) {
  entry->dwFileAttributes = search.isDirectory[index] ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  std::snprintf(entry->cFileName, sizeof entry->cFileName, "%s", search.names[index].c_str());
}

// Successful device calls leave whatever last error the script says, as the
// real ones leave unspecified values behind.
BOOL Succeed() {
  lastError = TheState().script.lastErrorAfterCall;
  return TRUE;
}

BOOL Fail(DWORD error) {
  lastError = error;
  return FALSE;
}

}  // namespace

void Reset() {
  const int stillOpen = TheState().openHandles;
  TheState() = State{};
  TheState().openHandles = stillOpen;
  lastError = 0;
}

Script& Current() { return TheState().script; }
const std::vector<std::string>& DeviceCalls() { return TheState().deviceCalls; }
const std::vector<std::string>& ProcessCalls() { return TheState().processCalls; }
const std::vector<std::string>& OpenedFiles() { return TheState().openedFiles; }
const std::vector<std::string>& StartupCalls() { return TheState().startupCalls; }
const std::vector<UINT>& ErrorModesSet() { return TheState().errorModesSet; }
bool GetMessageWouldHaveBlocked() { return TheState().getMessageWouldBlock; }
int OpenHandles() { return TheState().openHandles; }

}  // namespace standin

using standin::TheState;
using standin::lastError;

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

DWORD GetModuleFileNameA(HMODULE, char* buffer, DWORD size) {
  const standin::Script& script = TheState().script;
  if (script.moduleError != 0) return standin::Fail(script.moduleError);
  const std::string& path = script.modulePath;
  if (path.size() >= size) {
    std::memcpy(buffer, path.data(), size);
    lastError = ERROR_INSUFFICIENT_BUFFER;
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

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* entry) {
  const std::string text = pattern;
  const size_t separator = standin::LastSeparator(text);
  const std::string directory = separator == std::string::npos ? "." : text.substr(0, separator + 1);
  const std::string mask = separator == std::string::npos ? text : text.substr(separator + 1);

  DIR* listing = opendir(directory.c_str());
  if (!listing) {
    lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> names;
  while (const dirent* item = readdir(listing)) {
    const std::string name = item->d_name;
    if (name == "." || name == "..") continue;
    if (standin::MatchesPattern(name.c_str(), mask.c_str())) names.push_back(name);
  }
  closedir(listing);
  if (names.empty()) {
    lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  // Windows and Wine return names sorted without regard to case.
  std::sort(names.begin(), names.end(), standin::LessIgnoringCase);

  auto* search = new standin::SearchHandle;
  for (const std::string& name : names) {
    struct stat info {};
    search->isDirectory.push_back(stat((directory + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode));
  }
  search->names = std::move(names);
  standin::Fill(*search, search->next++, entry);
  ++TheState().openHandles;
  return search;
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* entry) {
  auto* search = static_cast<standin::SearchHandle*>(handle);
  if (search->next == search->names.size()) return standin::Fail(ERROR_NO_MORE_FILES);
  standin::Fill(*search, search->next++, entry);
  return TRUE;
}

BOOL FindClose(HANDLE handle) {
  delete static_cast<standin::SearchHandle*>(handle);
  --TheState().openHandles;
  return TRUE;
}

HANDLE CreateFileA(const char* path, DWORD access, DWORD share, void*, DWORD disposition, DWORD,
                   HANDLE) {
  TheState().openedFiles.push_back(std::string(path) + " access=" + standin::Hex(access) +
                                   " share=" + standin::Hex(share) +
                                   " disposition=" + standin::Hex(disposition));
  const int fd = open(path, O_RDONLY);
  if (fd < 0) {
    lastError = errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
    return INVALID_HANDLE_VALUE;
  }
  // Windows refuses to open a directory as a file.
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    lastError = ERROR_ACCESS_DENIED;
    return INVALID_HANDLE_VALUE;
  }
  ++TheState().openHandles;
  return static_cast<standin::Handle*>(new standin::FileHandle(fd));
}

BOOL ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read, void*) {
  const int fd = dynamic_cast<standin::FileHandle&>(*static_cast<standin::Handle*>(handle)).fd;
  ssize_t got;
  do {
    got = ::read(fd, buffer, size);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return standin::Fail(ERROR_ACCESS_DENIED);
  *read = static_cast<DWORD>(got);
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  delete static_cast<standin::Handle*>(handle);
  --TheState().openHandles;
  return TRUE;
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

FARPROC GetProcAddress(HMODULE module, const char* name) {
  if (module != GetModuleHandleA("kernel32.dll")) return nullptr;
  const standin::Script& script = TheState().script;
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
      "CreateProcessA(" + standin::Quote(application) + ", " + standin::Pointer(commandLine) + ", " +
      standin::Pointer(processAttributes) + ", " + standin::Pointer(threadAttributes) + ", " +
      standin::Hex(static_cast<unsigned long>(inheritHandles)) + ", " + standin::Hex(flags) + ", " +
      standin::Pointer(environment) + ", " + standin::Pointer(directory) + ", " +
      (startup && startup->cb == sizeof(STARTUPINFOA) ? "startup info" : "bad startup info") + ")");
  struct stat info {};
  if (!application || stat(application, &info) != 0 || !S_ISREG(info.st_mode)) {
    return standin::Fail(ERROR_FILE_NOT_FOUND);
  }
  state.openHandles += 2;
  started->hProcess = static_cast<standin::Handle*>(new standin::ProcessHandle(std::string("process ") + application));
  started->hThread = static_cast<standin::Handle*>(new standin::ProcessHandle("thread"));
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  const auto& process = dynamic_cast<standin::ProcessHandle&>(*static_cast<standin::Handle*>(handle));
  TheState().processCalls.push_back("WaitForSingleObject(" + process.name + ", " +
                                    standin::Hex(milliseconds) + ")");
  return WAIT_OBJECT_0;
}

DWORD CharUpperBuffA(char* text, DWORD length) {
  for (DWORD i = 0; i < length; ++i) {
    if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
  }
  return length;
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
                              ", " + standin::Quote(hardwareId) + ", " + standin::Quote(fullInfPath) +
                              ", " + standin::Hex(installFlags) + ", " +
                              standin::Pointer(rebootRequired) + ")");
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
                              standin::Hex(destinationSize) + ", " + standin::Pointer(requiredSize) +
                              ", " + standin::Pointer(destinationComponent) + ")");
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
  state.deviceCalls.push_back("CM_Reenumerate_DevNode(" + standin::Hex(devInst) + ", " +
                              standin::Hex(flags) + ")");
  return state.script.reenumerateResult;
}
