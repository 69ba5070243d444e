// Compiled with exactly the include path of the package check
// (src/package/), three ways: as it stands, which must compile; asking for
// the device header, and calling a device-installation function, each of
// which must not: reading a package by Windows' rules can change nothing.
#include "catalog.h"
#include "digest.h"
#include "file_hash.h"
#include "inf_document.h"
#include "package_check.h"
#include "platform_files.h"

#ifdef VARNOLL_TRY_DEVICE_HEADER
#include "platform_devices.h"
#endif

int main() {
#ifdef VARNOLL_TRY_DEVICE_CALL
  BOOL rebootRequired = FALSE;
  return UpdateDriverForPlugAndPlayDevicesA(nullptr, "PCI\\VEN_1", "x.inf", INSTALLFLAG_FORCE,
                                            &rebootRequired);
#else
  return 0;
#endif
}
