// The hand-off of the console tools, which pass their arguments on and end
// with the native build's exit status; apart from the installer's, which has
// neither.
#include "native_handoff.h"

namespace varnoll {

bool HandOffToNativeBuild(const std::string& directory, const std::string& program,
                          const std::string& arguments, unsigned long& exitCode, Machine thisBuild) {
  return StartNativeBuild(directory, program, &arguments, exitCode, thisBuild);
}

std::string QuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
    } else {
      // Backslashes before a quote escape it: double them, and escape it.
      if (c == '"') quoted.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    quoted += c;
  }
  // The closing quote must not be escaped by the argument's own trailing
  // backslashes.
  quoted.append(backslashes, '\\');
  return quoted + "\"";
}

}  // namespace varnoll
