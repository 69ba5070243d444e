#include "inf_document.h"

#include "names.h"
#include "utf8.h"

namespace varnoll::package {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\n' || c == '\r' || c == '\x1a'; }

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    unsigned unit = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      const unsigned low = static_cast<unsigned char>(bytes[i + 2]) | (static_cast<unsigned char>(bytes[i + 3]) << 8);
      if (low >= 0xDC00 && low < 0xE000) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    // A lone surrogate cannot be UTF-8: it becomes U+FFFD.
    AppendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
  }
  return out;
}

// Builds one line field by field; whitespace around a field goes, except
// inside quotes.
class LineBuilder {
 public:
  void Char(char c, bool quoted) {
    if (!quoted && IsBlank(c) && current_.empty() && !sawQuote_) return;
    current_ += c;
    if (quoted) kept_ = current_.size();
  }
  void Quote() { sawQuote_ = true; kept_ = current_.size(); }
  void Comma() { EndField(); }
  bool Equals() {
    if (line_.key || !line_.fields.empty()) return false;
    line_.key = Trimmed();
    Reset();
    afterEquals_ = true;
    return true;
  }
  // The line, or none when it held nothing.
  std::optional<InfLine> Finish() {
    if (!current_.empty() || sawQuote_ || !line_.fields.empty() || afterEquals_ || line_.key) EndField();
    InfLine line = std::move(line_);
    line_ = InfLine();
    afterEquals_ = false;
    if (!line.key && (line.fields.empty() || (line.fields.size() == 1 && line.fields[0].empty())))
      return std::nullopt;
    return line;
  }

 private:
  std::string Trimmed() {
    size_t end = current_.size();
    while (end > kept_ && IsBlank(current_[end - 1])) --end;
    return current_.substr(0, end);
  }
  void EndField() {
    line_.fields.push_back(Trimmed());
    Reset();
  }
  void Reset() {
    current_.clear();
    kept_ = 0;
    sawQuote_ = false;
  }

  InfLine line_;
  std::string current_;
  size_t kept_ = 0;
  bool sawQuote_ = false;
  bool afterEquals_ = false;
};

// Whether a `\` at `pos` ends its line: only blanks follow before the line
// end. Returns where the next line starts.
bool IsContinuation(std::string_view text, size_t pos, size_t& next) {
  size_t at = pos + 1;
  while (at < text.size() && IsBlank(text[at])) ++at;
  if (at < text.size() && !IsLineEnd(text[at])) return false;
  if (at < text.size() && text[at] == '\r') ++at;
  if (at < text.size() && text[at] == '\n') ++at;
  next = at;
  return true;
}

size_t SkipToLineEnd(std::string_view text, size_t pos) {
  while (pos < text.size() && !IsLineEnd(text[pos])) ++pos;
  return pos;
}

// Reads one logical line from `pos` into `builder`; returns where the next
// physical line starts.
size_t ReadLine(std::string_view text, size_t pos, LineBuilder& builder) {
  bool quoted = false;
  while (pos < text.size()) {
    const char c = text[pos];
    if (IsLineEnd(c)) break;
    if (quoted) {
      if (c == '"' && pos + 1 < text.size() && text[pos + 1] == '"') {
        builder.Char('"', true);
        pos += 2;
      } else if (c == '"') {
        quoted = false;
        builder.Quote();
        ++pos;
      } else {
        builder.Char(c, true);
        ++pos;
      }
      continue;
    }
    size_t next = 0;
    if (c == ';') {
      pos = SkipToLineEnd(text, pos);
      break;
    } else if (c == '"') {
      quoted = true;
      builder.Quote();
    } else if (c == '\\' && IsContinuation(text, pos, next)) {
      pos = next;
      continue;
    } else if (c == ',') {
      builder.Comma();
    } else if (c != '=' || !builder.Equals()) {
      builder.Char(c, false);
    }
    ++pos;
  }
  while (pos < text.size() && IsLineEnd(text[pos])) ++pos;
  return pos;
}

// `[name]`, with anything after the bracket ignored; none when the line is
// no section header.
std::optional<std::string> SectionHeader(std::string_view text, size_t& pos) {
  if (text[pos] != '[') return std::nullopt;
  const size_t end = text.find(']', pos + 1);
  const size_t lineEnd = SkipToLineEnd(text, pos);
  if (end == std::string_view::npos || end > lineEnd) return std::nullopt;
  std::string name(text.substr(pos + 1, end - pos - 1));
  while (!name.empty() && IsBlank(name.back())) name.pop_back();
  size_t first = 0;
  while (first < name.size() && IsBlank(name[first])) ++first;
  pos = lineEnd;
  while (pos < text.size() && IsLineEnd(text[pos])) ++pos;
  return name.substr(first);
}

std::string Substitute(const std::string& value, const std::vector<InfLine>* strings) {
  if (value.find('%') == std::string::npos || strings == nullptr) return value;
  std::string out;
  for (size_t pos = 0; pos < value.size();) {
    const size_t close = value[pos] == '%' ? value.find('%', pos + 1) : std::string::npos;
    if (close == std::string::npos) {
      out += value[pos++];
      continue;
    }
    const std::string_view token(value.data() + pos + 1, close - pos - 1);
    std::optional<std::string> replacement;
    if (token.empty()) replacement = "%";
    for (const InfLine& line : *strings) {
      if (replacement) break;
      if (line.key && EqualIgnoringCase(*line.key, token) && !line.fields.empty()) replacement = line.fields[0];
    }
    out += replacement ? *replacement : std::string(value, pos, close - pos + 1);
    pos = close + 1;
  }
  return out;
}

}  // namespace

std::vector<InfLine>& InfDocument::AddSection(std::string_view name) {
  for (NamedSection& section : sections_) {
    if (EqualIgnoringCase(section.name, name)) return section.lines;
  }
  sections_.push_back({std::string(name), {}});
  return sections_.back().lines;
}

const std::vector<InfLine>* InfDocument::Section(std::string_view name) const {
  for (const NamedSection& section : sections_) {
    if (EqualIgnoringCase(section.name, name)) return &section.lines;
  }
  return nullptr;
}

std::optional<std::string> InfDocument::Value(std::string_view section, std::string_view key) const {
  const std::vector<InfLine>* lines = Section(section);
  if (lines == nullptr) return std::nullopt;
  for (const InfLine& line : *lines) {
    if (line.key && EqualIgnoringCase(*line.key, key)) {
      return line.fields.empty() ? std::string() : line.fields[0];
    }
  }
  return std::nullopt;
}

std::vector<std::string> InfDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const NamedSection& section : sections_) names.push_back(section.name);
  return names;
}

std::string DecodeInfText(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return Utf16LeToUtf8(bytes.substr(2));
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  return std::string(bytes);
}

InfDocument ReadInfDocument(std::string_view text) {
  InfDocument document;
  std::vector<InfLine>* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && (IsBlank(text[pos]) || IsLineEnd(text[pos]))) ++pos;
    if (pos >= text.size()) break;
    if (std::optional<std::string> name = SectionHeader(text, pos)) {
      current = &document.AddSection(*name);
      continue;
    }
    LineBuilder builder;
    pos = ReadLine(text, pos, builder);
    std::optional<InfLine> line = builder.Finish();
    // Lines before the first section belong to none, as Windows reads them.
    if (line && current != nullptr) current->push_back(std::move(*line));
  }
  // [Strings] is read as written; every other section gets its tokens.
  const std::vector<InfLine>* strings = document.Section("Strings");
  for (const std::string& name : document.SectionNames()) {
    if (EqualIgnoringCase(name, "Strings")) continue;
    for (InfLine& line : document.AddSection(name)) {
      if (line.key) {
        std::string key = Substitute(*line.key, strings);
        line.keyFromToken = key != *line.key && line.key->find("%%") == std::string::npos;
        line.key = std::move(key);
      }
      for (std::string& field : line.fields) field = Substitute(field, strings);
    }
  }
  return document;
}

}  // namespace varnoll::package
