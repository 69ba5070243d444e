#include "json_writer.h"

#include "text_encoding.h"

#include <charconv>

namespace varnoll {

void CJsonWriter::Separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasItems_.empty()) {
    if (hasItems_.back()) out_ += breakIndent_ || compact_ ? "," : ", ";
    hasItems_.back() = true;
  }
  if (breakIndent_) {
    out_ += '\n';
    out_.append(static_cast<size_t>(*breakIndent_), ' ');
    breakIndent_.reset();
  }
}

void CJsonWriter::Value(std::string_view json) {
  Separate();
  out_ += json;
}

CJsonWriter& CJsonWriter::Open(char bracket) {
  Separate();
  out_ += bracket;
  hasItems_.push_back(false);
  return *this;
}

CJsonWriter& CJsonWriter::Close(char bracket) {
  if (breakIndent_) {
    out_ += '\n';
    out_.append(static_cast<size_t>(*breakIndent_), ' ');
    breakIndent_.reset();
  }
  out_ += bracket;
  if (!hasItems_.empty()) hasItems_.pop_back();
  return *this;
}

CJsonWriter& CJsonWriter::Key(std::string_view name) {
  Separate();
  out_ += JsonString(name);
  out_ += compact_ ? ":" : ": ";
  afterKey_ = true;
  return *this;
}

CJsonWriter& CJsonWriter::String(std::string_view utf8) {
  Value(JsonString(utf8));
  return *this;
}

CJsonWriter& CJsonWriter::Ansi(const std::string& ansi) { return String(check::AnsiToUtf8(ansi)); }

CJsonWriter& CJsonWriter::Ansi(const std::optional<std::string>& ansi) { return ansi ? Ansi(*ansi) : Null(); }

CJsonWriter& CJsonWriter::AnsiList(const std::vector<std::string>& ansi) {
  BeginArray();
  for (const std::string& item : ansi) Ansi(item);
  return EndArray();
}

CJsonWriter& CJsonWriter::Bool(bool value) {
  Value(value ? "true" : "false");
  return *this;
}

CJsonWriter& CJsonWriter::Bool(const std::optional<bool>& value) { return value ? Bool(*value) : Null(); }

CJsonWriter& CJsonWriter::Number(long long value) {
  char digits[24];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
  Value(std::string_view(digits, static_cast<size_t>(end.ptr - digits)));
  return *this;
}

CJsonWriter& CJsonWriter::Null() {
  Value("null");
  return *this;
}

CJsonWriter& CJsonWriter::Raw(std::string_view json) {
  Value(json);
  return *this;
}

CJsonWriter& CJsonWriter::Break(int indent) {
  breakIndent_ = indent;
  return *this;
}

std::string CJsonWriter::Finish() { return out_ + "\n"; }

std::string JsonString(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace varnoll
