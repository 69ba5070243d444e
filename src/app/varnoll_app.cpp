#include "varnoll_app.h"

#include "driver_install.h"
#include "install_pass.h"
#include "module_directory.h"
#include "native_handoff.h"

namespace varnoll {

namespace {

// The pass's executor that acts: every failure only skips a file.
class CInstallingExecutor : public CPassExecutor {
 public:
  bool OnQualifyingInf(const std::string&, const std::string& infPath, const std::string& hardwareId) override {
    return InstallFromInf(hardwareId, infPath);
  }
  void OnSkippedInf(const std::string&, const std::string&, SkipReason, const std::string&) override {}
  void OnPassEnd(bool staged) override {
    if (staged) ReenumerateDeviceTree();
  }
};

}  // namespace

bool CVarnollApp::RunInstallPass() {
  std::string moduleDirectory;
  if (!FindModuleDirectory(moduleDirectory)) return true;
  if (HandOffToNativeBuild(moduleDirectory, "varnoll", std::nullopt).Ran()) return true;
  CInstallingExecutor installer;
  RunPass(moduleDirectory, installer);
  return true;
}

}  // namespace varnoll
