// A deployment console's CSV export read record by record (RFC 4180): quoted
// fields with doubled quotes and line breaks inside, CR LF or LF line ends,
// a UTF-8 byte-order mark, and the semicolon that some locales' exports use
// instead of the comma (taken when the first line holds no comma). Memory
// stays the same however long the file: a record longer than the limit is
// read to its end and reported, not kept.
#pragma once

#include "file_blocks.h"

#include <string>
#include <vector>

namespace varnoll::fleet {

class CCsvReader {
 public:
  // A record's size limit: a summary line is at most 2,048 bytes, and an
  // export's other columns add little.
  static constexpr size_t kMaxRecord = 1 << 20;

  explicit CCsvReader(const std::string& path) : blocks_(path) {}

  bool IsOpen() const { return blocks_.IsOpen(); }

  enum class Status {
    kRecord,        // `fields` holds the next record
    kTooLong,       // a record over kMaxRecord, read past and dropped
    kUnterminated,  // the file ended inside a quoted field: the record is cut
    kEnd,           // no more records
  };
  Status Next(std::vector<std::string>& fields);

  // The line the last record started on, counted from 1.
  size_t RecordLine() const { return recordLine_; }
  // The file starts with a UTF-16 byte-order mark: its text is not UTF-8.
  bool Utf16() const { return utf16_; }
  // A read failed before the end of the file.
  bool Failed() const { return blocks_.Failed(); }

 private:
  int Get();
  int Peek();
  bool Refill();
  void Start(std::string_view first);

  CFileBlocks blocks_;
  std::string_view block_;
  size_t position_ = 0;
  bool started_ = false;
  bool utf16_ = false;
  char delimiter_ = ',';
  size_t line_ = 1;
  size_t recordLine_ = 0;
};

}  // namespace varnoll::fleet
