// The 32-bit build hands the run to the 64-bit one on x64 Windows.
#include "inf_discovery.h"
#include "native_handoff.h"
#include "standin.h"
#include "test_support.h"
#include "varnoll_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace varnoll {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TempFolder;

class NativeHandoff : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override { EXPECT_EQ(standin::OpenHandles(), 0) << "a handle was left open"; }

  std::string StartNative() const {
    return "CreateProcessA(" + folder_.WithSeparator() +
           "varnoll64.exe, null, null, null, 0x0, 0x0, null, null, startup info)";
  }
  std::string WaitNative() const {
    return "WaitForSingleObject(process " + folder_.WithSeparator() + "varnoll64.exe, 0xffffffff)";
  }

  TempFolder folder_;
};

TEST_F(NativeHandoff, StartsAndWaitsForTheSiblingUnderWow64OnX64) {
  folder_.Write("varnoll64.exe", "MZ");
  standin::Current().wow64 = TRUE;
  EXPECT_TRUE(HandOffToNativeBuild(folder_.WithSeparator(), true));
  EXPECT_THAT(standin::ProcessCalls(), ElementsAre(StartNative(), WaitNative()));
}

TEST_F(NativeHandoff, RunsItsOwnPassWhenTheSiblingIsMissing) {
  standin::Current().wow64 = TRUE;
  EXPECT_FALSE(HandOffToNativeBuild(folder_.WithSeparator(), true));
  EXPECT_THAT(standin::ProcessCalls(), ElementsAre(StartNative()));
}

TEST_F(NativeHandoff, StartsNothingOutsideWow64OnX64) {
  folder_.Write("varnoll64.exe", "MZ");
  struct Case {
    const char* name;
    bool is32BitBuild;
    BOOL wow64;
    unsigned short native;
  };
  const Case cases[] = {
      {"the 64-bit build", false, TRUE, PROCESSOR_ARCHITECTURE_AMD64},
      {"32-bit Windows", true, FALSE, PROCESSOR_ARCHITECTURE_INTEL},
      {"WOW64 on ARM64", true, TRUE, PROCESSOR_ARCHITECTURE_ARM64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    standin::Reset();
    standin::Current().wow64 = c.wow64;
    standin::Current().nativeArchitecture = c.native;
    EXPECT_FALSE(HandOffToNativeBuild(folder_.WithSeparator(), c.is32BitBuild));
    EXPECT_THAT(standin::ProcessCalls(), IsEmpty());
  }
}

TEST_F(NativeHandoff, TheHostBuildIs64BitAndItsPassNeverStartsAnything) {
  ASSERT_FALSE(kIs32BitBuild);
  folder_.Write("varnoll64.exe", "MZ");
  folder_.Write("a.inf", "[Tarvelix]\n%M%=I, PCI\\VEN_1111\n");
  standin::Current().modulePath = folder_.WithSeparator() + "varnoll.exe";
  standin::Current().wow64 = TRUE;
  standin::Current().presentHardwareIds = {"PCI\\VEN_1111"};
  CVarnollApp app;
  EXPECT_EQ(app.Run(), 0);
  EXPECT_THAT(standin::ProcessCalls(), IsEmpty());
  EXPECT_THAT(standin::DeviceCalls(), ElementsAre("UpdateDriverForPlugAndPlayDevicesA(null, PCI\\VEN_1111, " +
                                                  folder_.WithSeparator() + "a.inf, 0x1, non-null)"));
}

}  // namespace
}  // namespace varnoll
