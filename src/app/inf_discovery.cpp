#include "inf_discovery.h"

#include "platform_files.h"
#include "unique_handle.h"

namespace varnoll {

// Nothing touches the list before the pass starts or after it ends, so its
// order against the program's other static objects does not matter.
std::vector<std::string> InfFileList;

bool CollectInfFiles(const std::string& directory) {
  InfFileList.clear();
  const std::string pattern = directory + "*.inf";
  WIN32_FIND_DATAA entry;
  UniqueFindHandle search(FindFirstFileA(pattern.c_str(), &entry));
  if (!search.IsValid()) return false;
  do {
    InfFileList.emplace_back(entry.cFileName);
  } while (FindNextFileA(search.Get(), &entry));
  return true;
}

}  // namespace varnoll
