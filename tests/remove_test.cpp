// The removal program's executor against the scripted device manager: which
// removal call it makes for which copy, what it says, and its exit status.
#include "removal_executor.h"
#include "remove_tool.h"
#include "standin.h"
#include "posix_handle.h"
#include "test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace varnoll::remove {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::TempFolder;

const std::string kInf = "[Tarvelix]\n%M%=I, PCI\\VEN_1\n";

class Removal : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    standin::Current().storeFolder = store_.WithSeparator();
  }

  // Runs the pass with the removing executor; the lines it printed.
  std::vector<std::string> Remove(std::vector<PresentDevice> devices = {}) {
    SystemView system{std::move(devices), CDriverStore(store_.WithSeparator())};
    const CDriverUninstaller uninstaller;
    CRemovingExecutor remover(system, store_.WithSeparator(), uninstaller);
    RunPass(folder_.WithSeparator(), remover);
    status_ = remover.ExitStatus();
    return remover.Lines();
  }

  bool InStore(const std::string& name) const { return std::filesystem::exists(store_.Path() / name); }
  std::string Uninstall(const std::string& name) const {
    return "DiUninstallDriverA(null, " + store_.WithSeparator() + name + ", 0x0, non-null)";
  }

  TempFolder folder_;
  TempFolder store_;  // the system INF folder
  int status_ = -1;
};

TEST_F(Removal, EachWayOfRemovingAndItsExitStatus) {
  PresentDevice user{"PCI\\X\\1", {"PCI\\VEN_1"}, {}, std::string("OEM7.INF"), DeviceState{}};
  struct Case {
    const char* name;
    bool hasUninstallDriver;
    DWORD uninstallError;
    BOOL needsReboot;
    bool leavesFile;
    std::vector<PresentDevice> devices;
    const char* call;  // the one removal call, or null
    int status;
    bool stillInStore;
    const char* words;
  };
  const Case cases[] = {
      {"removed", true, 0, FALSE, false, {user}, "uninstall", kExitRemoved, false, "removed oem7.inf"},
      {"removed, restart needed",
       true,
       0,
       TRUE,
       false,
       {},
       "uninstall",
       kExitRestartNeeded,
       false,
       "a restart completes"},
      {"the call fails",
       true,
       5,
       FALSE,
       false,
       {},
       "uninstall",
       kExitFailed,
       true,
       "failed (error 0x00000005)"},
      {"the call says done, the copy stays",
       true,
       0,
       FALSE,
       true,
       {},
       "uninstall",
       kExitFailed,
       true,
       "still holds it as oem7.inf"},
      {"no DiUninstallDriver, no device uses it",
       false,
       0,
       FALSE,
       false,
       {},
       "force",
       kExitRemoved,
       false,
       "removed oem7.inf"},
      {"no DiUninstallDriver, a device uses it",
       false,
       0,
       FALSE,
       false,
       {user},
       nullptr,
       kExitFailed,
       true,
       "device PCI\\X\\1 uses it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    standin::Reset();
    standin::Current().storeFolder = store_.WithSeparator();
    standin::Current().hasDiUninstallDriver = c.hasUninstallDriver;
    standin::Current().uninstallDriverError = c.uninstallError;
    standin::Current().uninstallNeedsReboot = c.needsReboot;
    standin::Current().removalLeavesFile = c.leavesFile;
    folder_.Write("a.inf", kInf);
    store_.Write("oem3.inf", "another package");
    store_.Write("oem7.inf", kInf);
    const std::vector<std::string> lines = Remove(c.devices);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines[0], HasSubstr(c.words));
    EXPECT_EQ(status_, c.status);
    EXPECT_EQ(InStore("oem7.inf"), c.stillInStore);
    EXPECT_TRUE(InStore("oem3.inf")) << "another package is never touched";
    std::vector<std::string> calls;
    if (c.call && std::string(c.call) == "uninstall") calls.push_back(Uninstall("oem7.inf"));
    if (c.call && std::string(c.call) == "force")
      calls.push_back("SetupUninstallOEMInfA(oem7.inf, 0x1, null)");
    EXPECT_THAT(standin::DeviceCalls(), ElementsAreArray(calls));
  }
}

TEST_F(Removal, NothingInTheStoreAndFilesThatDoNotQualifyAreNoErrors) {
  folder_.Write("a.inf", kInf);
  folder_.Write("b.inf", "[Tarvelix]\n%M%=I, MDMGEN\\SERIAL\n");
  store_.Write("oem1.inf", "[Tarvelix]\n%M%=I, MDMGEN\\SERIAL\n");  // b.inf's bytes: not to be removed
  EXPECT_THAT(Remove(), ElementsAre("a.inf: not in the driver store: nothing to remove",
                                    "b.inf: left alone, as the installer leaves it (no-ven)"));
  EXPECT_EQ(status_, kExitRemoved);
  EXPECT_THAT(standin::DeviceCalls(), IsEmpty());
  EXPECT_TRUE(InStore("oem1.inf"));
}

TEST_F(Removal, OneFailureMakesTheRunFailAndARestartOnlyCountsWithoutOne) {
  folder_.Write("a.inf", kInf);
  folder_.Write("b.inf", "[Tarvelix]\n%M%=I, PCI\\VEN_2\n");
  store_.Write("oem1.inf", kInf);
  standin::Current().uninstallNeedsReboot = TRUE;
  EXPECT_THAT(Remove(), ElementsAre(HasSubstr("a restart completes"), HasSubstr("nothing to remove")));
  EXPECT_EQ(status_, kExitRestartNeeded);

  store_.Write("oem1.inf", kInf);
  store_.Write("oem2.inf", "[Tarvelix]\n%M%=I, PCI\\VEN_2\n");
  standin::Current().removalLeavesFile = true;
  Remove();
  EXPECT_EQ(status_, kExitFailed);
}

TEST_F(Removal, EveryPublishedCopyGoesAndNothingElseIsTouched) {
  folder_.Write("a.inf", kInf);
  store_.Write("oem3.inf", kInf);
  store_.Write("oem4.inf", kInf);
  for (const char* decoy : {"notmine.inf", "oem8.infbackup", "oem7.inf.bak"}) store_.Write(decoy, kInf);
  const std::vector<std::string> lines = Remove();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0], HasSubstr("removed oem3.inf from the driver store; removed oem4.inf"));
  EXPECT_THAT(lines[0], HasSubstr("notmine.inf there has the same bytes but is not a published package"));
  EXPECT_EQ(status_, kExitRemoved);
  EXPECT_THAT(standin::DeviceCalls(), ElementsAre(Uninstall("oem3.inf"), Uninstall("oem4.inf")));
  EXPECT_FALSE(InStore("oem3.inf"));
  EXPECT_FALSE(InStore("oem4.inf"));
  for (const char* decoy : {"notmine.inf", "oem8.infbackup", "oem7.inf.bak"}) EXPECT_TRUE(InStore(decoy)) << decoy;
}

// The second look at the store cannot read the copy (locked, or gone at
// that moment): it may still be there, so the removal is not done.
TEST_F(Removal, ACopyTheSecondLookCannotReadIsNotRemoved) {
  static int opens = 0;
  static std::string watched;
  opens = 0;
  watched = store_.WithSeparator() + "oem7.inf";
  posix::SetOpenObserver([](const char* path, DWORD, DWORD, DWORD) {
    if (path == watched && ++opens == 2) std::filesystem::remove(watched);
  });
  folder_.Write("a.inf", kInf);
  store_.Write("oem7.inf", kInf);
  standin::Current().removalLeavesFile = true;
  const std::vector<std::string> lines = Remove();
  posix::SetOpenObserver(nullptr);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0], HasSubstr("oem7.inf could not be read afterwards"));
  EXPECT_EQ(status_, kExitFailed);
}

TEST(RemoveTool, UsageErrorsAndMissingFoldersExit2BeforeAnythingElse) {
  standin::Reset();
  const std::vector<std::vector<std::string>> cases = {
      {"--force"}, {"-x"}, {"/tmp", "/tmp"}, {"/nonexistent/varnoll-remove-test"}};
  for (const std::vector<std::string>& arguments : cases) {
    SCOPED_TRACE(arguments.front());
    EXPECT_EQ(RunRemoveTool(arguments, ThisToolPlatform()), kExitUsage);
  }
  EXPECT_EQ(RunRemoveTool({"--help"}, ThisToolPlatform()), kExitRemoved);
  EXPECT_THAT(standin::DeviceCalls(), IsEmpty());
  EXPECT_THAT(standin::ProcessCalls(), IsEmpty());
}

}  // namespace
}  // namespace varnoll::remove
