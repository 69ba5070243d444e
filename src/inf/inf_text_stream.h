// Reads an INF file as a text stream, one physical line at a time, with the
// same rules on every build: a carriage return directly before a line feed is
// dropped, a lone carriage return stays, and byte 0x1A ends the input. The C
// runtime's text mode is not used, so the host and Windows builds agree.
#pragma once

#include "unique_handle.h"

#include <cstddef>
#include <memory>

namespace varnoll {

// The physical line buffer: 198 characters and a terminating NUL, with room
// to spare, as the line reader has always used.
constexpr size_t kLineBufferSize = 200;
constexpr size_t kMaxPhysicalLine = kLineBufferSize - 2;

class InfTextStream {
 public:
  // Opens `path` for reading only, letting other processes read and write it.
  // A directory or a file that cannot be opened leaves the stream closed.
  explicit InfTextStream(const char* path);

  bool IsOpen() const { return file_.IsValid(); }

  // Reads up to kMaxPhysicalLine characters into `buffer`, stopping after a
  // line feed (which is kept); NUL-terminates. Returns the number of
  // characters read, which may include NUL bytes; 0 at end of input or on a
  // read error, with `buffer` holding an empty string.
  size_t ReadPhysicalLine(char (&buffer)[kLineBufferSize]);

 private:
  bool Refill();

  static constexpr size_t kBlockSize = 64 * 1024;

  UniqueFileHandle file_;
  std::unique_ptr<char[]> block_;
  size_t position_ = 0;
  size_t end_ = 0;
  bool atEnd_ = false;
};

}  // namespace varnoll
