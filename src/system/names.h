// Names as Windows compares them: hardware IDs and file names ignore the
// case of their letters.
#pragma once

#include <string_view>

namespace varnoll {

// Equal but for the case of A to Z.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// Whether two file names are the same to Windows.
inline bool SameFileName(std::string_view a, std::string_view b) { return EqualIgnoringCase(a, b); }

// The file-name part of a path, after its last '\' or '/'.
std::string_view FileNameOf(std::string_view path);

}  // namespace varnoll
