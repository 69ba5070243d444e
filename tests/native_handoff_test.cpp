// Every build hands the run to the build native to the machine.
#include "native_handoff.h"
#include "inf_discovery.h"
#include "standin.h"
#include "test_support.h"
#include "varnoll_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace varnoll {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::TempFolder;

constexpr USHORT kUnknown = 0, kI386 = 0x014C, kAmd64 = 0x8664, kArm64 = 0xAA64;

// What Windows tells a process about itself. Where IsWow64Process2 exists the
// older calls are scripted as Windows on ARM64 answers them (an x86 or x64
// process is told of an x86 or x64 machine), so that a build trusting them
// picks the wrong program.
struct Report {
  bool hasIsWow64Process2;
  USHORT processMachine;
  USHORT nativeMachine;
  BOOL wow64;
  unsigned short nativeArchitecture;
};

constexpr Report kX86OnX64{true, kI386, kAmd64, TRUE, PROCESSOR_ARCHITECTURE_AMD64};
constexpr Report kX86OnX64Windows7{false, 0, 0, TRUE, PROCESSOR_ARCHITECTURE_AMD64};
constexpr Report kX86OnArm64{true, kI386, kArm64, TRUE, PROCESSOR_ARCHITECTURE_AMD64};
constexpr Report kX64OnArm64{true, kUnknown, kArm64, FALSE, PROCESSOR_ARCHITECTURE_AMD64};
constexpr Report kArm64OnArm64{true, kUnknown, kArm64, FALSE, PROCESSOR_ARCHITECTURE_ARM64};
constexpr Report kX64OnX64{true, kUnknown, kAmd64, FALSE, PROCESSOR_ARCHITECTURE_AMD64};
constexpr Report kX64OnX64Windows7{false, 0, 0, FALSE, PROCESSOR_ARCHITECTURE_AMD64};
constexpr Report kX86OnX86{true, kUnknown, kI386, FALSE, PROCESSOR_ARCHITECTURE_INTEL};
constexpr Report kX86OnX86Windows7{false, 0, 0, FALSE, PROCESSOR_ARCHITECTURE_INTEL};

// The start of a PE image built for `machine`: enough for the hand-off to
// tell which build a sibling is.
std::string ImageFor(USHORT machine) {
  std::string image(0x80 + 24, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = '\x80';
  image.replace(0x80, 4, std::string("PE\0\0", 4));
  image[0x84] = static_cast<char>(machine & 0xFF);
  image[0x85] = static_cast<char>(machine >> 8);
  return image;
}

USHORT MachineOf(const std::string& program) {
  if (program == "varnoll.exe") return kI386;
  return program == "varnoll64.exe" ? kAmd64 : kArm64;
}

// Writes each sibling as the build its name says.
void WriteSiblings(const TempFolder& folder, const std::vector<std::string>& programs) {
  for (const std::string& program : programs) folder.Write(program, ImageFor(MachineOf(program)));
}

void Script(const Report& report) {
  standin::Script& script = standin::Current();
  script.hasIsWow64Process2 = report.hasIsWow64Process2;
  script.wow64ProcessMachine = report.processMachine;
  script.nativeMachine = report.nativeMachine;
  script.wow64 = report.wow64;
  script.nativeArchitecture = report.nativeArchitecture;
}

class NativeHandoff : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override { EXPECT_EQ(standin::OpenHandles(), 0) << "a handle was left open"; }

  std::string Start(const std::string& program) const { return StartIn(folder_, program); }
  std::string Wait(const std::string& program) const { return WaitIn(folder_, program); }

  // The program is started by full path, with no command line.
  static std::string StartIn(const TempFolder& folder, const std::string& program) {
    return "CreateProcessA(" + folder.WithSeparator() + program +
           ", null, null, null, 0x0, 0x0, null, null, startup info)";
  }
  static std::string WaitIn(const TempFolder& folder, const std::string& program) {
    return "WaitForSingleObject(process " + folder.WithSeparator() + program + ", 0xffffffff)";
  }

  TempFolder folder_;
};

TEST_F(NativeHandoff, StartsTheBuildNativeToTheMachineOrRunsItsOwnPass) {
  const std::vector<std::string> all = {"varnoll.exe", "varnoll64.exe", "varnollarm64.exe"};
  struct Case {
    const char* name;
    Machine build;
    Report report;
    std::vector<std::string> siblings;
    const char* started;  // null: nothing is started
    bool ownPass;
  };
  const Case cases[] = {
      {"x86 under WOW64 on x64", Machine::kX86, kX86OnX64, all, "varnoll64.exe", false},
      {"x86 under WOW64 on x64 Windows 7", Machine::kX86, kX86OnX64Windows7, all, "varnoll64.exe", false},
      {"x86 under WOW64 on ARM64", Machine::kX86, kX86OnArm64, all, "varnollarm64.exe", false},
      {"x64 emulated on ARM64", Machine::kX64, kX64OnArm64, all, "varnollarm64.exe", false},
      {"ARM64, native", Machine::kArm64, kArm64OnArm64, all, nullptr, true},
      {"x64, native", Machine::kX64, kX64OnX64, all, nullptr, true},
      {"x64, native, Windows 7", Machine::kX64, kX64OnX64Windows7, all, nullptr, true},
      {"x86 on 32-bit Windows", Machine::kX86, kX86OnX86, all, nullptr, true},
      {"x86 on 32-bit Windows 7", Machine::kX86, kX86OnX86Windows7, all, nullptr, true},
      {"x86 on x64, no x64 build",
       Machine::kX86,
       kX86OnX64,
       {"varnoll.exe", "varnollarm64.exe"},
       nullptr,
       true},
      {"x86 on ARM64, no ARM64 build",
       Machine::kX86,
       kX86OnArm64,
       {"varnoll.exe", "varnoll64.exe"},
       nullptr,
       true},
      {"x64 on ARM64, no ARM64 build",
       Machine::kX64,
       kX64OnArm64,
       {"varnoll.exe", "varnoll64.exe"},
       nullptr,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    WriteSiblings(folder, c.siblings);
    standin::Reset();
    Script(c.report);

    const bool handedOff = HandOffToNativeBuild(folder.WithSeparator(), "varnoll", std::nullopt, c.build).Ran();

    EXPECT_EQ(!handedOff, c.ownPass);
    std::vector<std::string> expected;
    if (c.started) expected.push_back(StartIn(folder, c.started));
    if (c.started && !c.ownPass) expected.push_back(WaitIn(folder, c.started));
    EXPECT_THAT(standin::ProcessCalls(), ElementsAreArray(expected));
  }
}

TEST_F(NativeHandoff, StartsNoSiblingThatIsNotBuiltForTheMachine) {
  struct Case {
    const char* name;
    std::string image;
  };
  const Case cases[] = {
      {"an x86 build named varnoll64.exe", ImageFor(kI386)},
      {"an ARM64 build named varnoll64.exe", ImageFor(kArm64)},
      {"not a program", "MZ"},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    folder.Write("varnoll64.exe", c.image);
    standin::Reset();
    Script(kX86OnX64);
    EXPECT_FALSE(HandOffToNativeBuild(folder.WithSeparator(), "varnoll", std::nullopt, Machine::kX86).Ran());
    EXPECT_THAT(standin::ProcessCalls(), IsEmpty());
  }
}

TEST_F(NativeHandoff, RunsItsOwnPassWhenTheNativeBuildCannotBeStarted) {
  WriteSiblings(folder_, {"varnoll.exe", "varnoll64.exe"});
  Script(kX86OnX64);
  standin::Current().createProcessError = ERROR_ACCESS_DENIED;
  EXPECT_FALSE(HandOffToNativeBuild(folder_.WithSeparator(), "varnoll", std::nullopt, Machine::kX86).Ran());
  EXPECT_THAT(standin::ProcessCalls(), ElementsAre(Start("varnoll64.exe")));
}

// What Windows tells this build, natively on its own machine, and emulated
// on a machine whose native build it is not; null where there is none (an
// ARM64 build runs nowhere else).
const Report* NativeReport() {
  switch (kThisBuild) {
    case Machine::kX86:
      return &kX86OnX86;
    case Machine::kX64:
      return &kX64OnX64;
    case Machine::kArm64:
      return &kArm64OnArm64;
    case Machine::kUnknown:
      break;
  }
  return nullptr;
}

const Report* EmulatedReport() {
  switch (kThisBuild) {
    case Machine::kX86:
      return &kX86OnX64;
    case Machine::kX64:
      return &kX64OnArm64;
    case Machine::kArm64:
    case Machine::kUnknown:
      break;
  }
  return nullptr;
}

// The builds this one is not, as siblings.
std::vector<std::string> OtherBuilds() {
  std::vector<std::string> others;
  for (const Machine machine : {Machine::kX86, Machine::kX64, Machine::kArm64}) {
    if (machine != kThisBuild) others.push_back(BuildFileName(machine));
  }
  return others;
}

TEST_F(NativeHandoff, TheNativeBuildRunsThePassAndStartsNothing) {
  ASSERT_NE(NativeReport(), nullptr);
  WriteSiblings(folder_, OtherBuilds());
  folder_.Write("a.inf", "[Tarvelix]\n%M%=I, PCI\\VEN_1111\n");
  standin::Current().modulePath = folder_.WithSeparator() + BuildFileName(kThisBuild);
  Script(*NativeReport());
  standin::Current().presentHardwareIds = {"PCI\\VEN_1111"};
  CVarnollApp app;
  EXPECT_EQ(app.Run(), 0);
  EXPECT_THAT(standin::ProcessCalls(), IsEmpty());
  EXPECT_THAT(standin::DeviceCalls(), ElementsAre("UpdateDriverForPlugAndPlayDevicesA(null, PCI\\VEN_1111, " +
                                                  folder_.WithSeparator() + "a.inf, 0x1, non-null)"));
}

TEST_F(NativeHandoff, AfterAHandOffThePassTouchesNoDevice) {
  if (EmulatedReport() == nullptr) GTEST_SKIP() << "an ARM64 build is native wherever it runs";
  WriteSiblings(folder_, OtherBuilds());
  folder_.Write("a.inf", "[Tarvelix]\n%M%=I, PCI\\VEN_1111\n");
  standin::Current().modulePath = folder_.WithSeparator() + BuildFileName(kThisBuild);
  Script(*EmulatedReport());
  standin::Current().presentHardwareIds = {"PCI\\VEN_1111"};
  const std::string native = BuildFileName(static_cast<Machine>(EmulatedReport()->nativeMachine));
  CVarnollApp app;
  EXPECT_EQ(app.Run(), 0);
  EXPECT_THAT(standin::ProcessCalls(), ElementsAre(Start(native), Wait(native)));
  EXPECT_THAT(standin::DeviceCalls(), IsEmpty());
}

}  // namespace
}  // namespace varnoll

namespace varnoll {
namespace {

TEST_F(NativeHandoff, AToolHandsOnItsArgumentsAndGetsBackTheExitStatus) {
  folder_.Write("varnollremove64.exe", ImageFor(kAmd64));
  Script(kX86OnX64);
  standin::Current().childExitCode = 3010;
  const HandOff handOff =
      HandOffToNativeBuild(folder_.WithSeparator(), "varnollremove", "\"C:\\drivers\\\\\"", Machine::kX86);
  EXPECT_TRUE(handOff.Ran());
  EXPECT_EQ(handOff.exitCode, 3010u);
  const std::string program = folder_.WithSeparator() + "varnollremove64.exe";
  EXPECT_THAT(standin::ProcessCalls(),
              ElementsAre("CreateProcessA(" + program + ", [\"" + program +
                              "\" \"C:\\drivers\\\\\"], null, null, 0x0, 0x0, null, null, startup info)",
                          "WaitForSingleObject(process " + program + ", 0xffffffff)",
                          "GetExitCodeProcess(process " + program + ")"));
}

TEST(QuoteArgument, GivesTheArgumentBackThroughTheRuntimesParser) {
  struct Case {
    const char* argument;
    const char* quoted;
  };
  const Case cases[] = {
      {"C:\\drivers", "\"C:\\drivers\""},
      {"C:\\my drivers\\", "\"C:\\my drivers\\\\\""},  // a trailing backslash must not escape the quote
      {"C:\\", "\"C:\\\\\""},
      {"a\"b", "\"a\\\"b\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},
      {"", "\"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(QuoteArgument(c.argument), c.quoted);
  }
}

}  // namespace
}  // namespace varnoll
