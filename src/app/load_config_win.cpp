// The image's load configuration. Its one purpose: DependentLoadFlags =
// LOAD_LIBRARY_SEARCH_SYSTEM32, so that Windows (10 1607 and later) resolves
// the program's imports from System32 only. newdev.dll and cfgmgr32.dll are
// not KnownDLLs; without this, a DLL of that name planted beside the
// executable would be loaded, with administrator rights, before the first
// line of the program runs. The linker finds the structure by its name; GNU
// ld of this MinGW release ignores it, which is why the build links with lld.
#include "platform_api.h"

namespace {

constexpr IMAGE_LOAD_CONFIG_DIRECTORY MakeLoadConfig() {
  IMAGE_LOAD_CONFIG_DIRECTORY config{};
  config.Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY);
  // Named DependentLoadFlags in newer SDK headers; Reserved1 in these.
  config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
  return config;
}

}  // namespace

extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = MakeLoadConfig();
