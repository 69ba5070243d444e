// A file read front to back in blocks, through the platform's file calls,
// so that memory stays the same however large the file is.
#pragma once

#include "unique_handle.h"

#include <memory>
#include <string>
#include <string_view>

namespace varnoll::fleet {

class CFileBlocks {
 public:
  explicit CFileBlocks(const std::string& path);

  bool IsOpen() const { return file_.IsValid(); }
  // The next block, empty at the end; `failed` says whether a read failed
  // there.
  std::string_view Next();
  bool Failed() const { return failed_; }

 private:
  UniqueFileHandle file_;
  std::unique_ptr<char[]> block_;
  bool failed_ = false;
};

// Reads the whole of `path` into `text`; false when it cannot be opened or
// read, or is longer than `limit` (then `tooLong`).
bool ReadWholeFile(const std::string& path, size_t limit, std::string& text, bool& tooLong);

}  // namespace varnoll::fleet
