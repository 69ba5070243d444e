#include "progress.h"

#include <unistd.h>

namespace varnoll::fleet {

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

}  // namespace varnoll::fleet
