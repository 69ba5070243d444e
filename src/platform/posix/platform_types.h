// The POSIX side of the platform seam: the few Windows types and constants
// the programs use, under their Windows names. The functions are declared
// by what they offer: platform_files.h, platform_process.h and, for
// device installation only, devices/platform_devices.h.
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

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;

DWORD GetLastError();
void SetLastError(DWORD error);
