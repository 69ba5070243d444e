// Linked into the ARM64 test programs only, never into what ships.
//
// Debian's ARM64 Wine 8 builds its DLLs as ELF libraries, so its ucrtbase
// takes a va_list the Linux way, while ARM64 Windows code passes it the
// Windows way: every printf- or scanf-family call from a PE program then
// reads garbage and crashes (seen under emulation: a page fault in strlen
// inside ucrtbase). The shipped programs make no such call. The tests,
// GoogleTest and libc++'s number formatting do, so for them the UCRT's
// common entry points are defined here, passing the work to MinGW-w64's own
// implementation, which runs as Windows code inside the program.
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cwchar>

namespace {

// Without _CRT_INTERNAL_PRINTF_STANDARD_SNPRINTF_BEHAVIOR the UCRT reports
// a truncated result as -1, as _snprintf does.
constexpr unsigned __int64 kStandardSnprintf = 2;

template <typename Char>
int Truncation(unsigned __int64 options, const Char* buffer, size_t count, int written) {
  if (!(options & kStandardSnprintf) && buffer && written >= 0 && static_cast<size_t>(written) >= count)
    return -1;
  return written;
}

}  // namespace

extern "C" {

int __cdecl __mingw_vsnprintf(char* buffer, size_t count, const char* format, va_list args);
int __cdecl __mingw_vfprintf(FILE* stream, const char* format, va_list args);
int __cdecl __mingw_vsscanf(const char* buffer, const char* format, va_list args);
int __cdecl __mingw_vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list args);
int __cdecl __mingw_vfwprintf(FILE* stream, const wchar_t* format, va_list args);

int __cdecl __stdio_common_vsprintf(unsigned __int64 options, char* buffer, size_t count, const char* format,
                                    _locale_t, va_list args) {
  return Truncation(options, buffer, count, __mingw_vsnprintf(buffer, count, format, args));
}

int __cdecl __stdio_common_vfprintf(unsigned __int64, FILE* stream, const char* format, _locale_t,
                                    va_list args) {
  return __mingw_vfprintf(stream, format, args);
}

int __cdecl __stdio_common_vsscanf(unsigned __int64, const char* buffer, size_t, const char* format,
                                   _locale_t, va_list args) {
  return __mingw_vsscanf(buffer, format, args);
}

int __cdecl __stdio_common_vswprintf(unsigned __int64 options, wchar_t* buffer, size_t count,
                                     const wchar_t* format, _locale_t, va_list args) {
  return Truncation(options, buffer, count, __mingw_vsnwprintf(buffer, count, format, args));
}

int __cdecl __stdio_common_vfwprintf(unsigned __int64, FILE* stream, const wchar_t* format, _locale_t,
                                     va_list args) {
  return __mingw_vfwprintf(stream, format, args);
}

}  // extern "C"
