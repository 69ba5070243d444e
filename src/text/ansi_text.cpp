#include "ansi_text.h"

#include "platform_files.h"

#include <algorithm>
#include <limits>

namespace varnoll {

bool IsBlank(char c) {
  switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
      return true;
    default:
      return false;
  }
}

std::string_view TrimLeft(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  return text.substr(first);
}

std::string_view TrimRight(std::string_view text) {
  size_t length = text.size();
  while (length > 0 && IsBlank(text[length - 1])) --length;
  return text.substr(0, length);
}

std::string_view FileNameOf(std::string_view path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

void UpperCaseAnsi(std::string& text) {
  // CharUpperBuffA takes a DWORD count; a logical line can in principle be
  // longer, so convert in slices.
  constexpr size_t kSlice = std::numeric_limits<DWORD>::max() / 2;
  for (size_t done = 0; done < text.size(); done += kSlice) {
    const size_t count = std::min(kSlice, text.size() - done);
    CharUpperBuffA(&text[done], static_cast<DWORD>(count));
  }
}

}  // namespace varnoll
