// A package file hashed the way Windows looks it up in a catalog: a PE
// image by its Authenticode image hash, any other file by its bytes.
#pragma once

#include "catalog.h"

#include <string>

namespace varnoll::package {

enum class FileState {
  kPresent,
  kMissing,   // no such file or folder
  kNotAFile,  // a folder, a FIFO or a device: nothing Windows would copy
  kUnreadable,
};

struct FileHash {
  FileState state = FileState::kMissing;
  bool peImage = false;
  std::string sha1;    // raw; empty unless asked for and read
  std::string sha256;
};

// How a file's line endings are taken before hashing: as read, or turned
// to CR LF or to LF, as git's checkout and commit turn a text file's.
enum class LineEndings { kAsRead, kCrlf, kLf };

// Reads `path` once, in blocks, computing the digests asked for. With other
// `endings` than kAsRead, a file that is no PE image is hashed as if its
// line endings were those (a PE image is hashed as read).
FileHash HashPackageFile(const std::string& path, bool sha1, bool sha256,
                         LineEndings endings = LineEndings::kAsRead);

// Where a PE image's Authenticode hash skips bytes, from its headers; false
// for anything that is no PE image. Exposed for the tests.
struct PeLayout {
  size_t checksum = 0;     // 4 bytes
  size_t certEntry = 0;    // 8 bytes: the certificate table's directory entry
  size_t certTable = 0;    // the table itself, at the end of the file
  size_t certSize = 0;
};
bool ReadPeLayout(const unsigned char* header, size_t size, PeLayout& layout);

}  // namespace varnoll::package
