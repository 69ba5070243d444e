// The package check hashing one large driver file: a PE image of SIZE MiB
// (512 by default) hashed as Windows looks it up in a SHA-256 catalog
// (Authenticode), against a plain read of the same bytes in the same
// blocks, both from the page cache; then the process's peak memory.
//   package_hash_peak [SIZE_MIB] [DIR]
#include "file_hash.h"
#include "unique_handle.h"

#include <sys/resource.h>

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
  std::fclose(out);
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

double Hash(const std::string& path, bool& pe) {
  const auto start = std::chrono::steady_clock::now();
  const varnoll::package::FileHash hash = varnoll::package::HashPackageFile(path, false, true);
  pe = hash.peImage && hash.sha256.size() == 32;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 512;
  const std::string path = std::string(argc > 2 ? argv[2] : "/tmp") + "/varnoll-bench-driver.sys";
  WriteImage(path, mib);
  PlainRead(path);  // into the page cache
  double read = 1e9;
  double hash = 1e9;
  bool pe = false;
  for (int run = 0; run < 3; ++run) {
    read = std::min(read, PlainRead(path));
    hash = std::min(hash, Hash(path, pe));
  }
  std::remove(path.c_str());
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("| %zu MiB | %.0f MB/s | %.0f MB/s | %.0f %% | %s | %.1f MiB |\n", mib, mib * 1.048576 / read,
              mib * 1.048576 / hash, 100.0 * read / hash, pe ? "yes" : "NO", usage.ru_maxrss / 1024.0);
  return 0;
}
