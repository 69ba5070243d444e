// Reads an INF file as a text stream, one physical line at a time, with the
// same rules on every build: a carriage return directly before a line feed is
// dropped, a lone carriage return stays, and byte 0x1A ends the input. A
// physical line ends after a line feed or after 198 characters. The C
// runtime's text mode is not used, so the host and Windows builds agree.
#pragma once

#include "unique_handle.h"

#include <cstddef>
#include <memory>
#include <string_view>

namespace varnoll {

// A physical line holds at most 198 characters: what the line reader has
// always read through its 200-byte buffer.
constexpr size_t kLineBufferSize = 200;
constexpr size_t kMaxPhysicalLine = kLineBufferSize - 2;

class InfTextStream {
 public:
  // Opens `path` for reading only, letting other processes read and write it.
  // A directory or a file that cannot be opened leaves the stream closed.
  explicit InfTextStream(const char* path);

  bool IsOpen() const { return file_.IsValid(); }

  // Reads the next physical line and sets `text` to its characters up to the
  // first NUL, without the line feed that ends it. The view is valid until
  // the next call. Returns false at the end of the input or on a read error,
  // which also ends the input: it is never retried.
  bool NextPhysicalLine(std::string_view& text);

  // From the start of a physical line, passes over the whole physical lines
  // of the current block in which neither `first` nor `second` occurs, in
  // one step; stops at the start of the physical line that holds one of
  // them, or of the last, unfinished line of the block. A caller looking for
  // lines that hold `first` or end with `second` loses nothing.
  void SkipLinesWithout(char first, char second);

  // The bytes of the current read block not yet taken as lines, reading the
  // first block if none was read yet; raw, before any text rule. Valid until
  // the next call.
  std::string_view Peek();

 private:
  // Where the next `byte` at or after `from` is in the block (end_ if none),
  // remembered so that each block is searched for it about once.
  struct NextByte {
    char byte;
    size_t at = 0;
    bool known = false;
  };
  size_t Find(NextByte& next, size_t from);

  bool Refill();
  bool TakeSimpleLine(std::string_view& text);
  bool TakeLineByRules(std::string_view& text);

  static constexpr size_t kBlockSize = size_t{64} * 1024;

  UniqueFileHandle file_;
  std::unique_ptr<char[]> block_;
  size_t position_ = 0;
  size_t end_ = 0;
  bool atEnd_ = false;
  NextByte nextNul_{'\0'};
  NextByte nextEndOfFile_{'\x1A'};
  NextByte nextSkipStop_[2] = {{'\0'}, {'\0'}};
  char line_[kLineBufferSize] = {};
};

}  // namespace varnoll
