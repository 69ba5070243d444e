// Taking a driver package out of the driver store: the removal program's
// only calls that change the system.
#pragma once

#include <string>

namespace varnoll {

// What one removal call answered.
struct RemovalCall {
  bool succeeded = false;
  unsigned long error = 0;  // its last error, when it failed
  bool needReboot = false;  // it said a restart completes the removal
};

// DiUninstallDriverA, which Windows has from 10 1703 on: looked up at run
// time in System32's newdev.dll, so that the program still starts on older
// Windows and takes the other way there.
class CDriverUninstaller {
 public:
  CDriverUninstaller();
  ~CDriverUninstaller();
  CDriverUninstaller(const CDriverUninstaller&) = delete;
  CDriverUninstaller& operator=(const CDriverUninstaller&) = delete;

  // Whether DiUninstallDriverA exists: it moves the devices that use a
  // package to the best driver left, then removes the package.
  bool CanMoveDevices() const { return uninstallDriver_ != nullptr; }

  // DiUninstallDriverA(no window, `publishedPath`, no flags, reboot flag):
  // `publishedPath` is the full path of the package's INF in %windir%\INF.
  // Only when CanMoveDevices().
  RemovalCall UninstallDriver(const std::string& publishedPath) const;

 private:
  void* newdev_ = nullptr;
  void (*uninstallDriver_)() = nullptr;  // DiUninstallDriverA, under a placeholder type
};

// SetupUninstallOEMInfA(`publishedName`, SUOI_FORCEDELETE, null): removes the
// INF (its .pnf and catalog too) from %windir%\INF whether or not a device
// was installed from it. `publishedName` is a bare file name (oemN.inf).
RemovalCall ForceDeleteOemInf(const std::string& publishedName);

}  // namespace varnoll
