// The check tool's executor and output, on the host: which action it tells
// for which devices, and that what it prints is what it means to print.
#include "check_executor.h"
#include "check_report.h"
#include "report_format.h"
#include "standin.h"
#include "test_support.h"
#include "text_encoding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnoll::check {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using varnoll::testing::TempFolder;
using Outcome = std::variant<Action, SkipReason>;

PresentDevice Device(const std::string& instance, std::vector<std::string> hardwareIds,
                     std::vector<std::string> compatibleIds = {}, const char* driverInf = nullptr) {
  PresentDevice device{instance, std::move(hardwareIds), std::move(compatibleIds), std::nullopt};
  if (driverInf) device.driverInf = driverInf;
  return device;
}

class CheckExecutor : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }

  CheckReport Check(const std::vector<PresentDevice>* devices) {
    CCheckExecutor executor(devices);
    RunPass(folder_.WithSeparator(), executor);
    return executor.Report(folder_.WithSeparator());
  }

  TempFolder folder_;
};

TEST_F(CheckExecutor, MatchesPresentDevicesByHardwareOrCompatibleIdIgnoringCase) {
  folder_.Write("a.inf", "[Tarvelix]\n%M%=I, PCI\\VEN_1F2E&DEV_0A01\n");
  struct Case {
    const char* name;
    std::vector<PresentDevice> devices;
    Action action;
    std::vector<std::string> instances;
  };
  const Case cases[] = {
      {"same hardware ID",
       {Device("ROOT\\MODEM\\0000", {"PCI\\VEN_1F2E&DEV_0A01"})},
       Action::kInstall,
       {"ROOT\\MODEM\\0000"}},
      {"other case", {Device("PCI\\X\\1", {"pci\\ven_1f2e&dev_0a01"})}, Action::kInstall, {"PCI\\X\\1"}},
      {"second hardware ID",
       {Device("PCI\\X\\2", {"PCI\\VEN_1F2E&DEV_0A01&SUBSYS_1", "PCI\\VEN_1F2E&DEV_0A01"})},
       Action::kInstall,
       {"PCI\\X\\2"}},
      {"compatible ID",
       {Device("PCI\\X\\3", {"PCI\\OTHER"}, {"PCI\\VEN_1F2E&DEV_0A01"})},
       Action::kInstall,
       {"PCI\\X\\3"}},
      {"two devices",
       {Device("A", {"PCI\\VEN_1F2E&DEV_0A01"}), Device("B", {"PCI\\VEN_1F2E&DEV_0A01"})},
       Action::kInstall,
       {"A", "B"}},
      {"a longer ID only", {Device("C", {"PCI\\VEN_1F2E&DEV_0A01&REV_02"})}, Action::kPreinstall, {}},
      {"no device", {}, Action::kPreinstall, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CheckReport report = Check(&c.devices);
    ASSERT_EQ(report.files.size(), 1u);
    const FileReport& file = report.files[0];
    EXPECT_EQ(file.outcome, Outcome(c.action));
    EXPECT_TRUE(file.Qualifies());
    std::vector<std::string> instances;
    for (const DeviceMatch& device : file.devices) instances.push_back(device.instanceId);
    EXPECT_EQ(instances, c.instances);
    EXPECT_EQ(report.reenumerate, std::optional<bool>(c.action == Action::kPreinstall));
  }
}

TEST_F(CheckExecutor, ReportsTheDriverInfOfEachMatchingDevice) {
  folder_.Write("a.inf", "[Tarvelix]\n%M%=I, PCI\\VEN_1\n");
  const std::vector<PresentDevice> devices = {Device("A", {"PCI\\VEN_1"}, {}, "oem3.inf"),
                                              Device("B", {"PCI\\VEN_1"})};
  const CheckReport report = Check(&devices);
  ASSERT_EQ(report.files.size(), 1u);
  ASSERT_EQ(report.files[0].devices.size(), 2u);
  EXPECT_EQ(report.files[0].devices[0].driverInf, std::optional<std::string>("oem3.inf"));
  EXPECT_EQ(report.files[0].devices[1].driverInf, std::nullopt);
}

TEST_F(CheckExecutor, WithoutADeviceViewTheReEnumerationIsUnknownOnlyWhenAFileQualifies) {
  folder_.Write("a.inf", "[Tarvelix]\n%M%=I, MDMGEN\\X\n");
  CheckReport report = Check(nullptr);
  ASSERT_EQ(report.files.size(), 1u);
  EXPECT_EQ(report.files[0].outcome, Outcome(SkipReason::kNoVen));
  EXPECT_EQ(report.reenumerate, std::optional<bool>(false));

  folder_.Write("b.inf", "[Tarvelix]\n%M%=I, PCI\\VEN_2\n");
  report = Check(nullptr);
  ASSERT_EQ(report.files.size(), 2u);
  EXPECT_EQ(report.files[1].outcome, Outcome(Action::kInstallOrPreinstall));
  EXPECT_THAT(report.files[1].devices, IsEmpty());
  EXPECT_EQ(report.reenumerate, std::nullopt);
}

TEST_F(CheckExecutor, TheCheckCallsNoDeviceFunction) {
  folder_.Write("a.inf", "[Tarvelix]\n%M%=I, PCI\\VEN_1\n");
  const std::vector<PresentDevice> none;
  Check(&none);
  EXPECT_THAT(standin::DeviceCalls(), IsEmpty());
}

TEST(CheckText, AnsiBytesBecomeValidUtf8AndJsonEscapes) {
  struct Case {
    const char* name;
    std::string ansi;
    std::string json;
  };
  const Case cases[] = {
      {"plain", "PCI\\VEN_1", "\"PCI\\\\VEN_1\""},
      {"quote", "a\"b", "\"a\\\"b\""},
      {"control characters", std::string("a\tb\x01", 4), "\"a\\u0009b\\u0001\""},
      {"Latin-1 letter", "\xE9", "\"\xC3\xA9\""},
      {"euro sign", "\x80", "\"\xE2\x82\xAC\""},
      {"undefined byte", "\x81", "\"\xEF\xBF\xBD\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(JsonString(AnsiToUtf8(c.ansi)), c.json);
  }
}

TEST(CheckText, DecimalNumbers) {
  EXPECT_EQ(Decimal(0), "0");
  EXPECT_EQ(Decimal(7), "7");
  EXPECT_EQ(Decimal(10000), "10000");
  EXPECT_EQ(Decimal(-12), "-12");
  EXPECT_EQ(Decimal(-2147483648LL), "-2147483648");
}

TEST(CheckText, TheSummaryCountsEachAction) {
  CheckReport report;
  report.folder = "/x/";
  report.files.resize(4);
  report.files[0].outcome = Action::kInstall;
  report.files[1].outcome = Action::kPreinstall;
  report.files[2].outcome = Action::kPreinstall;
  report.reenumerate = true;
  const std::string text = FormatText(report);
  EXPECT_NE(text.find("4 INF files: 1 would be installed, 2 pre-installed, 1 skipped; the device tree would "
                      "then be re-enumerated once."),
            std::string::npos)
      << text;
}

}  // namespace
}  // namespace varnoll::check
