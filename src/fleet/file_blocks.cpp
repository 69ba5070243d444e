#include "file_blocks.h"

namespace varnoll::fleet {

namespace {

constexpr DWORD kBlockSize = 64 * 1024;

}  // namespace

CFileBlocks::CFileBlocks(const std::string& path)
    : file_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {
  if (file_.IsValid()) block_.reset(new char[kBlockSize]);
}

std::string_view CFileBlocks::Next() {
  if (!file_.IsValid() || failed_) return std::string_view();
  DWORD read = 0;
  if (!ReadFile(file_.Get(), block_.get(), kBlockSize, &read, nullptr)) {
    failed_ = true;
    return std::string_view();
  }
  return std::string_view(block_.get(), read);
}

bool ReadWholeFile(const std::string& path, size_t limit, std::string& text, bool& tooLong) {
  text.clear();
  tooLong = false;
  CFileBlocks blocks(path);
  if (!blocks.IsOpen()) return false;
  for (std::string_view block = blocks.Next(); !block.empty(); block = blocks.Next()) {
    if (text.size() + block.size() > limit) {
      tooLong = true;
      return false;
    }
    text.append(block);
  }
  return !blocks.Failed();
}

}  // namespace varnoll::fleet
