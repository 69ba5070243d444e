// Reads a setupapi.dev.log as the check tool does, and the same bytes with a
// plain buffered read, in one run: time of each, sections found, and the
// process's peak resident memory after each.
//   log_scan_peak LOG
#include "setupapi_log.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

long PeakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  auto start = std::chrono::steady_clock::now();
  std::FILE* file = std::fopen(argv[1], "rb");
  if (!file) return 1;
  std::vector<char> block(64 * 1024);
  unsigned long long bytes = 0;
  unsigned long long sum = 0;
  for (size_t got; (got = std::fread(block.data(), 1, block.size(), file)) > 0;) {
    bytes += got;
    for (size_t i = 0; i < got; ++i) sum += static_cast<unsigned char>(block[i]);
  }
  std::fclose(file);
  const double plain = Seconds(start);
  const long plainPeak = PeakRssKib();

  start = std::chrono::steady_clock::now();
  size_t sections = 0;
  size_t runs = 0;
  varnoll::check::ReadSetupLog(
      argv[1], [&](const varnoll::check::LoggedRun&) { ++runs; }, sections);
  const double reader = Seconds(start);
  std::printf("%llu bytes (checksum %llu)\n", bytes, sum % 1000);
  std::printf("plain read: %.2f s, %.0f MB/s, peak %ld KiB\n", plain, bytes / plain / 1e6, plainPeak);
  std::printf("log reader: %.2f s, %.0f MB/s, %zu sections, %zu runs of the two calls, peak %ld KiB\n",
              reader, bytes / reader / 1e6, sections, runs, PeakRssKib());
  std::printf("reader / plain: %.0f %%\n", 100 * plain / reader);
  return 0;
}
