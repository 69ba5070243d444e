// Shared by the test-only DLLs that stand in for newdev, setupapi and
// cfgmgr32 under Wine: reading the scenario's script from the environment and
// appending one line per call to its log. Never shipped.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace standin_dll {

// The value of a script variable, or "" when unset.
inline std::string Setting(const char* name) {
  char value[4096];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// A number in hex (with or without 0x), or `fallback` when unset.
inline DWORD HexSetting(const char* name, DWORD fallback) {
  const std::string text = Setting(name);
  return text.empty() ? fallback : static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 16));
}

// Whether `item` is one of the '|'-separated entries of `list`.
inline bool Listed(const std::string& list, const std::string& item) {
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = list.find('|', start);
    const size_t stop = end == std::string::npos ? list.size() : end;
    if (list.compare(start, stop - start, item) == 0 && !item.empty()) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

inline std::string Str(const char* text) {
  return text ? "\"" + std::string(text) + "\"" : std::string("null");
}

inline std::string Ptr(const void* p) { return p ? "non-null" : "null"; }

inline std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lx", value);
  return text;
}

inline void Append(const std::string& line) {
  const std::string path = Setting("VARNOLL_STANDIN_LOG");
  if (path.empty()) return;
  if (FILE* log = std::fopen(path.c_str(), "ab")) {
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
  }
}

// For calls that report through BOOL and the last error: appends
// "<dll> <call> = <result> (last error <error>)" and leaves `lastError` as
// the thread's last error.
// The DLL's name in the log; the 32-bit stand-ins say so, to tell which
// build made the call.
inline std::string Tag(const char* dll) { return sizeof(void*) == 4 ? std::string(dll) + "-x86" : dll; }

inline void Log(const char* dll, const std::string& call, BOOL result, DWORD lastError) {
  Append(Tag(dll) + " " + call + " = " + Hex(static_cast<unsigned long>(result)) + " (last error " +
         Hex(lastError) + ")");
  SetLastError(lastError);
}

// Loads `name` by bare name and logs the outcome: the full path of what was
// loaded, or null and the error.
inline void LogLoadByName(const char* dll, const std::string& name) {
  const HMODULE module = LoadLibraryA(name.c_str());
  const DWORD error = module ? 0 : GetLastError();
  std::string loaded = "null (last error " + Hex(error) + ")";
  char path[MAX_PATH] = "";
  if (module && GetModuleFileNameA(module, path, MAX_PATH) > 0) loaded = Str(path);
  Append(Tag(dll) + " LoadLibraryA(" + Str(name.c_str()) + ") = " + loaded);
}

// For calls that return their error (CONFIGRET): "<dll> <call> = <result>".
inline void LogReturned(const char* dll, const std::string& call, unsigned long result) {
  Append(Tag(dll) + " " + call + " = " + Hex(result));
}

}  // namespace standin_dll
