#include "logical_line.h"

#include "ansi_text.h"
#include "inf_text_stream.h"

namespace varnoll {

namespace {

// Reads physical lines until one has content, and returns it trimmed; false at
// the end of the input. The text of a physical line ends at its first NUL.
bool ReadContentLine(InfTextStream& stream, std::string& text) {
  char buffer[kLineBufferSize];
  while (stream.ReadPhysicalLine(buffer) != 0) {
    text.assign(buffer);
    TrimLeft(text);
    TrimRight(text);
    if (!text.empty() && text.front() != ';') return true;
  }
  return false;
}

// Removes a trailing continuation mark, and any blanks before it, and says
// whether there was one.
bool StripContinuation(std::string& text) {
  if (text.back() != '\\') return false;
  text.pop_back();
  TrimRight(text);
  return true;
}

}  // namespace

bool ReadLogicalLine(std::string& line, InfTextStream& stream) {
  line.clear();
  std::string text;
  if (!ReadContentLine(stream, text)) return false;
  bool continued = StripContinuation(text);
  line += text;
  while (continued && ReadContentLine(stream, text)) {
    continued = StripContinuation(text);
    line += text;
  }
  return true;
}

}  // namespace varnoll
