// Synthetic INF files for the benchmarks.
#pragma once

#include <cstddef>
#include <string>

namespace varnoll::bench {

enum class InfShape {
  // Sections of a header and a few dozen lines, as modem INFs have them.
  kTypical,
  // A section header on every other line: the worst case for the scan,
  // which must look at every line that holds ']'.
  kDense,
};

// Writes an INF of about `bytes` bytes to `path`, with the marked models
// section at the very end, so a scan reads everything.
void WriteSyntheticInf(const std::string& path, size_t bytes, InfShape shape = InfShape::kTypical);

}  // namespace varnoll::bench
