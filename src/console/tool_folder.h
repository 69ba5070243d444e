// The folder a console tool works on, found one way for both tools.
#pragma once

#include "tool_platform.h"

#include <optional>
#include <string>

namespace varnoll {

// Whether `path` holds a character Windows put in place of one the ANSI
// code page lacks ('?'), or a wildcard: a name that opens nothing, or, as a
// wildcard, another folder. The "\\?\" prefix of a long path is the one
// '?' a real path holds.
bool HasLostCharacters(const std::string& path);

// `argument` (FOLDER as given) or, without one, the program's own folder,
// with its trailing separator. False, with one line for a person in
// `problem`, when that folder cannot be opened as given: it does not exist,
// or its name did not survive the ANSI code page (a tool that went on would
// find no INF file there and say there was nothing to do).
bool FindWorkFolder(const ToolPlatform& platform, const std::optional<std::string>& argument,
                    std::string& folder, std::string& problem);

}  // namespace varnoll
