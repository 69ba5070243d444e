// libFuzzer target: whole files through the INF reader, checked against the
// plain model of the reading rules. Any difference, crash or sanitizer
// report stops the run and keeps the input.
#include "hardware_id.h"
#include "inf_text_stream.h"
#include "logical_line.h"
#include "reference_inf_reader.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string& ScratchPath() {
  static const std::string path = "/tmp/varnoll-fuzz-" + std::to_string(getpid()) + ".inf";
  return path;
}

void Write(const std::string& path, const std::string& bytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
}

std::vector<std::string> ReadAll(const std::string& path, bool onlyWithBracket) {
  varnoll::InfTextStream stream(path.c_str());
  std::vector<std::string> lines;
  std::string line;
  while (onlyWithBracket ? varnoll::ReadLogicalLineContaining(line, stream, ']')
                         : varnoll::ReadLogicalLine(line, stream)) {
    if (!onlyWithBracket || line.find(']') != std::string::npos) lines.push_back(line);
  }
  return lines;
}

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "reader and model differ: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string& path = ScratchPath();
  Write(path, bytes);

  const std::vector<std::string> expected = varnoll::reference::LogicalLines(bytes);
  Require(ReadAll(path, false) == expected, "logical lines");
  std::vector<std::string> withBracket;
  for (const std::string& line : expected) {
    if (line.find(']') != std::string::npos) withBracket.push_back(line);
  }
  Require(ReadAll(path, true) == withBracket, "logical lines holding ']'");

  std::string expectedId = "none";
  std::string actualId = "none";
  const bool expectedFound = varnoll::reference::ModelHardwareId(bytes, expectedId);
  Require(varnoll::FindModelHardwareId(path, actualId) == expectedFound, "whether an ID is found");
  Require(actualId == expectedId, "hardware ID");
  return 0;
}
