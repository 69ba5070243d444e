// The image's load configuration. Its one purpose: DependentLoadFlags =
// LOAD_LIBRARY_SEARCH_SYSTEM32, so that Windows (10 1607 and later) resolves
// the program's imports from System32 only. newdev.dll and cfgmgr32.dll are
// not KnownDLLs; without this, a DLL of that name planted beside the
// executable would be loaded, with administrator rights, before the first
// line of the program runs. The linker finds the structure by its name; GNU
// ld of this MinGW release ignores it, which is why the build links with lld.
#include "platform_process.h"

namespace {

// The field is named DependentLoadFlags in newer headers and Reserved1 in
// older ones; the builds use both kinds.
template <typename Config>
constexpr auto SetDependentLoadFlags(Config& config, int) -> decltype(config.DependentLoadFlags = 0, void()) {
  config.DependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32;
}

template <typename Config>
constexpr void SetDependentLoadFlags(Config& config, long) {
  config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
}

constexpr IMAGE_LOAD_CONFIG_DIRECTORY MakeLoadConfig() {
  IMAGE_LOAD_CONFIG_DIRECTORY config{};
  config.Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY);
  SetDependentLoadFlags(config, 0);
  return config;
}

}  // namespace

extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = MakeLoadConfig();
