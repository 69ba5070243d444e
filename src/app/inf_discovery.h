// The list of INF files beside the executable.
#pragma once

#include <string>
#include <vector>

namespace varnoll {

// Bare file names, in the order the directory search returned them; written
// only by CollectInfFiles. Every program and test that lists INF files gets
// it with this file.
extern std::vector<std::string> InfFileList;

// Replaces InfFileList with the names of the entries of `directory` (which
// ends with a separator) that match "*.inf". Subdirectories are listed too;
// reading them fails later. Returns true when the search found any entry.
bool CollectInfFiles(const std::string& directory);

}  // namespace varnoll
