// Process and module services on the POSIX side of the seam: where the
// program lives, the hand-off to another build, the DLL search, the error
// mode and the message loop. Linux has none of this; only the tests'
// stand-in (tests/standin/) defines these functions.
#pragma once

#include "platform_types.h"

constexpr DWORD LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800;
constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;
constexpr UINT WM_QUIT = 0x0012;

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

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);
DWORD GetFullPathNameA(const char* path, DWORD size, char* buffer, char** filePart);

HANDLE GetCurrentProcess();
BOOL IsWow64Process(HANDLE process, BOOL* wow64);
BOOL IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine);
HMODULE GetModuleHandleA(const char* name);
HMODULE LoadLibraryA(const char* path);
BOOL FreeLibrary(HMODULE module);
UINT GetSystemDirectoryA(char* buffer, UINT size);
FARPROC GetProcAddress(HMODULE module, const char* name);
void GetNativeSystemInfo(SYSTEM_INFO* info);
BOOL CreateProcessA(const char* application, char* commandLine, void* processAttributes,
                    void* threadAttributes, BOOL inheritHandles, DWORD flags, void* environment,
                    const char* directory, STARTUPINFOA* startup, PROCESS_INFORMATION* started);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);

BOOL SetDefaultDllDirectories(DWORD directoryFlags);
BOOL SetDllDirectoryW(const wchar_t* path);

UINT GetErrorMode();
UINT SetErrorMode(UINT mode);
void PostQuitMessage(int exitCode);
BOOL GetMessageA(MSG* message, HWND window, UINT first, UINT last);
