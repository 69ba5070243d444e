// The POSIX side of the platform seam: the few Windows types, constants and
// functions the programs use, under their Windows names. The file side
// (files, directory search, last error, upper-casing) is implemented over
// POSIX in files_posix.cpp, and is what the Linux check tool runs on. The
// rest (module path, processes, the device-installation calls) exists on
// Linux only as the tests' scripted stand-in (tests/standin/).
#pragma once

#include <cstdint>

#define WINAPI
#define FALSE 0
#define TRUE 1
#define MAX_PATH 260

using BOOL = int;
using UINT = unsigned int;
using USHORT = unsigned short;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using HANDLE = void*;
using HWND = void*;
using HMODULE = void*;
using FARPROC = void (*)();
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using DEVINST = DWORD;
using CONFIGRET = DWORD;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NO_MORE_FILES = 18;

constexpr DWORD LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800;
constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;
constexpr UINT WM_QUIT = 0x0012;

constexpr DWORD INSTALLFLAG_FORCE = 0x1;
constexpr DWORD SPOST_PATH = 1;
constexpr DWORD ERROR_NO_SUCH_DEVINST = 0xE000020B;
constexpr ULONG CM_LOCATE_DEVNODE_NORMAL = 0;
constexpr ULONG CM_REENUMERATE_NORMAL = 0;
constexpr CONFIGRET CR_SUCCESS = 0;

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  char cFileName[MAX_PATH];
};

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr unsigned short PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr unsigned short PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr unsigned short PROCESSOR_ARCHITECTURE_ARM64 = 12;

struct SYSTEM_INFO {
  unsigned short wProcessorArchitecture;
};

struct STARTUPINFOA {
  DWORD cb;
};

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

DWORD GetLastError();
void SetLastError(DWORD error);

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);
DWORD GetFullPathNameA(const char* path, DWORD size, char* buffer, char** filePart);

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* entry);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* entry);
BOOL FindClose(HANDLE search);

HANDLE CreateFileA(const char* path, DWORD access, DWORD share, void* security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read, void* overlapped);
BOOL CloseHandle(HANDLE handle);

HANDLE GetCurrentProcess();
BOOL IsWow64Process(HANDLE process, BOOL* wow64);
BOOL IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine);
HMODULE GetModuleHandleA(const char* name);
FARPROC GetProcAddress(HMODULE module, const char* name);
void GetNativeSystemInfo(SYSTEM_INFO* info);
BOOL CreateProcessA(const char* application, char* commandLine, void* processAttributes,
                    void* threadAttributes, BOOL inheritHandles, DWORD flags, void* environment,
                    const char* directory, STARTUPINFOA* startup, PROCESS_INFORMATION* started);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

DWORD CharUpperBuffA(char* text, DWORD length);

BOOL SetDefaultDllDirectories(DWORD directoryFlags);
BOOL SetDllDirectoryW(const wchar_t* path);

UINT GetErrorMode();
UINT SetErrorMode(UINT mode);
void PostQuitMessage(int exitCode);
BOOL GetMessageA(MSG* message, HWND window, UINT first, UINT last);

BOOL UpdateDriverForPlugAndPlayDevicesA(HWND parent, const char* hardwareId,
                                        const char* fullInfPath, DWORD installFlags,
                                        BOOL* rebootRequired);
BOOL SetupCopyOEMInfA(const char* sourceInf, const char* mediaLocation, DWORD mediaType,
                      DWORD copyStyle, char* destination, DWORD destinationSize,
                      DWORD* requiredSize, char** destinationComponent);
CONFIGRET CM_Locate_DevNodeA(DEVINST* devInst, char* deviceId, ULONG flags);
CONFIGRET CM_Reenumerate_DevNode(DEVINST devInst, ULONG flags);
