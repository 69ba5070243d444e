// The system's own ANSI code page, through UTF-16.
#include "text_encoding.h"

#include <windows.h>

#include <climits>
#include <vector>

namespace varnoll::check {

std::string AnsiToUtf8(const std::string& ansi) {
  // Each ANSI byte becomes at most one UTF-16 unit, and that at most three
  // UTF-8 bytes.
  if (ansi.empty() || ansi.size() > INT_MAX / 3) return std::string();
  const int length = static_cast<int>(ansi.size());
  std::vector<wchar_t> wide(ansi.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), length);
  if (units <= 0) return std::string();
  std::string out(static_cast<size_t>(units) * 3, '\0');
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &out[0], static_cast<int>(out.size()),
                                        nullptr, nullptr);
  out.resize(bytes > 0 ? static_cast<size_t>(bytes) : 0);
  return out;
}

}  // namespace varnoll::check
