#include "inf_text_stream.h"

#include <algorithm>
#include <cstring>

namespace varnoll {

namespace {

constexpr char kEndOfFile = '\x1A';

}  // namespace

InfTextStream::InfTextStream(const char* path)
    : file_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {
  if (file_.IsValid()) block_.reset(new char[kBlockSize]);
}

bool InfTextStream::Refill() {
  if (atEnd_ || !file_.IsValid()) return false;
  DWORD got = 0;
  if (!ReadFile(file_.Get(), block_.get(), static_cast<DWORD>(kBlockSize), &got, nullptr) || got == 0) {
    atEnd_ = true;
    return false;
  }
  position_ = 0;
  end_ = got;
  nextNul_.known = false;
  nextEndOfFile_.known = false;
  for (NextByte& next : nextSkipStop_) next.known = false;
  return true;
}

size_t InfTextStream::Find(NextByte& next, size_t from) {
  if (!next.known || next.at < from) {
    const void* found = std::memchr(block_.get() + from, next.byte, end_ - from);
    next.at = found ? static_cast<size_t>(static_cast<const char*>(found) - block_.get()) : end_;
    next.known = true;
  }
  return next.at;
}

std::string_view InfTextStream::Peek() {
  if (position_ == end_ && !Refill()) return std::string_view();
  return std::string_view(block_.get() + position_, end_ - position_);
}

bool InfTextStream::NextPhysicalLine(std::string_view& text) {
  if (position_ == end_ && !Refill()) return false;
  return TakeSimpleLine(text) || TakeLineByRules(text);
}

void InfTextStream::SkipLinesWithout(char first, char second) {
  if (position_ == end_) return;
  nextSkipStop_[0].known &= nextSkipStop_[0].byte == first;
  nextSkipStop_[1].known &= nextSkipStop_[1].byte == second;
  nextSkipStop_[0].byte = first;
  nextSkipStop_[1].byte = second;
  // 0x1A ends the input, so no line is passed over beyond it.
  const size_t stop = std::min({Find(nextSkipStop_[0], position_), Find(nextSkipStop_[1], position_),
                                Find(nextEndOfFile_, position_)});
  // The physical line holding `stop` starts after the last line feed before
  // it, plus whole 198-character parts of a longer line. A carriage return
  // before a line feed is dropped, but that changes no count after the feed.
  size_t lineStart = stop;
  while (lineStart > position_ && block_[lineStart - 1] != '\n') --lineStart;
  position_ = lineStart + (stop - lineStart) / kMaxPhysicalLine * kMaxPhysicalLine;
}

// The common case, taken straight from the block: the whole line and its
// line feed are there, no 0x1A comes before it, and it fits. A carriage
// return may stand right before the line feed; both are left out of `text`,
// as they would be trimmed anyway.
bool InfTextStream::TakeSimpleLine(std::string_view& text) {
  const char* start = block_.get() + position_;
  // 198 characters, a carriage return and the line feed.
  const size_t window = std::min(end_ - position_, kMaxPhysicalLine + 1);
  const char* lineFeed = static_cast<const char*>(std::memchr(start, '\n', window));
  if (!lineFeed) return false;
  const size_t raw = static_cast<size_t>(lineFeed - start) + 1;
  const bool crLf = raw >= 2 && lineFeed[-1] == '\r';
  if ((crLf ? raw - 1 : raw) > kMaxPhysicalLine) return false;
  if (Find(nextEndOfFile_, position_) < position_ + raw) return false;

  const size_t nul = Find(nextNul_, position_);
  size_t length = crLf ? raw - 2 : raw - 1;
  if (nul < position_ + length) length = nul - position_;
  text = std::string_view(start, length);
  position_ += raw;
  return true;
}

// Everything else, one character at a time: long lines, line ends split
// between blocks, 0x1A. False when 0x1A comes before any character.
bool InfTextStream::TakeLineByRules(std::string_view& text) {
  size_t length = 0;
  while (length < kMaxPhysicalLine) {
    if (position_ == end_ && !Refill()) break;
    const char c = block_[position_++];
    if (c == kEndOfFile) {
      atEnd_ = true;
      end_ = position_;
      break;
    }
    if (c == '\r') {
      if (position_ == end_) Refill();
      if (position_ < end_ && block_[position_] == '\n') {
        ++position_;
        line_[length++] = '\n';
        break;
      }
    }
    line_[length++] = c;
    if (c == '\n') break;
  }
  if (length == 0) return false;
  line_[length] = '\0';
  size_t textLength = std::strlen(line_);
  if (textLength == length && textLength > 0 && line_[textLength - 1] == '\n') --textLength;
  text = std::string_view(line_, textLength);
  return true;
}

}  // namespace varnoll
