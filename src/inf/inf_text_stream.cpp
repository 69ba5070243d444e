#include "inf_text_stream.h"

#include <algorithm>
#include <cstring>

namespace varnoll {

namespace {

constexpr char kEndOfFile = '\x1A';

}  // namespace

InfTextStream::InfTextStream(const char* path)
    : file_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr)) {
  if (file_.IsValid()) block_.reset(new char[kBlockSize]);
}

bool InfTextStream::Refill() {
  if (atEnd_ || !file_.IsValid()) return false;
  DWORD got = 0;
  if (!ReadFile(file_.Get(), block_.get(), static_cast<DWORD>(kBlockSize),
                &got, nullptr) ||
      got == 0) {
    // A read error ends the input like the end of the file: never retry.
    atEnd_ = true;
    return false;
  }
  position_ = 0;
  end_ = got;
  return true;
}

size_t InfTextStream::ReadPhysicalLine(char (&buffer)[kLineBufferSize]) {
  size_t length = 0;
  while (length < kMaxPhysicalLine) {
    if (position_ == end_ && !Refill()) break;

    // Copy the run of ordinary characters in one go; stop at the first byte
    // that needs a rule of its own.
    const char* run = block_.get() + position_;
    const size_t window = std::min(kMaxPhysicalLine - length, end_ - position_);
    size_t plain = 0;
    while (plain < window && run[plain] != '\n' && run[plain] != '\r' &&
           run[plain] != kEndOfFile) {
      ++plain;
    }
    std::memcpy(buffer + length, run, plain);
    length += plain;
    position_ += plain;
    if (plain == window) continue;

    const char special = block_[position_++];
    if (special == kEndOfFile) {
      atEnd_ = true;
      end_ = position_;
      break;
    }
    if (special == '\r') {
      if (position_ == end_) Refill();
      if (position_ < end_ && block_[position_] == '\n') {
        ++position_;
        buffer[length++] = '\n';
        break;
      }
      buffer[length++] = '\r';
      continue;
    }
    buffer[length++] = '\n';
    break;
  }
  buffer[length] = '\0';
  return length;
}

}  // namespace varnoll
