// INF scanning throughput against a plain buffered read of the same bytes,
// in the same run: the ratio of the two is the figure to watch.
#include "hardware_id.h"
#include "synthetic_inf.h"
#include "test_support.h"

#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <cstdio>
#include <map>
#include <memory>

namespace varnoll::bench {
namespace {

// One file per size and shape, made once and kept for the whole run.
const std::string& InfOfSize(size_t bytes, InfShape shape = InfShape::kTypical) {
  static testing::TempFolder folder;
  static std::map<std::pair<size_t, InfShape>, std::string> files;
  auto& path = files[{bytes, shape}];
  if (path.empty()) {
    path = folder.WithSeparator() + "bench-" + std::to_string(bytes) +
           (shape == InfShape::kDense ? "-dense" : "") + ".inf";
    WriteSyntheticInf(path, bytes, shape);
  }
  return path;
}

size_t FileSize(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<size_t>(info.st_size) : 0;
}

void Scan(benchmark::State& state, InfShape shape) {
  const std::string& path = InfOfSize(static_cast<size_t>(state.range(0)), shape);
  std::string hardwareId;
  for (auto _ : state) {
    if (!FindModelHardwareId(path, hardwareId)) state.SkipWithError("no hardware ID found");
    benchmark::DoNotOptimize(hardwareId);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(path)));
}

void BM_ScanInf(benchmark::State& state) { Scan(state, InfShape::kTypical); }
void BM_ScanDenseInf(benchmark::State& state) { Scan(state, InfShape::kDense); }

// What reading the bytes costs at all: 64 KiB freads, each byte summed so
// that the data is really looked at once.
void BM_PlainRead(benchmark::State& state) {
  const std::string& path = InfOfSize(static_cast<size_t>(state.range(0)));
  std::unique_ptr<char[]> block(new char[64 * 1024]);
  for (auto _ : state) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    unsigned sum = 0;
    size_t got;
    while ((got = std::fread(block.get(), 1, 64 * 1024, in)) > 0) {
      for (size_t i = 0; i < got; ++i) sum += static_cast<unsigned char>(block[i]);
    }
    std::fclose(in);
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(path)));
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int64_t kib : {4, 64, 1024, 16 * 1024, 256 * 1024}) b->Arg(kib * 1024);
}

BENCHMARK(BM_ScanInf)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanDenseInf)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainRead)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace varnoll::bench

BENCHMARK_MAIN();
