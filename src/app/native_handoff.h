// Hands the run from the 32-bit build to the 64-bit one on 64-bit Windows.
#pragma once

#include <string>

namespace varnoll {

// Windows refuses to install drivers from a 32-bit process on 64-bit Windows
// (ERROR_IN_WOW64), so only the 32-bit build ever hands off.
constexpr bool kIs32BitBuild = sizeof(void*) == 4;
constexpr const char kNativeBuildName[] = "varnoll64.exe";

// When `is32BitBuild` and this process runs under WOW64 on an x64 machine,
// starts `directory` + "varnoll64.exe" (no command line, no window), waits
// for it to end and returns true: the caller must then not run its own pass.
// Returns false in every other case, including when the 64-bit build is
// missing or cannot be started.
bool HandOffToNativeBuild(const std::string& directory, bool is32BitBuild = kIs32BitBuild);

}  // namespace varnoll
