// The whole pass over folders of INF files through the host stand-in: time
// per file, which should not change with the number of files.
#include "inf_discovery.h"
#include "standin.h"
#include "test_support.h"
#include "varnoll_app.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace varnoll::bench {
namespace {

// A folder of `count` INFs, made once: every tenth names a present device,
// the rest are pre-installed.
const testing::TempFolder& FolderOf(int64_t count) {
  static std::map<int64_t, testing::TempFolder> folders;
  auto [entry, made] = folders.try_emplace(count);
  if (made) {
    char name[32];
    for (int64_t i = 0; i < count; ++i) {
      std::snprintf(name, sizeof name, "modem%06lld.inf", static_cast<long long>(i));
      entry->second.Write(name,
                          "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Modem\r\n"
                          "[Manufacturer]\r\n%Mfg%=Tarvelix\r\n[Tarvelix]\r\n"
                          "%Modem%=Modem_Install, PCI\\VEN_1F2E&DEV_" +
                              std::to_string(i % 10 == 0 ? 1 : 2) +
                              "\r\n[Modem_Install]\r\n"
                              "AddReg=Modem.AddReg\r\n");
    }
  }
  return entry->second;
}

void BM_InstallPass(benchmark::State& state) {
  const testing::TempFolder& folder = FolderOf(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    standin::Reset();
    standin::Current().modulePath = folder.WithSeparator() + "varnoll64.exe";
    standin::Current().presentHardwareIds = {"PCI\\VEN_1F2E&DEV_1"};
    state.ResumeTiming();
    CVarnollApp app;
    benchmark::DoNotOptimize(app.Run());
  }
  if (standin::DeviceCalls().size() < static_cast<size_t>(state.range(0))) {
    state.SkipWithError("the pass made fewer calls than there are files");
  }
  state.counters["per_file"] =
      benchmark::Counter(static_cast<double>(state.range(0)),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_InstallPass)->Arg(1000)->Arg(2500)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnoll::bench

BENCHMARK_MAIN();
