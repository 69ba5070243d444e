// The fences between the rooms of src/, compiled with one library's include
// path at a time (tests/CMakeLists.txt says which): each macro asks for a
// header or a call that the room must not reach, and the probe must then
// fail to compile; built with the room that may reach it, the same request
// compiles, so a failure comes from the fence and not from this file.
#if defined(VARNOLL_PROBE_DEVICE_HEADER)
#include "platform_devices.h"
#endif
#if defined(VARNOLL_PROBE_DEVICE_VIEW)
#include "device_view.h"
#endif
#if defined(VARNOLL_PROBE_CONSOLE)
#include "tool_output.h"
#endif
#if defined(VARNOLL_PROBE_REGISTRY_HEADER)
#include "platform_registry.h"
#endif
#if defined(VARNOLL_PROBE_PACKAGE_HEADER)
#include "package_check.h"
#endif

int main() {
#if defined(VARNOLL_PROBE_STAGING_CALL)
  return SetupCopyOEMInfA("x.inf", nullptr, SPOST_PATH, 0, nullptr, 0, nullptr, nullptr);
#elif defined(VARNOLL_PROBE_LISTING_CALL)
  return SetupDiDestroyDeviceInfoList(nullptr);
#elif defined(VARNOLL_PROBE_REGISTRY_READ)
  return static_cast<int>(RegCloseKey(nullptr));
#elif defined(VARNOLL_PROBE_REGISTRY_WRITE)
  return static_cast<int>(RegSetValueExA(nullptr, "x", 0, REG_SZ, nullptr, 0));
#elif defined(VARNOLL_PROBE_CONSOLE)
  varnoll::Write(stdout, std::string());
  return 0;
#else
  return 0;
#endif
}
