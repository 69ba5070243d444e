// Finding an INF file's copy in the system INF folder (%windir%\INF), where
// Windows publishes every INF it stages (as oemN.inf; under Wine by its own
// name). Windows recognises a package it already has by its bytes, and so
// does this lookup. Read only: every file is opened for reading, shared.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varnoll {

// An INF file's bytes, summed up: how many, and their SHA-256.
struct InfFingerprint {
  std::uint64_t size = 0;
  std::string sha256;  // 64 lower-case hex digits
};

// Reads the file at `path` in blocks. False when it cannot be opened or
// read, or is not a file; `fingerprint` is then left as it was.
bool FingerprintFile(const std::string& path, InfFingerprint& fingerprint);

// What looking for one INF's copy came to.
struct StoreLookup {
  std::optional<std::string> publishedName;  // the first file, in listing order, with the same bytes
  // Files of the same size that could not be read (locked, gone): not
  // compared, so the copy may be among them.
  std::vector<std::string> unreadable;
  // The INF itself changed while it was compared (its bytes differ from its
  // fingerprint): the answer is not to be trusted.
  bool changedWhileCompared = false;
};

class CDriverStore {
 public:
  // Lists the "*.inf" files of `folder` (with its trailing separator) once,
  // with their sizes.
  explicit CDriverStore(const std::string& folder);

  // The published copy of the INF at `infPath`, whose fingerprint is
  // `fingerprint`: sizes are compared first, then bytes, block by block,
  // so memory does not grow with the files.
  StoreLookup FindCopyOf(const std::string& infPath, const InfFingerprint& fingerprint) const;

  // How many INF files the folder holds.
  size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string name;
    std::uint64_t size;
  };
  std::string folder_;
  std::vector<Entry> entries_;
};

}  // namespace varnoll
