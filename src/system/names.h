// Names as Windows compares them: hardware IDs and file names ignore the
// case of their letters.
#pragma once

#include <string_view>

namespace varnoll {

// Equal but for the case of A to Z.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// Whether two file names (or paths), in the system's ANSI code page, are the
// same to Windows: equal once upper-cased by that code page's rules, as the
// file system ignores the case of every letter, not only A to Z. Where
// upper-casing turns a character into one of another kind (a letter with no
// capital in the code page comes back as an ASCII look-alike), only the same
// bytes match. On Linux, which has no ANSI code page, only a to z fold.
bool SameFileName(std::string_view a, std::string_view b);

// The file-name part of a path, after its last '\' or '/'.
std::string_view FileNameOf(std::string_view path);

}  // namespace varnoll
