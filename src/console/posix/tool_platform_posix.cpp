// The console tools' folders on Linux, which has no driver store.
#include "tool_platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace varnoll {

namespace {

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ResolveFolder(const std::string& argument, std::string& folder) {
  char* resolved = realpath(argument.c_str(), nullptr);
  if (resolved == nullptr) return false;
  std::string path = resolved;
  std::free(resolved);
  if (!IsFolder(path)) return false;
  if (path.back() != '/') path += '/';
  folder = path;
  return true;
}

bool OwnFolder(std::string& folder) {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return false;
  std::string program(path, static_cast<size_t>(length));
  const size_t slash = program.rfind('/');
  if (slash == std::string::npos) return false;
  folder = program.substr(0, slash + 1);
  return true;
}

bool NoSystemInfFolder(std::string&) { return false; }

}  // namespace

const ToolPlatform& ThisToolPlatform() {
  static const ToolPlatform platform{&OwnFolder, &ResolveFolder, &NoSystemInfFolder};
  return platform;
}

}  // namespace varnoll
