// Finding an INF file's copies in the system INF folder (%windir%\INF),
// where Windows publishes every INF it stages, under a name of the form
// oem<N>.inf. Windows recognises a package it already has by its bytes, and
// so does this lookup. Read only: every file is opened for reading, shared.
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

// Whether `name` (a long file name, not a path) is one Windows gives a
// package it publishes: "oem", one or more digits, ".inf", in any case.
bool IsPublishedName(const std::string& name);

// What looking for one INF's copies came to.
struct StoreLookup {
  // Every published package with the same bytes, in listing order: a package
  // published again keeps its bytes under a new name.
  std::vector<std::string> copies;
  // Files with the same bytes under any other name (an INF copied there by
  // hand, or one of Windows' own): not packages of the driver store.
  std::vector<std::string> otherNames;
  // Published packages of the same size that could not be read (locked,
  // gone): not compared, so a copy may be among them.
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

  // The copies of the INF at `infPath`, whose fingerprint is `fingerprint`:
  // sizes are compared first, then bytes, block by block, so memory does not
  // grow with the files.
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
