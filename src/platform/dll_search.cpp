#include "dll_search.h"

#include "platform_process.h"
#include "system_function.h"

namespace varnoll {

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

bool RestrictDllSearchToSystem32() {
  const auto setDefaultDllDirectories =
      FindKernel32Function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
  if (setDefaultDllDirectories != nullptr && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return true;
  }
  SetDllDirectoryW(L"");
  return false;
}

}  // namespace varnoll
