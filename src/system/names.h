// Names as Windows compares them: hardware IDs ignore the case of A to Z
// (EqualIgnoringCase, in ascii.h), file names the case of every letter.
#pragma once

#include "ansi_text.h"
#include "ascii.h"

#include <string_view>

namespace varnoll {

// Whether two file names (or paths), in the system's ANSI code page, are the
// same to Windows: equal once upper-cased by that code page's rules, as the
// file system ignores the case of every letter, not only A to Z. Where
// upper-casing turns a character into one of another kind (a letter with no
// capital in the code page comes back as an ASCII look-alike), only the same
// bytes match. On Linux, which has no ANSI code page, only a to z fold.
bool SameFileName(std::string_view a, std::string_view b);

}  // namespace varnoll
