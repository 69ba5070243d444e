#include "native_handoff.h"

#include "platform_api.h"
#include "unique_handle.h"

namespace varnoll {

namespace {

bool RunsUnderWow64OnX64() {
  BOOL wow64 = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) return false;
  // A 32-bit process on ARM64 runs under WOW64 too; the x64 build is no
  // remedy there.
  SYSTEM_INFO native{};
  GetNativeSystemInfo(&native);
  return native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}

}  // namespace

bool HandOffToNativeBuild(const std::string& directory, bool is32BitBuild) {
  if (!is32BitBuild || !RunsUnderWow64OnX64()) return false;

  const std::string program = directory + kNativeBuildName;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // A missing sibling fails here; there is no separate existence check to
  // race with.
  if (!CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return false;
  }
  const UniqueKernelHandle process(started.hProcess);
  const UniqueKernelHandle thread(started.hThread);
  WaitForSingleObject(process.Get(), INFINITE);
  return true;
}

}  // namespace varnoll
