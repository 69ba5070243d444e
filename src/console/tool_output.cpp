#include "tool_output.h"

namespace varnoll {

void Write(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

int UsageError(const char* program, const std::string& problem, int status) {
  Write(stderr, std::string(program) + ": " + problem + " (" + program + " --help tells the usage)\n");
  return status;
}

}  // namespace varnoll
