// Windows' own file system ignores case already: the path is opened as
// the package gives it, and no folder is listed.
#include "name_lookup.h"

#include <algorithm>

namespace varnoll::package {

FoundPath CPackageNames::Find(const std::string& relative) {
  FoundPath found;
  std::string path = relative;
  const char separator = folder_.empty() ? '\\' : folder_.back();
  std::replace(path.begin(), path.end(), '\\', separator);
  found.native = folder_ + path;
  return found;
}

}  // namespace varnoll::package
