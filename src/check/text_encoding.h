// Turning the installer's ANSI strings into UTF-8 for JSON.
#pragma once

#include <string>

namespace varnoll::check {

// The bytes of `ansi`, read in the system's ANSI code page (Windows-1252
// where there is none, on Linux), as UTF-8. A byte the code page does not
// define becomes U+FFFD, so the result is always valid UTF-8.
std::string AnsiToUtf8(const std::string& ansi);

// Appends the UTF-8 form of `codePoint`.
void AppendUtf8(std::string& out, unsigned codePoint);

}  // namespace varnoll::check
