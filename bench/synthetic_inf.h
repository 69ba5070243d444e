// Synthetic INF files for the benchmarks.
#pragma once

#include <cstddef>
#include <string>

namespace varnoll::bench {

// Writes an INF of about `bytes` bytes to `path`: sections, keys, comments,
// blank lines and continuations as real INFs have them, with the marked
// models section at the very end, so a scan reads everything.
void WriteSyntheticInf(const std::string& path, size_t bytes);

}  // namespace varnoll::bench
