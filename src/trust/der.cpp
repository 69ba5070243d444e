#include "der.h"

namespace varnoll {

namespace {

// Lengths past 4 bytes cannot describe anything in a file we read whole.
bool ReadLength(std::string_view bytes, size_t& pos, size_t& length) {
  if (pos >= bytes.size()) return false;
  const uint8_t first = static_cast<uint8_t>(bytes[pos++]);
  if (first < 0x80) {
    length = first;
    return true;
  }
  const int count = first & 0x7F;
  if (count == 0 || count > 4 || bytes.size() - pos < static_cast<size_t>(count)) return false;
  length = 0;
  for (int i = 0; i < count; ++i) length = (length << 8) | static_cast<uint8_t>(bytes[pos++]);
  return true;
}

}  // namespace

size_t DeclaredDerSize(std::string_view prefix) {
  if (prefix.size() < 2 || (static_cast<uint8_t>(prefix[0]) & 0x1F) == 0x1F) return 0;
  size_t pos = 1;
  size_t length = 0;
  if (!ReadLength(prefix, pos, length)) return 0;
  // On 32-bit Windows a 4-byte length could wrap round.
  return length > SIZE_MAX - pos ? SIZE_MAX : pos + length;
}

bool DerReader::Next(DerElement& element) {
  if (failed_ || rest_.empty()) return false;
  size_t pos = 0;
  size_t length = 0;
  const uint8_t tag = static_cast<uint8_t>(rest_[pos++]);
  // High tag numbers (0x1F) and indefinite lengths are not DER.
  if ((tag & 0x1F) == 0x1F || depth_ > kDerMaxDepth || !ReadLength(rest_, pos, length) ||
      rest_.size() - pos < length) {
    failed_ = true;
    rest_ = std::string_view();
    return false;
  }
  element.tag = tag;
  element.whole = rest_.substr(0, pos + length);
  element.contents = rest_.substr(pos, length);
  rest_.remove_prefix(pos + length);
  return true;
}

bool DerReader::NextIf(uint8_t tag, DerElement& element) {
  if (rest_.empty() || static_cast<uint8_t>(rest_[0]) != tag) return false;
  return Next(element);
}

std::string OidText(std::string_view contents) {
  std::string text;
  uint64_t value = 0;
  bool first = true;
  for (size_t i = 0; i < contents.size(); ++i) {
    const uint8_t byte = static_cast<uint8_t>(contents[i]);
    if (value > (UINT64_MAX >> 7)) return std::string();
    value = (value << 7) | (byte & 0x7F);
    if (byte & 0x80) continue;
    if (first) {
      const uint64_t top = value < 40 ? 0 : value < 80 ? 1 : 2;
      text = std::to_string(top) + "." + std::to_string(value - top * 40);
      first = false;
    } else {
      text += "." + std::to_string(value);
    }
    value = 0;
  }
  if (contents.empty() || (static_cast<uint8_t>(contents.back()) & 0x80)) return std::string();
  return text;
}

std::string OidOf(const DerElement& element) {
  return element.tag == kDerOid ? OidText(element.contents) : std::string();
}

std::string IsoTime(const DerElement& time) {
  if (time.tag != kDerUtcTime && time.tag != kDerGeneralizedTime) return std::string();
  std::string digits(time.contents);
  // UTCTime's two-digit years are 1950 to 2049 (RFC 5280).
  if (time.tag == kDerUtcTime && digits.size() >= 12) digits = (digits.substr(0, 2) < "50" ? "20" : "19") + digits;
  if (digits.size() < 14) return std::string();
  return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2) + "T" + digits.substr(8, 2) +
         ":" + digits.substr(10, 2) + ":" + digits.substr(12, 2) + "Z";
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    const unsigned lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    unsigned code = (hi << 8) | lo;
    if (code == 0) break;
    if (code >= 0xD800 && code < 0xE000) code = 0xFFFD;
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

}  // namespace varnoll
