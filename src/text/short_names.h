// How Windows' directory search matches a name: '*' and '?' against the
// long name and against the 8.3 short name Windows gives it. The Linux file
// side lists folders by these rules, and the check tool's notes use them to
// tell a name that matches "*.inf" only through its short name.
#pragma once

#include "ascii.h"

#include <string>

namespace varnoll {

// '*' and '?' wildcards, case-insensitive, as the Windows search matches
// names.
inline bool MatchesPattern(const char* name, const char* pattern) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') {
    for (const char* rest = name;; ++rest) {
      if (MatchesPattern(rest, pattern + 1)) return true;
      if (*rest == '\0') return false;
    }
  }
  if (*name == '\0') return false;
  if (*pattern != '?' && LowerAscii(*name) != LowerAscii(*pattern)) return false;
  return MatchesPattern(name + 1, pattern + 1);
}

// One 8.3 part: blanks and dots dropped, characters 8.3 names cannot hold
// replaced, upper case, at most `length` characters.
inline std::string ShortNamePart(const std::string& text, size_t length) {
  std::string part;
  for (const char c : text) {
    if (part.size() == length) break;
    if (c == ' ' || c == '.') continue;
    part += std::string("+,;=[]").find(c) == std::string::npos ? UpperAscii(c) : '_';
  }
  return part;
}

// The 8.3 short name Windows gives `name` on a volume that makes them (the
// default on system volumes): NAME~1.EXT from the first six characters of
// the part before the last dot and the first three after it. Empty when the
// long name is a valid short name itself. The "~1" may be "~2" and so on in
// a real folder, which no pattern the programs use can tell apart.
inline std::string ShortNameAlias(const std::string& name) {
  const size_t dot = name.rfind('.');
  const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  // Case does not count: b.inf is its own short name.
  const auto isShortPart = [](const std::string& part, size_t length) {
    std::string upper = part;
    for (char& c : upper) c = UpperAscii(c);
    return part.size() <= length && ShortNamePart(part, length) == upper;
  };
  if (!base.empty() && isShortPart(base, 8) && isShortPart(extension, 3)) return std::string();
  const std::string shortBase = ShortNamePart(base, 6);
  if (shortBase.empty()) return std::string();
  const std::string shortExtension = ShortNamePart(extension, 3);
  return shortBase + "~1" + (shortExtension.empty() ? "" : "." + shortExtension);
}

// Windows' search matches a pattern against the long name and the short
// name of each entry.
inline bool MatchesSearch(const std::string& name, const std::string& mask) {
  if (MatchesPattern(name.c_str(), mask.c_str())) return true;
  const std::string alias = ShortNameAlias(name);
  return !alias.empty() && MatchesPattern(alias.c_str(), mask.c_str());
}

// Whether Windows lists `name` for `mask` only through its 8.3 short name
// (model.infx is MODEL~1.INF for "*.inf"): a volume without 8.3 names does
// not list it.
inline bool MatchesOnlyThroughShortName(const std::string& name, const std::string& mask) {
  return !MatchesPattern(name.c_str(), mask.c_str()) && MatchesSearch(name, mask);
}

}  // namespace varnoll
