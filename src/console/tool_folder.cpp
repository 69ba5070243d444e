#include "tool_folder.h"

namespace varnoll {

namespace {

// Windows puts '?' where a name's character has no place in the ANSI code
// page; no file name holds one.
constexpr const char kNotInCodePage[] =
    "cannot be opened as given: its name holds a character that the ANSI code page cannot hold (give "
    "the folder another name, or its 8.3 short name)";

}  // namespace

bool HasLostCharacters(const std::string& path) {
  const size_t start = path.rfind("\\\\?\\", 0) == 0 ? 4 : 0;
  return path.find_first_of("?*", start) != std::string::npos;
}

bool FindWorkFolder(const ToolPlatform& platform, const std::optional<std::string>& argument,
                    std::string& folder, std::string& problem) {
  if (argument) {
    if (platform.resolveFolder(*argument, folder)) return true;
    problem = *argument + ": " + (HasLostCharacters(*argument) ? kNotInCodePage : "no such folder");
    return false;
  }
  if (platform.ownFolder(folder)) return true;
  problem = std::string("its own folder ") + kNotInCodePage + ", or its path is too long";
  return false;
}

}  // namespace varnoll
