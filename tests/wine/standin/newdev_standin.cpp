// Test-only newdev.dll: a device manager that knows the hardware IDs the
// scenario lists in VARNOLL_STANDIN_PRESENT and fails for any other with
// VARNOLL_STANDIN_UPDATE_ERROR (default: no such device, as Windows does).
// VARNOLL_STANDIN_DELETE names a file to delete during the first call, as if
// someone removed it while the installer ran.
#include "standin_log.h"

#include <newdev.h>

// The real header declares the function, so that a signature that differs
// from it fails to compile; exporting it here is then a redeclaration.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wdll-attribute-on-redeclaration"
#endif

extern "C" __declspec(dllexport) BOOL WINAPI UpdateDriverForPlugAndPlayDevicesA(
    HWND parent, LPCSTR hardwareId, LPCSTR fullInfPath, DWORD installFlags, PBOOL rebootRequired) {
  using namespace standin_dll;
  const std::string doomed = Setting("VARNOLL_STANDIN_DELETE");
  if (!doomed.empty()) DeleteFileA(doomed.c_str());
  const bool present = hardwareId && Listed(Setting("VARNOLL_STANDIN_PRESENT"), hardwareId);
  if (present && rebootRequired) *rebootRequired = FALSE;
  const DWORD error = present ? 0 : HexSetting("VARNOLL_STANDIN_UPDATE_ERROR", 0xE000020B);
  Log("newdev", "UpdateDriverForPlugAndPlayDevicesA(" + Ptr(parent) + ", " + Str(hardwareId) + ", " +
                    Str(fullInfPath) + ", " + Hex(installFlags) + ", " + Ptr(rebootRequired) + ")",
      present ? TRUE : FALSE, error);
  return present ? TRUE : FALSE;
}
