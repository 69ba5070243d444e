#include "ansi_text.h"

#include "platform_api.h"

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

void TrimLeft(std::string& text) {
  const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
  text.erase(text.begin(), first);
}

void TrimRight(std::string& text) {
  const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank);
  text.erase(last.base(), text.end());
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
