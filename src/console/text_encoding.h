// Turning the installer's ANSI strings into UTF-8 for JSON.
#pragma once

#include <string>

namespace varnoll::check {

// The bytes of `ansi`, read in the system's ANSI code page, as UTF-8; the
// result is always valid UTF-8. On Windows the system converts them: a byte
// its code page does not define becomes what that code page maps it to (the
// code page's default character, or in Windows-1252 the control character of
// the same number). Linux has no ANSI code page: there the bytes are read as
// Windows-1252, and the five bytes it does not define become U+FFFD.
std::string AnsiToUtf8(const std::string& ansi);

}  // namespace varnoll::check
