#include "inf_discovery.h"

#include "platform_api.h"
#include "unique_handle.h"

namespace varnoll {

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
