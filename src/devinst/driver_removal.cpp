#include "driver_removal.h"

#include "platform_devices.h"
#include "platform_process.h"

namespace varnoll {

namespace {

using UninstallDriverFunction = BOOL(WINAPI*)(HWND, const char*, DWORD, BOOL*);

// newdev.dll by its full path in System32: a bare name could be found in a
// folder the user can write to, where Windows 7 without KB2533623 still
// looks.
HMODULE LoadNewdevFromSystem32() {
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryA((std::string(system, length) + "\\newdev.dll").c_str());
}

}  // namespace

CDriverUninstaller::CDriverUninstaller() {
  const HMODULE newdev = LoadNewdevFromSystem32();
  if (newdev == nullptr) return;
  newdev_ = newdev;
  uninstallDriver_ = reinterpret_cast<void (*)()>(GetProcAddress(newdev, "DiUninstallDriverA"));
}

CDriverUninstaller::~CDriverUninstaller() {
  if (newdev_ != nullptr) FreeLibrary(static_cast<HMODULE>(newdev_));
}

RemovalCall CDriverUninstaller::UninstallDriver(const std::string& publishedPath) const {
  RemovalCall call;
  // With a reboot flag to fill, the call never shows a restart dialog.
  BOOL needReboot = FALSE;
  const auto uninstallDriver = reinterpret_cast<UninstallDriverFunction>(uninstallDriver_);
  call.succeeded = uninstallDriver(nullptr, publishedPath.c_str(), 0, &needReboot) != FALSE;
  if (!call.succeeded) call.error = GetLastError();
  call.needReboot = call.succeeded && needReboot != FALSE;
  return call;
}

RemovalCall ForceDeleteOemInf(const std::string& publishedName) {
  RemovalCall call;
  call.succeeded = SetupUninstallOEMInfA(publishedName.c_str(), SUOI_FORCEDELETE, nullptr) != FALSE;
  if (!call.succeeded) call.error = GetLastError();
  return call;
}

}  // namespace varnoll
