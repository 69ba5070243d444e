// Writes one JSON document as a string, for the console tools' --json: keys
// and values in order, the separators and escapes JSON needs, and line
// breaks only where the caller asks for them, so that the layout stays what
// scripts and people already see.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoll {

class CJsonWriter {
 public:
  CJsonWriter() = default;
  // Compact: no space after a comma or a colon, for output whose length is
  // counted (the check tool's summary line).
  struct Compact {};
  explicit CJsonWriter(Compact) : compact_(true) {}

  CJsonWriter& BeginObject() { return Open('{'); }
  CJsonWriter& EndObject() { return Close('}'); }
  CJsonWriter& BeginArray() { return Open('['); }
  CJsonWriter& EndArray() { return Close(']'); }

  // The next member's name, inside an object.
  CJsonWriter& Key(std::string_view name);

  // Values. Strings are UTF-8; Ansi() converts from the ANSI code page first.
  CJsonWriter& String(std::string_view utf8);
  CJsonWriter& Ansi(const std::string& ansi);
  CJsonWriter& Ansi(const std::optional<std::string>& ansi);  // null when absent
  CJsonWriter& AnsiList(const std::vector<std::string>& ansi);
  CJsonWriter& Bool(bool value);
  CJsonWriter& Bool(const std::optional<bool>& value);  // null when absent
  CJsonWriter& Number(long long value);
  CJsonWriter& Null();
  // A value another writer already made (well-formed JSON).
  CJsonWriter& Raw(std::string_view json);

  // The next member or element, or the closing bracket, starts on a line of
  // its own, indented by `indent` spaces.
  CJsonWriter& Break(int indent);

  // The document, with a final line feed.
  std::string Finish();

 private:
  CJsonWriter& Open(char bracket);
  CJsonWriter& Close(char bracket);
  // Before a member or element: the comma and the space or line break.
  void Separate();
  void Value(std::string_view json);

  std::string out_;
  std::vector<bool> hasItems_;  // per open container
  bool afterKey_ = false;
  std::optional<int> breakIndent_;
  bool compact_ = false;
};

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

}  // namespace varnoll
