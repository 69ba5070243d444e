// A console answers GetConsoleMode; a file, a pipe or NUL does not.
#include "progress.h"

#include <windows.h>

namespace varnoll::fleet {

bool IsTerminal(std::FILE* stream) {
  const HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

}  // namespace varnoll::fleet
