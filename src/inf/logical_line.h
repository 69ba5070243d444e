// Joins physical INF lines into logical lines.
#pragma once

#include <string>

namespace varnoll {

class InfTextStream;

// Reads the next logical line into `line`: blank lines and lines whose first
// non-blank character is ';' are skipped, each physical line is trimmed on
// both ends, and a line whose last character is '\' is joined, without a
// separator, to the next content line. Returns false, with `line` empty, when
// the input ends before any content line. When the input ends inside a
// continued line, the text gathered so far is the logical line.
bool ReadLogicalLine(std::string& line, InfTextStream& stream);

// The same, but passes over logical lines that cannot contain `wanted`
// without building them: a line that is one physical line is looked at in
// place. Scanning a large INF for one section costs little this way.
bool ReadLogicalLineContaining(std::string& line, InfTextStream& stream, char wanted);

}  // namespace varnoll
