// The check tool's summary line: what it holds, which cause it names, and
// what it drops, in which order, to stay within a deployment console's
// 2,048 bytes. Lines are read back with the fleet reader's JSON parser.
#include "detect.h"
#include "json_value.h"
#include "summary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace varnoll::check {
namespace {

using fleet::JsonValue;
using ::testing::HasSubstr;
using ::testing::Not;

JsonValue Parsed(const std::string& line) {
  JsonValue json;
  std::string problem;
  bool cut = false;
  EXPECT_TRUE(fleet::ParseJson(line, json, problem, cut)) << problem << ": " << line;
  return json;
}

SummaryDevice Quiet(int n) {
  SummaryDevice device;
  device.instanceId = "ROOT\\MODEM\\" + std::to_string(n);
  device.driverInf = "oem41.inf";
  device.usesPackage = true;
  device.restartPending = false;
  return device;
}

SummaryDevice Drifting(int n, const std::string& provider) {
  SummaryDevice device = Quiet(n);
  device.driverInf = "oem12.inf";
  device.usesPackage = false;
  device.provider = provider;
  device.date = "1-15-2030";
  device.version = "9.0.0.0";
  device.newer = true;
  return device;
}

Summary Base() {
  Summary summary;
  summary.question = Question::kDetect;
  summary.verdict = "not-in-place";
  summary.cause = "other-driver-newer";
  summary.driver = "oem12.inf";
  summary.restartPending = false;
  summary.infs = summary.qualifying = 1;
  summary.details.push_back({"tarvelix-v92.inf", std::string("oem41.inf"), {}, {"downgrade"}});
  return summary;
}

TEST(SummaryLine, DropsDetailInItsDocumentedOrderAndNeverMore) {
  struct Case {
    const char* name;
    std::function<void(Summary&)> make;
    bool truncated;
    std::vector<const char*> present;  // words the line still holds
    std::vector<const char*> absent;   // words it dropped
  };
  const std::string longProvider(200, 'P');
  const Case cases[] = {
      {"a machine with two devices keeps everything",
       [](Summary& s) {
         s.details[0].devices = {Quiet(1), Drifting(2, "Contoso")};
       },
       false,
       {"ROOT\\\\MODEM\\\\1", "\"provider\":\"Contoso\"", "\"newer\":true", "\"findings\":[\"downgrade\"]"},
       {}},
      {"1. the devices that use the package without a problem go first",
       [](Summary& s) {
         for (int i = 0; i < 60; ++i) s.details[0].devices.push_back(Quiet(100 + i));
         s.details[0].devices.push_back(Drifting(2, "Contoso"));
       },
       true,
       {"ROOT\\\\MODEM\\\\2\"", "\"provider\":\"Contoso\"", "\"device_count\":61"},
       {"ROOT\\\\MODEM\\\\100\""}},
      {"2. then the driver detail of the devices left",
       [&](Summary& s) {
         for (int i = 0; i < 12; ++i) s.details[0].devices.push_back(Drifting(i, longProvider));
       },
       true,
       {"ROOT\\\\MODEM\\\\11\"", "\"devices\":["},
       {"\"provider\"", "\"newer\""}},
      {"3. then the devices themselves, their count kept",
       [](Summary& s) {
         for (int i = 0; i < 80; ++i) s.details[0].devices.push_back(Drifting(i, "Contoso"));
       },
       true,
       {"\"device_count\":80", "\"findings\":[\"downgrade\"]"},
       {"\"devices\":[", "ROOT"}},
      {"5. the policy blocks' texts, their count kept",
       [](Summary& s) {
         s.policyBlocks.assign(12, std::string(190, 'D'));
       },
       true,
       {"\"policy_blocks\":[]", "\"policy_blocks\":12", "\"infs\":[{"},
       {"DDDD"}},
      {"6. then INFs from the last back; the counts keep them all",
       [](Summary& s) {
         s.qualifying = s.infs = 200;
         for (int i = 1; i < 200; ++i) s.details.push_back({"inf" + std::to_string(i) + ".inf", std::nullopt, {}, {"no-catalog"}});
       },
       true,
       {"\"qualifying\":200", "tarvelix-v92.inf", "inf1.inf"},
       {"inf199.inf", "\"findings\":["}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Summary summary = Base();
    c.make(summary);
    const std::string line = SummaryLine(summary);
    EXPECT_LE(line.size() + 2, kSummaryLineLimit);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const JsonValue json = Parsed(line);
    EXPECT_EQ(json.BoolAt("truncated"), c.truncated);
    EXPECT_EQ(json.StringAt("verdict"), "not-in-place");
    EXPECT_EQ(json.StringAt("cause"), "other-driver-newer");
    ASSERT_NE(json.Find("counts"), nullptr);
    for (const char* word : c.present) EXPECT_THAT(line, HasSubstr(word));
    for (const char* word : c.absent) EXPECT_THAT(line, Not(HasSubstr(word)));
  }
}

TEST(SummaryLine, HostileNamesStayWholeJsonWithinTheLimit) {
  const std::string hostile[] = {
      std::string("quote\" back\\slash\x01\x1f tab\t.inf"),
      std::string("ansi \xE9\xE8\x80\x9F.inf"),  // Windows-1252 bytes, not UTF-8
      std::string(255, '"') + ".inf",
      std::string(255, '\x01'),
      "{\"summary\":1}.inf",
  };
  for (const std::string& name : hostile) {
    SCOPED_TRACE(name);
    Summary summary = Base();
    summary.qualifying = summary.infs = 40;
    summary.driver = name;
    for (int i = 0; i < 40; ++i) {
      SummaryInf inf{name, name, {Drifting(i, name)}, {"not-in-catalog"}};
      inf.devices[0].instanceId = name;
      summary.details.push_back(inf);
    }
    const std::string line = SummaryLine(summary);
    EXPECT_LE(line.size() + 2, kSummaryLineLimit);
    const JsonValue json = Parsed(line);
    EXPECT_EQ(json.BoolAt("truncated"), true);
    EXPECT_EQ(json.NumberAt("summary"), 1);
    ASSERT_NE(json.Find("counts"), nullptr);
    EXPECT_EQ(json.Find("counts")->NumberAt("qualifying"), 40);
    // 7. the cause's driver goes last, only when no INF is left.
    if (json.Find("driver") == nullptr) {
      EXPECT_TRUE(json.Find("infs")->items.empty());
    }
  }
}

FileReport Qualifying(const std::string& name, std::optional<std::string> store) {
  FileReport file;
  file.name = name;
  file.hardwareId = "PCI\\VEN_1F2E&DEV_0A01";
  file.outcome = Action::kInstall;
  file.store = store;
  if (store) file.storeCopies = {*store};
  file.package = package::PackageReport();
  file.package->driverVer = package::DriverVer{"01/01/2020", "1.0.0.0"};
  return file;
}

DeviceMatch On(const char* driver, bool ours, std::optional<unsigned long> problem = std::nullopt) {
  DeviceMatch device;
  device.instanceId = "ROOT\\MODEM\\0000";
  device.driverInf = driver;
  device.usesPackage = ours;
  device.state = DeviceState{true, problem, problem == kProblemNeedRestart};
  return device;
}

TEST(Summarize, NamesTheCauseOfTheVerdict) {
  struct Case {
    const char* name;
    std::function<void(CheckReport&)> make;
    const char* verdict;
    const char* cause;
    std::optional<std::string> driver;
    std::optional<unsigned long> problem;
  };
  const Case cases[] = {
      {"in place", [](CheckReport& r) { r.files[0].devices = {On("oem41.inf", true)}; }, "in-place", "in-place",
       std::nullopt, std::nullopt},
      {"in place, waiting for a restart",
       [](CheckReport& r) { r.files[0].devices = {On("oem41.inf", true, kProblemNeedRestart)}; }, "in-place",
       "restart-pending", std::nullopt, std::nullopt},
      {"not in the store", [](CheckReport& r) { r.files[0].store.reset(); }, "not-in-place", "not-in-store",
       std::nullopt, std::nullopt},
      {"another, newer driver",
       [](CheckReport& r) {
         DeviceMatch device = On("oem12.inf", false);
         device.downgrade = true;
         r.files[0].devices = {device};
       },
       "not-in-place", "other-driver-newer", std::string("oem12.inf"), std::nullopt},
      {"another, older driver",
       [](CheckReport& r) {
         DeviceMatch device = On("oem12.inf", false);
         device.downgrade = false;
         r.files[0].devices = {device};
       },
       "not-in-place", "other-driver-older", std::string("oem12.inf"), std::nullopt},
      {"another driver of unknown age", [](CheckReport& r) { r.files[0].devices = {On("oem12.inf", false)}; },
       "not-in-place", "other-driver", std::string("oem12.inf"), std::nullopt},
      {"a problem code", [](CheckReport& r) { r.files[0].devices = {On("oem41.inf", true, 28)}; }, "not-in-place",
       "problem-28", std::string("oem41.inf"), 28ul},
      {"a finding that fails explains the missing piece",
       [](CheckReport& r) {
         r.files[0].store.reset();
         r.files[0].package->findings.push_back({"blocked-by-policy", true, "", "DenyDeviceClasses blocks the Modem class"});
       },
       "not-in-place", "blocked-by-policy", std::nullopt, std::nullopt},
      {"a package in the store was taken, whatever its findings: the other driver is the cause",
       [](CheckReport& r) {
         r.files[0].devices = {On("oem12.inf", false)};
         r.files[0].package->findings.push_back({"not-trusted", true, "", "the catalog's signer is not trusted"});
       },
       "not-in-place", "other-driver", std::string("oem12.inf"), std::nullopt},
      {"nothing qualifies", [](CheckReport& r) { r.files[0].outcome = SkipReason::kNoVen; }, "not-in-place",
       "nothing-qualifies", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CheckReport report;
    report.systemVisible = true;
    report.files.push_back(Qualifying("a.inf", std::string("oem41.inf")));
    c.make(report);
    const Verdict verdict = Detect(report);
    const Summary summary = Summarize(report, Question::kDetect, &verdict, false);
    EXPECT_EQ(summary.verdict, c.verdict);
    EXPECT_EQ(summary.cause, c.cause);
    EXPECT_EQ(summary.driver, c.driver);
    EXPECT_EQ(summary.problem, c.problem);
    const JsonValue json = Parsed(SummaryLine(summary));
    EXPECT_EQ(json.StringAt("cause"), c.cause);
    if (summary.cause == "blocked-by-policy") {
      ASSERT_EQ(json.Find("policy_blocks")->items.size(), 1u);
      EXPECT_EQ(json.Find("policy_blocks")->items[0].text, "DenyDeviceClasses blocks the Modem class");
    }
  }
}

TEST(Detect, NamesTheDriverADeviceUsesInstead) {
  FileReport file = Qualifying("a.inf", std::string("oem41.inf"));
  DeviceMatch device = On("oem12.inf", false);
  device.driverProvider = "Contoso";
  device.driverDate = "1-15-2030";
  device.driverVersion = "9.0.0.0";
  device.downgrade = true;
  EXPECT_EQ(DriverInUseWords(file, device),
            "oem12.inf (Contoso, 1-15-2030, 9.0.0.0, newer than this package's 01/01/2020, 1.0.0.0)");
  device.downgrade = false;
  EXPECT_THAT(DriverInUseWords(file, device), HasSubstr("not newer than this package's"));
  device.driverProvider.reset();
  device.downgrade.reset();
  EXPECT_EQ(DriverInUseWords(file, device), "oem12.inf (1-15-2030, 9.0.0.0)");
  CheckReport report;
  report.systemVisible = true;
  file.devices = {device};
  report.files.push_back(file);
  const Verdict verdict = Detect(report);
  ASSERT_EQ(verdict.missing.size(), 1u);
  EXPECT_EQ(verdict.missing[0], "a.inf: device ROOT\\MODEM\\0000 has its driver from oem12.inf (1-15-2030, 9.0.0.0)");
  EXPECT_EQ(verdict.cause, "other-driver");
}

}  // namespace
}  // namespace varnoll::check
