// Finding a package INF's copy in a system INF folder of 2,000 files of mixed
// sizes, as a well-used Windows has: the listing, the size filter, and the
// byte comparison of the files of the same size. Peak memory is reported
// too: the comparison reads blocks, never whole files.
#include "driver_store.h"
#include "test_support.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <string>

namespace varnoll::bench {
namespace {

constexpr int kFiles = 2000;
constexpr size_t kPackageSize = 96 * 1024;
// Files of the package's size but other bytes: each must be compared.
constexpr int kSameSize = 40;

std::string Bytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + seed) % 26);
  // Other files of the same size differ only near their end: the worst case.
  return bytes;
}

struct Store {
  testing::TempFolder package;
  testing::TempFolder system;
  std::string infPath;
  InfFingerprint fingerprint;

  explicit Store(bool withCopy) {
    const std::string inf = Bytes(kPackageSize, 0);
    infPath = package.Write("tarvelix.inf", inf);
    char name[32];
    for (int i = 0; i < kFiles; ++i) {
      std::snprintf(name, sizeof name, "oem%d.inf", i);
      if (i < kSameSize) {
        std::string other = inf;
        other[other.size() - 1 - static_cast<size_t>(i)] = '#';
        system.Write(name, other);
      } else if (withCopy && i == kFiles - 1) {
        system.Write(name, inf);
      } else {
        // 1 KiB to about 300 KiB, never the package's size.
        size_t size = 1024 + (static_cast<size_t>(i) * 7919) % (300 * 1024);
        if (size == kPackageSize) ++size;
        system.Write(name, Bytes(size, static_cast<unsigned>(i)));
      }
    }
    FingerprintFile(infPath, fingerprint);
  }
};

long PeakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void Lookup(benchmark::State& state, bool withCopy) {
  static Store stores[2] = {Store(false), Store(true)};
  const Store& store = stores[withCopy ? 1 : 0];
  for (auto _ : state) {
    const CDriverStore system(store.system.WithSeparator());
    const StoreLookup lookup = system.FindCopyOf(store.infPath, store.fingerprint);
    if (lookup.copies.empty() == withCopy) state.SkipWithError("wrong answer");
    benchmark::DoNotOptimize(lookup);
  }
  state.counters["peak_rss_kib"] = static_cast<double>(PeakRssKib());
}

void BM_FindCopyAmong2000(benchmark::State& state) { Lookup(state, true); }
void BM_NoCopyAmong2000(benchmark::State& state) { Lookup(state, false); }

// A 256 MiB INF and its copy: the time is the reading, the memory stays
// what it was for small files (this runs last, so the peak includes it).
void BM_FindCopyOf256MiB(benchmark::State& state) {
  static testing::TempFolder package;
  static testing::TempFolder system;
  static std::string infPath;
  static InfFingerprint fingerprint;
  if (infPath.empty()) {
    const std::string block = Bytes(1 << 20, 3);
    infPath = package.Write("huge.inf", "");
    std::FILE* inf = std::fopen(infPath.c_str(), "wb");
    std::FILE* copy = std::fopen((system.WithSeparator() + "oem1.inf").c_str(), "wb");
    for (int i = 0; i < 256; ++i) {
      std::fwrite(block.data(), 1, block.size(), inf);
      std::fwrite(block.data(), 1, block.size(), copy);
    }
    std::fclose(inf);
    std::fclose(copy);
    FingerprintFile(infPath, fingerprint);
  }
  for (auto _ : state) {
    const StoreLookup lookup =
        CDriverStore(system.WithSeparator()).FindCopyOf(infPath, fingerprint);
    if (lookup.copies.empty()) state.SkipWithError("the copy was not found");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (int64_t{256} << 20));
  state.counters["peak_rss_kib"] = static_cast<double>(PeakRssKib());
}

BENCHMARK(BM_FindCopyAmong2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoCopyAmong2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindCopyOf256MiB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnoll::bench
BENCHMARK_MAIN();
