// A JSON text read into values, for the fleet reader: the check tool's
// summary lines and reports come back through it. Small and strict: RFC 8259
// syntax, UTF-8 text, nesting bounded.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varnoll::fleet {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // a string's UTF-8
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;  // in the text's order

  // The member named `key` of an object, or null.
  const JsonValue* Find(std::string_view key) const;
  // The member's value as a string, a bool, a whole number; none when it is
  // absent, null or of another kind.
  std::optional<std::string> StringAt(std::string_view key) const;
  std::optional<bool> BoolAt(std::string_view key) const;
  std::optional<long long> NumberAt(std::string_view key) const;
};

// Reads `text` as one JSON value, white space around it allowed. False, with
// a few words in `problem`, when it is not one; `cut` then says whether the
// text ended before the value did (a line cut short).
bool ParseJson(std::string_view text, JsonValue& value, std::string& problem, bool& cut);

}  // namespace varnoll::fleet
