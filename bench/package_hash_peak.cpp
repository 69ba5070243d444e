// The package check hashing one large driver file: a PE image of SIZE MiB
// (512 by default) hashed as Windows looks it up in a SHA-256 catalog
// (Authenticode), against a raw read of the same bytes in the same blocks:
// once from the disk (the file's pages dropped from the page cache before
// each run) and once from the page cache; then the process's peak memory.
//   package_hash_peak [SIZE_MIB] [DIR]
#include "file_hash.h"
#include "unique_handle.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A minimal PE32+ header in the first 512 bytes, then pseudo-random bytes.
void WriteImage(const std::string& path, size_t mib) {
  std::vector<unsigned char> block(1u << 20);
  unsigned state = 12345;
  for (unsigned char& byte : block) byte = static_cast<unsigned char>((state = state * 1103515245u + 12345u) >> 16);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::exit(2);
  for (size_t i = 0; i < mib; ++i) {
    if (i == 0) {
      std::fill(block.begin(), block.begin() + 0x200, 0);
      block[0] = 'M';
      block[1] = 'Z';
      block[0x3C] = 0x40;
      block[0x40] = 'P';
      block[0x41] = 'E';
      block[0x40 + 20] = 240;
      block[0x40 + 24] = 0x0B;
      block[0x40 + 25] = 0x02;
      block[0x40 + 24 + 108] = 16;
    }
    std::fwrite(block.data(), 1, block.size(), out);
  }
  std::fflush(out);
  fsync(fileno(out));
  std::fclose(out);
}

// Drops the file's pages from the page cache (they are clean: written and
// synced), so the next read comes from the disk.
void Evict(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0 || posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) != 0) std::exit(2);
  close(fd);
}

double PlainRead(const std::string& path) {
  const auto start = std::chrono::steady_clock::now();
  varnoll::UniqueFileHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::vector<unsigned char> block(1u << 20);
  unsigned long long sum = 0;
  DWORD read = 0;
  while (ReadFile(file.Get(), block.data(), static_cast<DWORD>(block.size()), &read, nullptr) && read > 0) {
    sum += block[read - 1];
  }
  if (sum == 1) std::printf(" ");
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A raw read: unbuffered (O_DIRECT, as FILE_FLAG_NO_BUFFERING on Windows),
// straight from the disk into an aligned block, the page cache bypassed.
// Negative where the file system has no such reads (tmpfs).
double RawRead(const std::string& path) {
  const auto start = std::chrono::steady_clock::now();
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECT);
  if (fd < 0) return -1;
  void* block = nullptr;
  if (posix_memalign(&block, 4096, 1u << 20) != 0) std::exit(2);
  unsigned long long sum = 0;
  ssize_t got = 0;
  while ((got = read(fd, block, 1u << 20)) > 0) sum += static_cast<unsigned char*>(block)[got - 1];
  if (got < 0) std::exit(2);
  if (sum == 1) std::printf(" ");
  close(fd);
  std::free(block);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Hash(const std::string& path, bool& pe) {
  const auto start = std::chrono::steady_clock::now();
  const varnoll::package::FileHash hash = varnoll::package::HashPackageFile(path, false, true);
  pe = hash.peImage && hash.sha256.size() == 32;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Best {
  double read = 1e9;
  double hash = 1e9;
};

void Row(const char* source, size_t mib, const Best& best, bool pe) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("| %zu MiB | %s | %.0f MB/s | %.0f MB/s | %.0f %% | %s | %.1f MiB |\n", mib, source,
              mib * 1.048576 / best.read, mib * 1.048576 / best.hash, 100.0 * best.read / best.hash, pe ? "yes" : "NO",
              usage.ru_maxrss / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 512;
  const std::string path = std::string(argc > 2 ? argv[2] : "/tmp") + "/varnoll-bench-driver.sys";
  WriteImage(path, mib);
  bool pe = false;
  Best raw;
  Best disk;
  for (int run = 0; run < 3; ++run) {
    Evict(path);
    raw.read = std::min(raw.read, RawRead(path));
    Evict(path);
    disk.read = std::min(disk.read, PlainRead(path));
    Evict(path);
    disk.hash = raw.hash = std::min(disk.hash, Hash(path, pe));
  }
  if (raw.read > 0) {
    Row("disk, unbuffered", mib, raw, pe);
  } else {
    std::printf("| %zu MiB | disk, unbuffered | (no unbuffered reads on this file system) |\n", mib);
  }
  Row("disk, buffered", mib, disk, pe);
  PlainRead(path);  // into the page cache
  Best cache;
  for (int run = 0; run < 3; ++run) {
    cache.read = std::min(cache.read, PlainRead(path));
    cache.hash = std::min(cache.hash, Hash(path, pe));
  }
  Row("page cache", mib, cache, pe);
  std::remove(path.c_str());
  return 0;
}
