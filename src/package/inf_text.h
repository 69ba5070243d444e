// An INF file's bytes as text whose names this platform's file calls take.
#pragma once

#include <string>
#include <string_view>

namespace varnoll::package {

// Windows reads an INF without a byte-order mark in the ANSI code page, and
// its A functions take those bytes as they are. Linux names files in UTF-8
// and has no ANSI code page: there the bytes are read as Windows-1252 (as
// the check tool's JSON reads them), so that `café.sys` is found and
// printed as the package's author wrote it. UTF-16 and UTF-8 with a
// byte-order mark become UTF-8 on both (DecodeInfText).
std::string InfTextForNames(std::string_view bytes);

}  // namespace varnoll::package
