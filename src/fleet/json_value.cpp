#include "json_value.h"

#include "utf8.h"

#include <cstdlib>

namespace varnoll::fleet {

namespace {

constexpr int kMaxDepth = 64;

class CJsonParser {
 public:
  explicit CJsonParser(std::string_view text) : text_(text) {}

  bool Parse(JsonValue& value) {
    if (!Value(value, 0)) return false;
    SkipBlanks();
    return position_ == text_.size() || Fail("text after the value");
  }
  const std::string& Problem() const { return problem_; }
  bool Cut() const { return cut_; }

 private:
  bool Fail(const char* problem) {
    if (problem_.empty()) problem_ = problem;
    return false;
  }
  bool End() {
    cut_ = true;
    return Fail("the text ends inside a value");
  }
  void SkipBlanks() {
    while (position_ < text_.size() &&
           (text_[position_] == ' ' || text_[position_] == '\t' || text_[position_] == '\n' || text_[position_] == '\r')) {
      ++position_;
    }
  }
  bool Literal(std::string_view word) {
    const std::string_view rest = text_.substr(position_);
    if (rest.substr(0, word.size()) == word) {
      position_ += word.size();
      return true;
    }
    return word.substr(0, rest.size()) == rest ? End() : Fail("an unknown word");
  }

  bool Value(JsonValue& value, int depth) {
    if (depth > kMaxDepth) return Fail("nested too deep");
    SkipBlanks();
    if (position_ == text_.size()) return End();
    switch (text_[position_]) {
      case '{':
        value.kind = JsonValue::Kind::kObject;
        return Object(value, depth);
      case '[':
        value.kind = JsonValue::Kind::kArray;
        return Array(value, depth);
      case '"':
        value.kind = JsonValue::Kind::kString;
        return String(value.text);
      case 't':
        value.kind = JsonValue::Kind::kBool;
        value.boolean = true;
        return Literal("true");
      case 'f':
        value.kind = JsonValue::Kind::kBool;
        return Literal("false");
      case 'n':
        return Literal("null");
      default:
        value.kind = JsonValue::Kind::kNumber;
        return Number(value.number);
    }
  }

  // After '{' or '[': the items up to the closing bracket.
  template <typename Item>
  bool Items(char close, Item item) {
    ++position_;
    SkipBlanks();
    if (position_ < text_.size() && text_[position_] == close) {
      ++position_;
      return true;
    }
    for (;;) {
      if (!item()) return false;
      SkipBlanks();
      if (position_ == text_.size()) return End();
      const char next = text_[position_++];
      if (next == close) return true;
      if (next != ',') return Fail("a missing comma");
    }
  }

  bool Object(JsonValue& value, int depth) {
    return Items('}', [&] {
      SkipBlanks();
      if (position_ == text_.size()) return End();
      if (text_[position_] != '"') return Fail("a member without a quoted name");
      value.members.emplace_back();
      if (!String(value.members.back().first)) return false;
      SkipBlanks();
      if (position_ == text_.size()) return End();
      if (text_[position_++] != ':') return Fail("a member without a colon");
      return Value(value.members.back().second, depth + 1);
    });
  }

  bool Array(JsonValue& value, int depth) {
    return Items(']', [&] {
      value.items.emplace_back();
      return Value(value.items.back(), depth + 1);
    });
  }

  bool Number(double& number) {
    const size_t start = position_;
    if (position_ < text_.size() && text_[position_] == '-') ++position_;
    while (position_ < text_.size() && std::string_view("0123456789.eE+-").find(text_[position_]) != std::string_view::npos) {
      ++position_;
    }
    const std::string digits(text_.substr(start, position_ - start));
    if (digits.empty() || digits == "-") return Fail("an unknown character");
    char* end = nullptr;
    number = std::strtod(digits.c_str(), &end);
    if (end != digits.c_str() + digits.size()) return Fail("a malformed number");
    // No report or summary line ends in a number: one that ends the text was
    // cut short, perhaps mid-digits.
    return position_ < text_.size() || End();
  }

  bool Hex4(unsigned long& code) {
    if (position_ + 4 > text_.size()) return End();
    code = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[position_++];
      const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                      : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) return Fail("a malformed \\u escape");
      code = code * 16 + static_cast<unsigned long>(digit);
    }
    return true;
  }

  // \uD83D\uDE00 is one character: a surrogate pair; a lone half becomes U+FFFD.
  bool Unicode(std::string& out) {
    unsigned long code = 0;
    if (!Hex4(code)) return false;
    if (code >= 0xD800 && code < 0xDC00 && text_.substr(position_, 2) == "\\u") {
      position_ += 2;
      unsigned long low = 0;
      if (!Hex4(low)) return false;
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
        return true;
      }
      AppendUtf8(out, 0xFFFD);
      code = low;
    }
    AppendUtf8(out, code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
    return true;
  }

  bool String(std::string& out) {
    ++position_;
    for (;;) {
      if (position_ == text_.size()) return End();
      const char c = text_[position_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (position_ == text_.size()) return End();
      const char escape = text_[position_++];
      const std::string_view plain = "\"\\/bfnrt";
      const std::string_view meant = "\"\\/\b\f\n\r\t";
      const size_t at = plain.find(escape);
      if (at != std::string_view::npos) {
        out += meant[at];
      } else if (escape != 'u' || !Unicode(out)) {
        return Fail("a malformed escape");
      }
    }
  }

  std::string_view text_;
  size_t position_ = 0;
  std::string problem_;
  bool cut_ = false;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
  for (const auto& [name, value] : members) {
    if (name == key) return &value;
  }
  return nullptr;
}

std::optional<std::string> JsonValue::StringAt(std::string_view key) const {
  const JsonValue* value = Find(key);
  return value && value->kind == Kind::kString ? std::optional<std::string>(value->text) : std::nullopt;
}

std::optional<bool> JsonValue::BoolAt(std::string_view key) const {
  const JsonValue* value = Find(key);
  return value && value->kind == Kind::kBool ? std::optional<bool>(value->boolean) : std::nullopt;
}

std::optional<long long> JsonValue::NumberAt(std::string_view key) const {
  const JsonValue* value = Find(key);
  if (!value || value->kind != Kind::kNumber || value->number < -9e15 || value->number > 9e15) return std::nullopt;
  const long long whole = static_cast<long long>(value->number);
  return static_cast<double>(whole) == value->number ? std::optional<long long>(whole) : std::nullopt;
}

bool ParseJson(std::string_view text, JsonValue& value, std::string& problem, bool& cut) {
  CJsonParser parser(text);
  value = JsonValue();
  const bool parsed = parser.Parse(value);
  problem = parser.Problem();
  cut = parser.Cut();
  return parsed;
}

}  // namespace varnoll::fleet
