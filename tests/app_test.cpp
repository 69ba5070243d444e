// The application shell: error mode, start-up hook, quit before the loop
// waits, exit status; and the handle owners the program relies on.
#include "inf_text_stream.h"
#include "standin.h"
#include "test_support.h"
#include "unique_handle.h"
#include "windowless_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnoll {
namespace {

using ::testing::ElementsAre;

class RecordingApp : public CWindowlessApp {
 public:
  bool RunInstallPass() override {
    ++hookRuns;
    modeDuringHook = GetErrorMode();
    return hookResult;
  }
  int hookRuns = 0;
  UINT modeDuringHook = 0;
  bool hookResult = true;
};

TEST(WindowlessApp, AddsQuietErrorFlagsToTheInheritedModeBeforeTheHook) {
  // SEM_NOGPFAULTERRORBOX (0x2) and SEM_NOALIGNMENTFAULTEXCEPT (0x4) from the
  // parent must survive.
  for (const UINT inherited : {0x0u, 0x2u, 0x6u, 0x8001u}) {
    SCOPED_TRACE(inherited);
    standin::Reset();
    standin::Current().inheritedErrorMode = inherited;
    RecordingApp app;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_THAT(standin::ErrorModesSet(), ElementsAre(inherited | 0x8001u));
    EXPECT_EQ(app.modeDuringHook, inherited | 0x8001u);
  }
}

TEST(WindowlessApp, RestrictsTheDllSearchToSystem32FirstAndRunsTheHookWhateverHappens) {
  struct Case {
    const char* name;
    bool available;
    BOOL result;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"Windows with SetDefaultDllDirectories",
       true,
       TRUE,
       {"SetDefaultDllDirectories(0x800)", "SetErrorMode(0x8001)"}},
      {"SetDefaultDllDirectories fails",
       true,
       FALSE,
       {"SetDefaultDllDirectories(0x800)", "SetDllDirectoryW(\"\")", "SetErrorMode(0x8001)"}},
      {"Windows 7 without the update", false, TRUE, {"SetDllDirectoryW(\"\")", "SetErrorMode(0x8001)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    standin::Reset();
    standin::Current().hasSetDefaultDllDirectories = c.available;
    standin::Current().setDefaultDllDirectoriesResult = c.result;
    RecordingApp app;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_THAT(standin::StartupCalls(), ::testing::ElementsAreArray(c.expected));
    EXPECT_EQ(app.hookRuns, 1);
  }
}

TEST(WindowlessApp, RunsTheHookOnceAndEndsWithoutWaitingWhateverItReturns) {
  for (const bool hookResult : {true, false}) {
    SCOPED_TRACE(hookResult);
    standin::Reset();
    RecordingApp app;
    app.hookResult = hookResult;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.hookRuns, 1);
    EXPECT_FALSE(standin::GetMessageWouldHaveBlocked());
  }
}

TEST(UniqueHandle, ClosingKeepsTheLastErrorAndMovingTransfersOwnership) {
  standin::Reset();
  const int before = standin::OpenHandles();
  testing::TempFolder folder;
  const std::string path = folder.Write("a.inf", "x");
  {
    UniqueFileHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file.IsValid());
    UniqueFileHandle moved(std::move(file));
    EXPECT_FALSE(file.IsValid());
    EXPECT_TRUE(moved.IsValid());
    EXPECT_EQ(standin::OpenHandles(), before + 1);
    SetLastError(0xdeadbeef);
  }
  EXPECT_EQ(GetLastError(), 0xdeadbeefu);
  EXPECT_EQ(standin::OpenHandles(), before);
}

TEST(UniqueHandle, EmptyOwnerClosesNothing) {
  standin::Reset();
  const int before = standin::OpenHandles();
  {
    UniqueFindHandle search;
    EXPECT_FALSE(search.IsValid());
    UniqueFindHandle failed(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(failed.IsValid());
  }
  EXPECT_EQ(standin::OpenHandles(), before);
}

}  // namespace
}  // namespace varnoll
