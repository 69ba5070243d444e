// libFuzzer target: whole files through the setupapi.dev.log reader. Besides
// crashes and sanitizer reports it checks what must hold whatever the bytes:
// every run comes from a header that was counted, and nothing kept grows
// past the reader's line limit.
#include "setupapi_log.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::string& ScratchPath() {
  static const std::string path = "/tmp/varnoll-log-fuzz-" + std::to_string(getpid()) + ".log";
  return path;
}

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "setup log reader: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* out = std::fopen(ScratchPath().c_str(), "wb");
  if (!out) std::abort();
  std::fwrite(data, 1, size, out);
  std::fclose(out);

  size_t runs = 0;
  size_t sections = 0;
  const bool readable = varnoll::check::ReadSetupLog(
      ScratchPath(),
      [&](const varnoll::check::LoggedRun& run) {
        ++runs;
        Require(run.subject.size() <= 4096 && run.infPath.size() <= 4096 && run.time.size() <= 4096,
                "a field longer than a line");
        Require(run.devices.size() <= size, "more devices than bytes");
      },
      sections);
  Require(readable, "a plain file could not be read");
  Require(runs <= sections, "a run without a counted header");
  return 0;
}
