// The console tools' folders on Windows.
#include "module_directory.h"
#include "platform_files.h"
#include "platform_process.h"
#include "tool_folder.h"
#include "tool_platform.h"

#include <vector>

namespace varnoll {

namespace {

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool OwnFolder(std::string& folder) {
  std::string found;
  if (!FindModuleDirectory(found) || HasLostCharacters(found) || !IsFolder(found)) {
    return false;
  }
  folder = found;
  return true;
}

bool ResolveFolder(const std::string& argument, std::string& folder) {
  if (argument.empty()) return false;
  const DWORD needed = GetFullPathNameA(argument.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return false;
  std::vector<char> full(needed + 1);
  const DWORD length = GetFullPathNameA(argument.c_str(), needed + 1, full.data(), nullptr);
  if (length == 0 || length > needed) return false;
  std::string path(full.data(), length);
  if (HasLostCharacters(path) || !IsFolder(path)) return false;
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  folder = path;
  return true;
}

// Where Windows publishes the INF files it stages: the INF folder of the
// system's Windows directory (not a per-user one under Terminal Services).
bool SystemInfFolder(std::string& folder) {
  char windows[MAX_PATH];
  const UINT length = GetSystemWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  folder = std::string(windows, length);
  if (folder.back() != '\\') folder += '\\';
  folder += "INF\\";
  return true;
}

}  // namespace

const ToolPlatform& ThisToolPlatform() {
  static const ToolPlatform platform{&OwnFolder, &ResolveFolder, &SystemInfFolder};
  return platform;
}

}  // namespace varnoll
