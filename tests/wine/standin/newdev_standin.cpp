// Test-only newdev.dll: a device manager that knows the hardware IDs the
// scenario lists in VARNOLL_STANDIN_PRESENT and fails for any other with
// VARNOLL_STANDIN_UPDATE_ERROR (default: no such device, as Windows does).
// VARNOLL_STANDIN_DELETE names a file to delete during the first call, as if
// someone removed it while the installer ran. VARNOLL_STANDIN_LOAD_BY_NAME
// names a DLL that the first call loads by bare name, as the real
// device-installation DLLs load class installers and co-installers, and
// logs where it came from.
#include "standin_log.h"

#include <newdev.h>

// The real header declares the function, so that a signature that differs
// from it fails to compile; exporting it here is then a redeclaration.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wdll-attribute-on-redeclaration"
#endif

extern "C" __declspec(dllexport) BOOL WINAPI
    UpdateDriverForPlugAndPlayDevicesA(HWND parent, LPCSTR hardwareId, LPCSTR fullInfPath, DWORD installFlags,
                                       PBOOL rebootRequired) {
  using namespace standin_dll;
  static bool firstCall = true;
  const std::string byName = Setting("VARNOLL_STANDIN_LOAD_BY_NAME");
  if (firstCall && !byName.empty()) LogLoadByName("newdev", byName);
  firstCall = false;
  const std::string doomed = Setting("VARNOLL_STANDIN_DELETE");
  if (!doomed.empty()) DeleteFileA(doomed.c_str());
  const bool present = hardwareId && Listed(Setting("VARNOLL_STANDIN_PRESENT"), hardwareId);
  if (present && rebootRequired) *rebootRequired = FALSE;
  const DWORD error = present ? 0 : HexSetting("VARNOLL_STANDIN_UPDATE_ERROR", 0xE000020B);
  Log("newdev",
      "UpdateDriverForPlugAndPlayDevicesA(" + Ptr(parent) + ", " + Str(hardwareId) + ", " + Str(fullInfPath) +
          ", " + Hex(installFlags) + ", " + Ptr(rebootRequired) + ")",
      present ? TRUE : FALSE, error);
  return present ? TRUE : FALSE;
}

// DiUninstallDriverA, which Wine's newdev.dll lacks: deletes the INF it is
// given (and its .pnf), as Windows removes a package from the store, unless
// VARNOLL_STANDIN_UNINSTALL_KEEP is set; fails with
// VARNOLL_STANDIN_UNINSTALL_ERROR when set; asks for a restart when
// VARNOLL_STANDIN_UNINSTALL_REBOOT is set.
extern "C" __declspec(dllexport) BOOL WINAPI
    DiUninstallDriverA(HWND parent, LPCSTR infPath, DWORD flags, PBOOL needReboot) {
  using namespace standin_dll;
  const DWORD error = HexSetting("VARNOLL_STANDIN_UNINSTALL_ERROR", 0);
  if (error == 0 && Setting("VARNOLL_STANDIN_UNINSTALL_KEEP").empty() && infPath) {
    DeleteFileA(infPath);
    std::string pnf = infPath;
    if (pnf.size() > 4) DeleteFileA((pnf.substr(0, pnf.size() - 4) + ".pnf").c_str());
  }
  if (error == 0 && needReboot)
    *needReboot = Setting("VARNOLL_STANDIN_UNINSTALL_REBOOT").empty() ? FALSE : TRUE;
  Log("newdev",
      "DiUninstallDriverA(" + Ptr(parent) + ", " + Str(infPath) + ", " + Hex(flags) + ", " + Ptr(needReboot) +
          ")",
      error == 0 ? TRUE : FALSE, error);
  return error == 0 ? TRUE : FALSE;
}
