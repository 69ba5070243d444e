#include "csv_reader.h"

namespace varnoll::fleet {

void CCsvReader::Start(std::string_view first) {
  started_ = true;
  if (first.substr(0, 3) == "\xEF\xBB\xBF") {
    position_ = 3;
  } else if (first.substr(0, 2) == "\xFF\xFE" || first.substr(0, 2) == "\xFE\xFF") {
    utf16_ = true;
    return;
  }
  const std::string_view line = first.substr(position_, first.find('\n', position_) - position_);
  if (line.find(',') == std::string_view::npos && line.find(';') != std::string_view::npos) delimiter_ = ';';
}

bool CCsvReader::Refill() {
  if (utf16_) return false;
  block_ = blocks_.Next();
  position_ = 0;
  if (block_.empty()) return false;
  if (!started_) Start(block_);
  return !utf16_ && position_ < block_.size();
}

int CCsvReader::Peek() {
  if (position_ == block_.size() && !Refill()) return -1;
  return static_cast<unsigned char>(block_[position_]);
}

int CCsvReader::Get() {
  const int c = Peek();
  if (c >= 0) ++position_;
  return c;
}

CCsvReader::Status CCsvReader::Next(std::vector<std::string>& fields) {
  fields.assign(1, std::string());
  recordLine_ = line_;
  size_t size = 0;
  bool any = false;
  bool quoted = false;  // inside a quoted field
  bool tooLong = false;
  const auto append = [&](char c) {
    if (++size > kMaxRecord) tooLong = true;
    if (!tooLong) fields.back() += c;
  };
  for (;;) {
    const int c = Get();
    if (c < 0) {
      if (quoted) return Status::kUnterminated;
      if (!any) return Status::kEnd;
      return tooLong ? Status::kTooLong : Status::kRecord;
    }
    any = true;
    if (quoted) {
      if (c == '"' && Peek() == '"') {
        Get();
        append('"');
      } else if (c == '"') {
        quoted = false;
      } else {
        if (c == '\n') ++line_;
        append(static_cast<char>(c));
      }
    } else if (c == '"' && fields.back().empty()) {
      quoted = true;
    } else if (c == delimiter_) {
      if (!tooLong) fields.emplace_back();
    } else if (c == '\n' || c == '\r') {
      // CR LF, LF or a lone CR ends the record.
      if (c == '\r' && Peek() == '\n') Get();
      ++line_;
      return tooLong ? Status::kTooLong : Status::kRecord;
    } else {
      append(static_cast<char>(c));
    }
  }
}

}  // namespace varnoll::fleet
