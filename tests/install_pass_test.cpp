// The whole pass against the scripted device manager: which calls it makes,
// with which arguments, in which order, over real INF files in a real folder.
#include "inf_discovery.h"
#include "standin.h"
#include "test_support.h"
#include "varnoll_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnoll {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TempFolder;

const char kLocate[] = "CM_Locate_DevNodeA(non-null, null, 0x0)";
const char kReenumerate[] = "CM_Reenumerate_DevNode(0x1234, 0x0)";

class InstallPass : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    standin::Current().modulePath = folder_.WithSeparator() + "varnoll64.exe";
  }

  void TearDown() override { EXPECT_EQ(standin::OpenHandles(), 0) << "a handle was left open"; }

  // An INF whose first marked models section lists `hardwareId` first.
  void AddInf(const std::string& name, const std::string& hardwareId) {
    folder_.Write(name,
                  "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Modem\r\n"
                  "[Manufacturer]\r\n%Mfg%=Tarvelix\r\n"
                  "[Tarvelix]\r\n%Modem%=Modem_Install, " +
                      hardwareId + "\r\n");
  }

  std::string PathOf(const std::string& name) const { return folder_.WithSeparator() + name; }

  std::string Update(const std::string& hardwareId, const std::string& name) const {
    return "UpdateDriverForPlugAndPlayDevicesA(null, " + hardwareId + ", " + PathOf(name) +
           ", 0x1, non-null)";
  }

  std::string Copy(const std::string& name) const {
    return "SetupCopyOEMInfA(" + PathOf(name) + ", null, 0x1, 0x0, null, 0x0, null, null)";
  }

  // Runs the application as the process would, and returns the device calls.
  std::vector<std::string> RunApp() {
    CVarnollApp app;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_FALSE(standin::GetMessageWouldHaveBlocked());
    return standin::DeviceCalls();
  }

  TempFolder folder_;
};

TEST_F(InstallPass, PresentDevicesAreInstalledInSearchOrderWithoutReenumeration) {
  AddInf("b.inf", "PCI\\VEN_2222");
  AddInf("A.INF", "PCI\\VEN_1111");
  standin::Current().presentHardwareIds = {"PCI\\VEN_1111", "PCI\\VEN_2222"};
  EXPECT_THAT(RunApp(), ElementsAre(Update("PCI\\VEN_1111", "A.INF"), Update("PCI\\VEN_2222", "b.inf")));
  EXPECT_THAT(InfFileList, ElementsAre("A.INF", "b.inf"));
}

TEST_F(InstallPass, AbsentDeviceIsPreInstalledAndTheTreeReenumeratedOnceAfterTheLastFile) {
  AddInf("a.inf", "PCI\\VEN_1111");
  AddInf("b.inf", "PCI\\VEN_2222");
  standin::Current().presentHardwareIds = {"PCI\\VEN_2222"};
  EXPECT_THAT(RunApp(), ElementsAre(Update("PCI\\VEN_1111", "a.inf"), Copy("a.inf"),
                                    Update("PCI\\VEN_2222", "b.inf"), kLocate, kReenumerate));
}

TEST_F(InstallPass, SeveralPreInstallsGiveOneReenumeration) {
  AddInf("a.inf", "PCI\\VEN_1111");
  AddInf("b.inf", "PCI\\VEN_2222");
  AddInf("c.inf", "PCI\\VEN_3333");
  EXPECT_THAT(RunApp(), ElementsAre(Update("PCI\\VEN_1111", "a.inf"), Copy("a.inf"),
                                    Update("PCI\\VEN_2222", "b.inf"), Copy("b.inf"),
                                    Update("PCI\\VEN_3333", "c.inf"), Copy("c.inf"), kLocate, kReenumerate));
}

TEST_F(InstallPass, OtherUpdateErrorsNeverPreInstall) {
  // Access denied, a bad INF, and a 32-bit process on 64-bit Windows.
  for (const DWORD error : {0x5u, 0xE0000203u, 0xE0000235u}) {
    SCOPED_TRACE(error);
    standin::Reset();
    standin::Current().modulePath = PathOf("varnoll64.exe");
    AddInf("a.inf", "PCI\\VEN_1111");
    standin::Current().updateErrors["PCI\\VEN_1111"] = error;
    EXPECT_THAT(RunApp(), ElementsAre(Update("PCI\\VEN_1111", "a.inf")));
  }
}

TEST_F(InstallPass, FailedPreInstallOnlySkipsThatFile) {
  AddInf("a.inf", "PCI\\VEN_1111");
  AddInf("b.inf", "PCI\\VEN_2222");
  standin::Current().presentHardwareIds = {"PCI\\VEN_2222"};
  standin::Current().copyOemInfError = 0xE0000000;
  EXPECT_THAT(RunApp(),
              ElementsAre(Update("PCI\\VEN_1111", "a.inf"), Copy("a.inf"), Update("PCI\\VEN_2222", "b.inf")));
}

TEST_F(InstallPass, FailedLocateMeansNoReenumerateCall) {
  AddInf("a.inf", "PCI\\VEN_1111");
  standin::Current().locateResult = 0x13;
  EXPECT_THAT(RunApp(), ElementsAre(Update("PCI\\VEN_1111", "a.inf"), Copy("a.inf"), kLocate));
}

TEST_F(InstallPass, FailedReenumerationIsIgnored) {
  AddInf("a.inf", "PCI\\VEN_1111");
  standin::Current().reenumerateResult = 0x13;
  EXPECT_THAT(RunApp(), ElementsAre(Update("PCI\\VEN_1111", "a.inf"), Copy("a.inf"), kLocate, kReenumerate));
}

TEST_F(InstallPass, OnlyIdsContainingUpperCaseVenAreInstalled) {
  AddInf("a.inf", "MDMGEN\\MODEM");
  AddInf("b.inf", "pci\\ven_1111");
  AddInf("c.inf", "");
  AddInf("d.inf", "USB\\VID_1234&PID_5678");
  AddInf("e.inf", "ROOT\\XVEN_");
  EXPECT_THAT(RunApp(), ElementsAre(Update("ROOT\\XVEN_", "e.inf"), Copy("e.inf"), kLocate, kReenumerate));
}

TEST_F(InstallPass, OnlyTheFirstIdOfAModelLineIsInstalled) {
  AddInf("a.inf", "PCI\\VEN_1111&DEV_0001, PCI\\VEN_1111 ; first model");
  standin::Current().presentHardwareIds = {"PCI\\VEN_1111&DEV_0001"};
  EXPECT_THAT(RunApp(), ElementsAre(Update("PCI\\VEN_1111&DEV_0001", "a.inf")));
}

TEST_F(InstallPass, FolderWithoutInfFilesMakesNoCallAndOpensNothing) {
  folder_.Write("readme.txt", "[Tarvelix]\n%M%=I,PCI\\VEN_1\n");
  folder_.Write("driver.inf.txt", "[Tarvelix]\n%M%=I,PCI\\VEN_1\n");
  InfFileList = {"left over"};
  EXPECT_THAT(RunApp(), IsEmpty());
  EXPECT_THAT(InfFileList, IsEmpty());
  EXPECT_THAT(standin::OpenedFiles(), IsEmpty());
}

TEST_F(InstallPass, UnusableFilesAndFoldersNamedLikeInfsAreSkipped) {
  folder_.MakeFolder("a.inf");
  folder_.Write("b.inf", "");
  folder_.Write("c.inf", "[Tarvelix]\n%M% without a comma\n");
  AddInf("d.inf", "PCI\\VEN_4444");
  standin::Current().presentHardwareIds = {"PCI\\VEN_4444"};
  EXPECT_THAT(RunApp(), ElementsAre(Update("PCI\\VEN_4444", "d.inf")));
  EXPECT_THAT(InfFileList, ElementsAre("a.inf", "b.inf", "c.inf", "d.inf"));
}

TEST_F(InstallPass, InfFilesAreOpenedReadOnlyAndShared) {
  AddInf("a.inf", "PCI\\VEN_1111");
  standin::Current().presentHardwareIds = {"PCI\\VEN_1111"};
  RunApp();
  // GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING.
  EXPECT_THAT(standin::OpenedFiles(),
              ElementsAre(PathOf("a.inf") + " access=0x80000000 share=0x3 disposition=0x3"));
}

TEST_F(InstallPass, SuccessfulCallsLeavingStaleErrorsAreStillSuccesses) {
  AddInf("a.inf", "PCI\\VEN_1111");
  standin::Current().presentHardwareIds = {"PCI\\VEN_1111"};
  standin::Current().lastErrorAfterCall = ERROR_NO_SUCH_DEVINST;
  EXPECT_THAT(RunApp(), ElementsAre(Update("PCI\\VEN_1111", "a.inf")));
}

struct ModuleCase {
  const char* name;
  void (*script)(standin::Script&, const std::string& folder);
};

TEST_F(InstallPass, UnusableModulePathInstallsNothing) {
  const ModuleCase cases[] = {
      {"GetModuleFileNameA fails", [](standin::Script& s, const std::string&) { s.moduleError = 5; }},
      {"module path truncated at 260 characters",
       [](standin::Script& s, const std::string& folder) {
         s.modulePath = folder + std::string(260 - folder.size(), 'x') + ".exe";
       }},
      {"GetFullPathNameA fails", [](standin::Script& s, const std::string&) { s.fullPathError = 3; }},
      {"full path needs 260 characters or more",
       [](standin::Script& s, const std::string& folder) {
         s.overrideFullPath = true;
         s.fullPath = folder + std::string(300, 'x') + ".exe";
       }},
      {"full path has no file name",
       [](standin::Script& s, const std::string& folder) {
         s.overrideFullPath = true;
         s.fullPath = folder;
       }},
  };
  AddInf("a.inf", "PCI\\VEN_1111");
  for (const ModuleCase& c : cases) {
    SCOPED_TRACE(c.name);
    standin::Reset();
    c.script(standin::Current(), folder_.WithSeparator());
    InfFileList.clear();
    EXPECT_THAT(RunApp(), IsEmpty());
    EXPECT_THAT(standin::OpenedFiles(), IsEmpty());
    EXPECT_THAT(InfFileList, IsEmpty());
  }
}

TEST_F(InstallPass, ModulePathOfTheLongestWholeLengthIsUsed) {
  AddInf("a.inf", "PCI\\VEN_1111");
  const std::string folder = folder_.WithSeparator();
  standin::Current().modulePath = folder + std::string(259 - folder.size() - 4, 'x') + ".exe";
  ASSERT_EQ(standin::Current().modulePath.size(), 259u);
  EXPECT_THAT(RunApp(), ElementsAre(Update("PCI\\VEN_1111", "a.inf"), Copy("a.inf"), kLocate, kReenumerate));
}

}  // namespace
}  // namespace varnoll
