// Compiled with exactly the include path of the INF reader (src/inf/), three
// ways: as it stands, which must compile; asking for the device header, and
// calling a device-installation function, each of which must not. Compiled
// with the include path of src/devinst/ instead, both must compile: so the
// failures come from the seam, not from a mistake in this file.
#include "ansi_text.h"
#include "hardware_id.h"
#include "inf_text_stream.h"
#include "logical_line.h"
#include "platform_files.h"
#include "unique_handle.h"

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
