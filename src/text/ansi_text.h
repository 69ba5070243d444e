// Byte-string helpers with the exact rules INF reading depends on, and that
// reading logs and paths shares.
#pragma once

#include <string>
#include <string_view>

namespace varnoll {

// Space, tab, line feed, vertical tab, form feed and carriage return; no byte
// of 0x80 or above, whatever the locale says.
bool IsBlank(char c);

std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);
inline std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

// The file-name part of a path, after its last '\' or '/'.
std::string_view FileNameOf(std::string_view path);

// Upper-cases in place by the rules of the system's ANSI code page; the
// letters a to z always become A to Z.
void UpperCaseAnsi(std::string& text);

}  // namespace varnoll
