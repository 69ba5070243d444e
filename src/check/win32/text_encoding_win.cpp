// The system's own ANSI code page, through UTF-16.
#include "platform_api.h"
#include "text_encoding.h"

#include <climits>
#include <vector>

namespace varnoll::check {

std::string AnsiToUtf8(const std::string& ansi) {
  if (ansi.empty() || ansi.size() > INT_MAX / 4) return std::string();
  const int length = static_cast<int>(ansi.size());
  // Bytes the code page does not define become its default character, never
  // an invalid sequence.
  const int wide = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  if (wide <= 0) return std::string();
  std::vector<wchar_t> text(static_cast<size_t>(wide));
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, text.data(), wide);
  std::string out;
  for (int i = 0; i < wide; ++i) {
    unsigned codePoint = text[static_cast<size_t>(i)];
    if (codePoint >= 0xD800 && codePoint < 0xDC00 && i + 1 < wide && text[static_cast<size_t>(i) + 1] >= 0xDC00 &&
        text[static_cast<size_t>(i) + 1] < 0xE000) {
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[static_cast<size_t>(++i)] - 0xDC00);
    } else if (codePoint >= 0xD800 && codePoint < 0xE000) {
      codePoint = 0xFFFD;
    }
    AppendUtf8(out, codePoint);
  }
  return out;
}

}  // namespace varnoll::check
