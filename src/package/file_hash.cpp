#include "file_hash.h"

#include "digest.h"
#include "unique_handle.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace varnoll::package {

namespace {

uint32_t Le32(const unsigned char* at) { return at[0] | (at[1] << 8) | (at[2] << 16) | (uint32_t(at[3]) << 24); }
uint16_t Le16(const unsigned char* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

constexpr size_t kBlock = 1u << 20;

// The digests of one file: flat ones over every byte, or the Authenticode
// ones over the bytes the layout keeps.
class CFileDigests {
 public:
  CFileDigests(bool sha1, bool sha256) {
    if (sha1) sha1_ = std::make_unique<CDigest>(DigestKind::kSha1);
    if (sha256) sha256_ = std::make_unique<CDigest>(DigestKind::kSha256);
  }
  void Update(const unsigned char* data, size_t size) {
    if (sha1_) sha1_->Update(data, size);
    if (sha256_) sha256_->Update(data, size);
  }
  // `data` lies at `offset` in the file; the layout's ranges are left out.
  void UpdateImage(const PeLayout& layout, size_t offset, const unsigned char* data, size_t size) {
    const std::pair<size_t, size_t> skips[] = {{layout.checksum, 4},
                                               {layout.certEntry, 8},
                                               {layout.certTable, layout.certSize}};
    size_t at = 0;
    while (at < size) {
      size_t end = size;
      bool skipped = false;
      for (const auto& [start, length] : skips) {
        if (length == 0) continue;
        const size_t here = offset + at;
        if (here >= start && here < start + length) {
          at = std::min(size, start + length - offset);
          skipped = true;
          break;
        }
        if (start > here) end = std::min(end, start - offset);
      }
      if (skipped) continue;
      Update(data + at, end - at);
      at = end;
    }
  }
  void Finish(FileHash& hash) {
    if (sha1_) hash.sha1 = sha1_->Finish();
    if (sha256_) hash.sha256 = sha256_->Finish();
  }

 private:
  std::unique_ptr<CDigest> sha1_;
  std::unique_ptr<CDigest> sha256_;
};

// Turns line endings block by block; a CR at the end of a block waits for
// the next byte.
class CLineEndings {
 public:
  explicit CLineEndings(LineEndings to) : to_(to) {}
  // The block's bytes with their line endings turned.
  const std::string& Turn(const unsigned char* data, size_t size) {
    out_.clear();
    for (size_t i = 0; i < size; ++i) Byte(static_cast<char>(data[i]));
    return out_;
  }
  const std::string& Finish() {
    out_.clear();
    if (pendingCr_) out_ += '\r';
    pendingCr_ = false;
    return out_;
  }

 private:
  void Byte(char c) {
    if (to_ == LineEndings::kCrlf) {
      if (c == '\n' && !lastCr_) out_ += '\r';
      out_ += c;
      lastCr_ = c == '\r';
      return;
    }
    if (pendingCr_ && c != '\n') out_ += '\r';
    pendingCr_ = c == '\r';
    if (!pendingCr_) out_ += c;
  }

  LineEndings to_;
  std::string out_;
  bool lastCr_ = false;
  bool pendingCr_ = false;
};

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

}  // namespace

// The layout of the headers, as the Authenticode PE format describes them:
// the checksum and the certificate table's directory entry sit at fixed
// places of the optional header, whose magic tells PE32 from PE32+.
bool ReadPeLayout(const unsigned char* header, size_t size, PeLayout& layout) {
  if (size < 0x40 || header[0] != 'M' || header[1] != 'Z') return false;
  const size_t pe = Le32(header + 0x3C);
  if (pe > size || size - pe < 24 || Le32(header + pe) != 0x00004550) return false;
  const size_t optional = pe + 24;
  const size_t optionalSize = Le16(header + pe + 20);
  if (optionalSize < 2 || size - optional < optionalSize) return false;
  const uint16_t magic = Le16(header + optional);
  const size_t directories = magic == 0x20B ? 112 : magic == 0x10B ? 96 : 0;
  if (directories == 0 || optionalSize < directories + 5 * 8) return false;
  if (Le32(header + optional + directories - 4) < 5) return false;  // NumberOfRvaAndSizes
  PeLayout read;
  read.checksum = optional + 64;
  read.certEntry = optional + directories + 4 * 8;
  read.certTable = Le32(header + read.certEntry);
  read.certSize = Le32(header + read.certEntry + 4);
  if (read.certSize == 0 || read.certTable == 0) read.certTable = read.certSize = 0;
  layout = read;
  return true;
}

FileHash HashPackageFile(const std::string& path, bool sha1, bool sha256, LineEndings endings) {
  FileHash hash;
  UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) {
    const DWORD error = GetLastError();
    // ERROR_PATH_NOT_FOUND (3): a folder on the way is missing.
    hash.state = error == ERROR_FILE_NOT_FOUND || error == 3 ? FileState::kMissing : FileState::kNotAFile;
    return hash;
  }
  std::vector<unsigned char> block(kBlock);
  CFileDigests digests(sha1, sha256);
  PeLayout layout;
  CLineEndings turned(endings);
  size_t offset = 0;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), block.data(), static_cast<DWORD>(block.size()), &read, nullptr)) {
      hash.state = FileState::kUnreadable;
      return hash;
    }
    if (read == 0) break;
    if (offset == 0) hash.peImage = ReadPeLayout(block.data(), read, layout);
    if (hash.peImage) {
      digests.UpdateImage(layout, offset, block.data(), read);
    } else if (endings != LineEndings::kAsRead) {
      const std::string& text = turned.Turn(block.data(), read);
      digests.Update(Bytes(text), text.size());
    } else {
      digests.Update(block.data(), read);
    }
    offset += read;
  }
  // An image without a certificate table is hashed as the signing tools
  // hash it: padded with zeros to a multiple of 8 bytes, the alignment a
  // certificate table would start at.
  const std::string& rest = turned.Finish();
  if (!hash.peImage) digests.Update(Bytes(rest), rest.size());
  if (hash.peImage && layout.certSize == 0 && offset % 8 != 0) {
    const unsigned char zeros[8] = {};
    digests.Update(zeros, 8 - offset % 8);
  }
  digests.Finish(hash);
  hash.state = FileState::kPresent;
  return hash;
}

}  // namespace varnoll::package
