#include "logical_line.h"

#include "ansi_text.h"
#include "inf_text_stream.h"

#include <string_view>

namespace varnoll {

namespace {

// Reads physical lines until one has content, and sets `text` to it,
// trimmed; false at the end of the input.
bool NextContentLine(InfTextStream& stream, std::string_view& text) {
  while (stream.NextPhysicalLine(text)) {
    text = Trim(text);
    if (!text.empty() && text.front() != ';') return true;
  }
  return false;
}

// Removes a trailing continuation mark, and any blanks before it, and says
// whether there was one.
bool StripContinuation(std::string_view& text) {
  if (text.back() != '\\') return false;
  text = TrimRight(text.substr(0, text.size() - 1));
  return true;
}

// With `wanted` < 0, every logical line is built.
bool ReadLogicalLineImpl(std::string& line, InfTextStream& stream, int wanted) {
  line.clear();
  std::string_view text;
  bool continued = false;
  do {
    // Lines without `wanted` and without a continuation mark are single
    // logical lines that cannot contain it.
    if (wanted >= 0) stream.SkipLinesWithout(static_cast<char>(wanted), '\\');
    if (!NextContentLine(stream, text)) return false;
    continued = StripContinuation(text);
  } while (!continued && wanted >= 0 && text.find(static_cast<char>(wanted)) == std::string_view::npos);
  // Each view is appended before the next read replaces it.
  line.append(text);
  while (continued && NextContentLine(stream, text)) {
    continued = StripContinuation(text);
    line.append(text);
  }
  return true;
}

}  // namespace

bool ReadLogicalLine(std::string& line, InfTextStream& stream) {
  return ReadLogicalLineImpl(line, stream, -1);
}

bool ReadLogicalLineContaining(std::string& line, InfTextStream& stream, char wanted) {
  return ReadLogicalLineImpl(line, stream, static_cast<unsigned char>(wanted));
}

}  // namespace varnoll
