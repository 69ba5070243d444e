// Linux has no ANSI code page: INF bytes are read as Windows-1252, the code
// page of most of the machines these files are written on.
#include "text_encoding.h"

namespace varnoll::check {

namespace {

// 0x80 to 0x9F; 0 where Windows-1252 defines no character.
constexpr unsigned short kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                              0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Every code point here is below U+10000.
void AppendUtf8(std::string& out, unsigned codePoint) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

}  // namespace

std::string AnsiToUtf8(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (const char c : ansi) {
    const unsigned byte = static_cast<unsigned char>(c);
    unsigned codePoint = byte;
    if (byte >= 0x80 && byte < 0xA0)
      codePoint = kHighControls[byte - 0x80] ? kHighControls[byte - 0x80] : 0xFFFD;
    AppendUtf8(out, codePoint);
  }
  return out;
}

}  // namespace varnoll::check
