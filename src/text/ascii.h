// ASCII case and hex digits, the one way every part of the programs folds
// and prints them: Windows compares hardware IDs, section names and setup
// log keywords without regard to the case of A to Z, whatever the code page.
#pragma once

#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

namespace varnoll {

constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Equal but for the case of A to Z.
inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

inline bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

inline bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
  for (size_t i = 0; i + word.size() <= text.size(); ++i) {
    if (EqualIgnoringCase(text.substr(i, word.size()), word)) return true;
  }
  return false;
}

// `size` bytes as lower-case hex digits, two a byte (digests).
inline std::string HexBytes(const unsigned char* bytes, size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}

inline std::string HexBytes(const std::string& bytes) {
  return HexBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// A Windows error or status code as Windows prints it: "0x" and eight
// upper-case hex digits ("0xE000020B").
inline std::string HexCode(unsigned long value) {
  char digits[16];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value, 16);
  std::string text(digits, end.ptr);
  for (char& c : text) c = UpperAscii(c);
  return "0x" + std::string(text.size() < 8 ? 8 - text.size() : 0, '0') + text;
}

}  // namespace varnoll
