#include "names.h"

#include "platform_files.h"

#include <algorithm>
#include <string>

namespace varnoll {

namespace {

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// The ANSI functions upper-case through UTF-16 and back, so a capital the
// code page lacks may come back as its best fit, an ASCII look-alike: that
// would make two different names one.
bool KeptEveryByteKind(std::string_view before, std::string_view after) {
  return before.size() == after.size() && std::equal(before.begin(), before.end(), after.begin(),
                                                     [](char x, char y) { return IsAscii(x) == IsAscii(y); });
}

std::string UpperCased(std::string_view name) {
  std::string upper(name);
  if (!upper.empty()) CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
  return upper;
}

}  // namespace

bool SameFileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const std::string upperA = UpperCased(a);
  const std::string upperB = UpperCased(b);
  if (!KeptEveryByteKind(a, upperA) || !KeptEveryByteKind(b, upperB)) return a == b;
  return upperA == upperB;
}


}  // namespace varnoll
