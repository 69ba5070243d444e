#include "driver_store.h"

#include "ascii.h"
#include "digest.h"
#include "names.h"

#include "platform_files.h"
#include "unique_handle.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace varnoll {

namespace {

constexpr DWORD kBlockSize = 64 * 1024;

UniqueFileHandle OpenForReading(const std::string& path) {
  return UniqueFileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Reads up to `size` bytes, fewer only at the end of the file; false on a
// read error.
bool ReadBlock(HANDLE file, char* buffer, DWORD size, DWORD& got) {
  got = 0;
  while (got < size) {
    DWORD step = 0;
    if (!ReadFile(file, buffer + got, size - got, &step, nullptr)) return false;
    if (step == 0) break;
    got += step;
  }
  return true;
}

enum class Comparison { kSame, kDifferent, kCandidateUnreadable, kInfChanged };

// Compares two files of (listed) size `size` block by block.
Comparison CompareFiles(const std::string& infPath, const std::string& candidatePath, std::uint64_t size) {
  const UniqueFileHandle candidate = OpenForReading(candidatePath);
  if (!candidate.IsValid()) return Comparison::kCandidateUnreadable;
  const UniqueFileHandle inf = OpenForReading(infPath);
  if (!inf.IsValid()) return Comparison::kInfChanged;
  const std::unique_ptr<char[]> mine(new char[kBlockSize]);
  const std::unique_ptr<char[]> theirs(new char[kBlockSize]);
  std::uint64_t compared = 0;
  for (;;) {
    DWORD mineGot = 0;
    DWORD theirsGot = 0;
    if (!ReadBlock(inf.Get(), mine.get(), kBlockSize, mineGot)) return Comparison::kInfChanged;
    if (!ReadBlock(candidate.Get(), theirs.get(), kBlockSize, theirsGot))
      return Comparison::kCandidateUnreadable;
    if (mineGot != theirsGot || std::memcmp(mine.get(), theirs.get(), mineGot) != 0) {
      return Comparison::kDifferent;
    }
    compared += mineGot;
    if (mineGot < kBlockSize) break;
  }
  // Both ended together; a file that grew or shrank since it was listed is
  // not the copy that was listed.
  return compared == size ? Comparison::kSame : Comparison::kDifferent;
}

}  // namespace

// When a package is added to the driver store, Windows gives its INF in
// %windir%\INF a name of the form OEM*.inf: oem<N>.inf, N a number
// (Microsoft's "DevCon Dp_delete" page; SetupCopyOEMInf returns that name as
// DestinationInfFileName). Any other file there is Windows' own or was put
// there by hand, and is not a package of the driver store. The long name
// decides: the directory search also matches 8.3 aliases, so
// "oem8.infbackup" is listed for "*.inf".
bool IsPublishedName(const std::string& name) {
  constexpr size_t kPrefix = 3;  // "oem"
  constexpr size_t kSuffix = 4;  // ".inf"
  if (name.size() <= kPrefix + kSuffix) return false;
  if (!EqualIgnoringCase(std::string_view(name).substr(0, kPrefix), "oem") ||
      !EqualIgnoringCase(std::string_view(name).substr(name.size() - kSuffix), ".inf")) {
    return false;
  }
  return std::all_of(name.begin() + kPrefix, name.end() - kSuffix, [](char c) { return c >= '0' && c <= '9'; });
}

bool FingerprintFile(const std::string& path, InfFingerprint& fingerprint) {
  const UniqueFileHandle file = OpenForReading(path);
  if (!file.IsValid()) return false;
  CDigest hash(DigestKind::kSha256);
  if (!hash.IsValid()) return false;
  const std::unique_ptr<char[]> block(new char[kBlockSize]);
  std::uint64_t size = 0;
  DWORD got = 0;
  do {
    if (!ReadBlock(file.Get(), block.get(), kBlockSize, got)) return false;
    hash.Update(block.get(), got);
    size += got;
  } while (got == kBlockSize);
  std::string digest = HexBytes(hash.Finish());
  if (digest.empty()) return false;
  fingerprint.size = size;
  fingerprint.sha256 = std::move(digest);
  return true;
}

CDriverStore::CDriverStore(const std::string& folder) : folder_(folder) {
  WIN32_FIND_DATAA entry;
  const UniqueFindHandle search(FindFirstFileA((folder + "*.inf").c_str(), &entry));
  if (!search.IsValid()) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::uint64_t size = static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32 | entry.nFileSizeLow;
    entries_.push_back({entry.cFileName, size});
  } while (FindNextFileA(search.Get(), &entry));
}

StoreLookup CDriverStore::FindCopyOf(const std::string& infPath, const InfFingerprint& fingerprint) const {
  StoreLookup lookup;
  bool compared = false;
  for (const Entry& entry : entries_) {
    if (entry.size != fingerprint.size) continue;
    const std::string candidate = folder_ + entry.name;
    // The package's own file, when it lies in the system INF folder, is not
    // a copy of itself.
    if (SameFileName(candidate, infPath)) continue;
    const bool published = IsPublishedName(entry.name);
    compared = true;
    switch (CompareFiles(infPath, candidate, entry.size)) {
      case Comparison::kSame:
        (published ? lookup.copies : lookup.otherNames).push_back(entry.name);
        break;
      case Comparison::kDifferent:
        break;
      case Comparison::kCandidateUnreadable:
        if (published) lookup.unreadable.push_back(entry.name);
        break;
      case Comparison::kInfChanged:
        lookup.copies.clear();
        lookup.changedWhileCompared = true;
        return lookup;
    }
  }
  // What was compared must still be what was fingerprinted, or neither a
  // match nor its absence says anything.
  InfFingerprint now;
  if (compared && (!FingerprintFile(infPath, now) || now.sha256 != fingerprint.sha256)) {
    lookup.copies.clear();
    lookup.otherNames.clear();
    lookup.changedWhileCompared = true;
  }
  return lookup;
}

}  // namespace varnoll
