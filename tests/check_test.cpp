// The check tool's executor and output, on the host: which action it tells
// for which devices, and that what it prints is what it means to print.
#include "check_executor.h"
#include "check_report.h"
#include "detect.h"
#include "driver_store.h"
#include "json_writer.h"
#include "machine_checks.h"
#include "report_format.h"
#include "standin.h"
#include "test_support.h"
#include "text_encoding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
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
  PresentDevice device{instance, std::move(hardwareIds), std::move(compatibleIds), std::nullopt,
                       DeviceState{}};
  if (driverInf) device.driverInf = driverInf;
  return device;
}

class CheckExecutor : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }

  // Null `devices`: nothing of the system can be seen, as on Linux.
  CheckReport Check(const std::vector<PresentDevice>* devices) {
    std::optional<SystemView> system;
    if (devices) system = SystemView{*devices, CDriverStore(store_.WithSeparator())};
    CCheckExecutor executor(system ? &*system : nullptr);
    RunPass(folder_.WithSeparator(), executor);
    return executor.Report(folder_.WithSeparator());
  }

  TempFolder folder_;
  TempFolder store_;  // the system INF folder
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

TEST_F(CheckExecutor, TheVerdictNeedsEveryCopyInTheStoreAndEveryDeviceOnIt) {
  const std::string inf = "[Tarvelix]\n%M%=I, PCI\\VEN_1\n";
  const auto running = [](const char* driver) { return Device("PCI\\X\\1", {"PCI\\VEN_1"}, {}, driver); };
  const auto withState = [&](std::optional<DeviceState> state) {
    PresentDevice device = running("oem7.inf");
    device.state = state;
    return device;
  };
  DeviceState failed;
  failed.problem = 28;
  DeviceState restart;
  restart.started = true;
  restart.restartPending = true;
  DeviceState restartProblem;
  restartProblem.problem = kProblemNeedRestart;
  restartProblem.restartPending = true;
  struct Case {
    const char* name;
    bool qualifies;  // a.inf names a VEN_ ID
    bool inStore;    // oem7.inf holds a.inf's bytes
    std::vector<PresentDevice> devices;
    bool inPlace;
    bool restartPending;
    const char* missing;  // words of the first missing piece
  };
  const Case cases[] = {
      {"in the store, no device", true, true, {}, true, false, nullptr},
      {"in the store, the device uses it", true, true, {running("oem7.inf")}, true, false, nullptr},
      {"the driver's INF name differs only in case", true, true, {running("OEM7.INF")}, true, false, nullptr},
      {"not in the store", true, false, {}, false, false, "not in the driver store"},
      {"the device has another driver", true, true, {running("oem3.inf")}, false, false, "from oem3.inf"},
      {"the device has no driver", true, true, {running(nullptr)}, false, false, "no driver installed"},
      {"the device has a problem",
       true,
       true,
       {withState(failed)},
       false,
       false,
       "28 (CM_PROB_FAILED_INSTALL)"},
      {"a restart is pending", true, true, {withState(restart)}, true, true, nullptr},
      {"the restart problem code", true, true, {withState(restartProblem)}, true, true, nullptr},
      {"the state cannot be read", true, true, {withState(std::nullopt)}, true, false, nullptr},
      {"nothing qualifies", false, true, {}, false, false, "qualifies"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store_.Write("oem7.inf", c.inStore ? inf : std::string(inf.size(), 'x'));
    folder_.Write("a.inf", c.qualifies ? inf : "[Tarvelix]\n%M%=I, MDMGEN\\1\n");
    const CheckReport report = Check(&c.devices);
    const Verdict verdict = Detect(report);
    EXPECT_EQ(verdict.inPlace, c.inPlace);
    EXPECT_EQ(verdict.restartPending, c.restartPending);
    EXPECT_EQ(verdict.summary.empty(), !c.inPlace);
    if (c.missing) {
      ASSERT_FALSE(verdict.missing.empty());
      EXPECT_THAT(verdict.missing[0], ::testing::HasSubstr(c.missing));
    } else {
      EXPECT_THAT(verdict.missing, IsEmpty());
    }
    if (c.qualifies) {
      EXPECT_EQ(report.files[0].store, c.inStore ? std::optional<std::string>("oem7.inf") : std::nullopt);
    }
  }
}

TEST_F(CheckExecutor, AnyIdenticalCopyCountsAndTheLastInfWithAnIdDecides) {
  const std::string a = "[Tarvelix]\n%M%=I, PCI\\VEN_1\n";
  const std::string b = "[Tarvelix]\n%M%=J, Pci\\VEN_1\n";  // the same ID to Windows
  const auto on = [](const char* driver) {
    return std::vector<PresentDevice>{Device("ROOT\\MODEM\\0000", {"PCI\\VEN_1"}, {}, driver)};
  };
  struct Case {
    const char* name;
    bool withB;
    std::vector<std::pair<std::string, std::string>> store;  // name, bytes
    std::vector<PresentDevice> devices;
    bool inPlace;
    const char* aStore;  // a.inf's `store`
  };
  const Case cases[] = {
      {"the device uses the third identical copy",
       false,
       {{"oem3.inf", a}, {"oem4.inf", a}, {"oem5.inf", a}},
       on("oem5.inf"),
       true,
       "oem5.inf"},
      {"no device: the first copy", false, {{"oem4.inf", a}, {"oem3.inf", a}}, {}, true, "oem3.inf"},
      {"a copy by hand is no package", false, {{"notmine.inf", a}}, on("notmine.inf"), false, nullptr},
      {"the device keeps the later INF's driver",
       true,
       {{"oem3.inf", a}, {"oem4.inf", b}},
       on("oem4.inf"),
       true,
       "oem3.inf"},
      {"the device has the earlier INF's driver",
       true,
       {{"oem3.inf", a}, {"oem4.inf", b}},
       on("oem3.inf"),
       false,
       "oem3.inf"},
      {"the earlier INF must still be in the store", true, {{"oem4.inf", b}}, on("oem4.inf"), false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder store;
    for (const auto& [name, bytes] : c.store) store.Write(name, bytes);
    TempFolder folder;
    folder.Write("a.inf", a);
    if (c.withB) folder.Write("b.inf", b);
    SystemView system{c.devices, CDriverStore(store.WithSeparator())};
    CCheckExecutor executor(&system);
    RunPass(folder.WithSeparator(), executor);
    const CheckReport report = executor.Report(folder.WithSeparator());
    const Verdict verdict = Detect(report);
    EXPECT_EQ(verdict.inPlace, c.inPlace) << (verdict.missing.empty() ? "" : verdict.missing[0]);
    EXPECT_EQ(report.files[0].store, c.aStore ? std::optional<std::string>(c.aStore) : std::nullopt);
    EXPECT_EQ(report.files[0].note.find("b.inf, has the same hardware ID") != std::string::npos, c.withB)
        << report.files[0].note;
  }
}

TEST(DriverStore, FindsEveryPublishedCopyWithTheSameBytesAndNothingElse) {
  const std::string inf = "[Tarvelix]\n%M%=I, PCI\\VEN_1\n";
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> store;  // name, bytes
    std::vector<std::string> copies;
    std::vector<std::string> otherNames;
  };
  const Case cases[] = {
      {"same bytes under another name", {{"oem1.inf", "x"}, {"oem12.inf", inf}}, {"oem12.inf"}, {}},
      {"same size, other bytes", {{"oem1.inf", std::string(inf.size(), 'x')}}, {}, {}},
      {"same bytes but longer", {{"oem1.inf", inf + "\n"}}, {}, {}},
      {"an empty file", {{"oem1.inf", ""}}, {}, {}},
      {"every copy, in listing order", {{"oem4.inf", inf}, {"oem3.inf", inf}}, {"oem3.inf", "oem4.inf"}, {}},
      {"the name in any case", {{"OEM5.INF", inf}}, {"OEM5.INF"}, {}},
      {"not named *.inf", {{"oem1.pnf", inf}}, {}, {}},
      {"copied there by hand", {{"notmine.inf", inf}, {"oem2.inf", inf}}, {"oem2.inf"}, {"notmine.inf"}},
      {"listed through its 8.3 alias", {{"oem8.infbackup", inf}}, {}, {"oem8.infbackup"}},
      {"not a published name", {{"oem7.inf.bak", inf}, {"oem.inf", inf}, {"oemx7.inf", inf}}, {}, {"oem.inf", "oemx7.inf"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder package;
    TempFolder store;
    for (const auto& [name, bytes] : c.store) store.Write(name, bytes);
    store.MakeFolder("folder.inf");
    const std::string path = package.Write("a.inf", inf);
    InfFingerprint fingerprint;
    ASSERT_TRUE(FingerprintFile(path, fingerprint));
    const StoreLookup lookup = CDriverStore(store.WithSeparator()).FindCopyOf(path, fingerprint);
    EXPECT_EQ(lookup.copies, c.copies);
    EXPECT_EQ(lookup.otherNames, c.otherNames);
    EXPECT_THAT(lookup.unreadable, IsEmpty());
    EXPECT_FALSE(lookup.changedWhileCompared);
  }
}

TEST(DriverStore, SaysWhatItCouldNotCompare) {
  const std::string inf = "[Tarvelix]\n%M%=I, PCI\\VEN_1\n";
  TempFolder package;
  TempFolder store;
  const std::string path = package.Write("a.inf", inf);
  InfFingerprint fingerprint;
  ASSERT_TRUE(FingerprintFile(path, fingerprint));
  EXPECT_EQ(fingerprint.size, inf.size());
  EXPECT_EQ(fingerprint.sha256.size(), 64u);

  // Gone between the listing and the comparison: not compared, and said.
  store.Write("oem1.inf", inf);
  const CDriverStore listed(store.WithSeparator());
  std::filesystem::remove(store.Path() / "oem1.inf");
  StoreLookup lookup = listed.FindCopyOf(path, fingerprint);
  EXPECT_THAT(lookup.copies, IsEmpty());
  EXPECT_THAT(lookup.unreadable, ElementsAre("oem1.inf"));

  // The INF changed (same size) after it was fingerprinted: the copy of what
  // it was is no answer.
  store.Write("oem2.inf", inf);
  package.Write("a.inf", std::string(inf.size(), 'y'));
  lookup = CDriverStore(store.WithSeparator()).FindCopyOf(path, fingerprint);
  EXPECT_THAT(lookup.copies, IsEmpty());
  EXPECT_TRUE(lookup.changedWhileCompared);
}

TEST(DriverStore, FingerprintsAreSha256OfTheBytes) {
  TempFolder folder;
  InfFingerprint fingerprint;
  ASSERT_TRUE(FingerprintFile(folder.Write("abc.inf", "abc"), fingerprint));
  EXPECT_EQ(fingerprint.sha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  ASSERT_TRUE(FingerprintFile(folder.Write("empty.inf", ""), fingerprint));
  EXPECT_EQ(fingerprint.sha256, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(fingerprint.size, 0u);
  folder.MakeFolder("dir.inf");
  EXPECT_FALSE(FingerprintFile(folder.WithSeparator() + "dir.inf", fingerprint));
  EXPECT_EQ(fingerprint.size, 0u) << "left as it was";
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

// A qualifying a.inf whose package is a modem's, on a system with
// `devices`, judged by `policy`; its copy in the store unless `inStore` is
// false.
class MachineCheck : public CheckExecutor {
 protected:
  CheckReport Judged(const std::vector<PresentDevice>& devices, const machine::DevicePolicy& policy,
                     bool inStore = true) {
    folder_.Write("a.inf", "[Tarvelix]\n%M%=I, PCI\\VEN_1F2E&DEV_0A01\n");
    store_.Write("oem7.inf", inStore ? "[Tarvelix]\n%M%=I, PCI\\VEN_1F2E&DEV_0A01\n" : "something else");
    CheckReport report = Check(&devices);
    report.files[0].package = package::PackageReport();
    report.files[0].package->classGuid = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";
    const SystemView system{devices, std::nullopt};
    JudgePolicy(report, &system, policy);
    report.machine = machine::MachineState{policy, {}};
    return report;
  }
};

TEST_F(MachineCheck, APolicyBlockIsAFindingThatFailsAndAReasonWhenNotInPlace) {
  machine::DevicePolicy policy;
  policy.denyDeviceIds = {true, false, {"PCI\\CC_070300"}};
  // Matched by its compatible ID only; the other device's IDs are not listed.
  std::vector<PresentDevice> devices = {
      Device("PCI\\X\\1", {"PCI\\VEN_1F2E&DEV_0A01"}, {"PCI\\CC_070300"}, "oem3.inf"),
      Device("PCI\\X\\2", {"PCI\\VEN_1F2E&DEV_0A01"}, {}, "oem3.inf")};
  CheckReport report = Judged(devices, policy);
  const auto& findings = report.files[0].package->findings;
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].code, "blocked-by-policy");
  EXPECT_TRUE(findings[0].fails);
  EXPECT_EQ(findings[0].text,
            "blocked by device-installation policy (DenyDeviceIDs: PCI\\CC_070300) for device PCI\\X\\1");
  EXPECT_EQ(PolicyWordsFor(report.files[0]),
            std::optional<std::string>("blocked by device-installation policy (DenyDeviceIDs: PCI\\CC_070300)"));
  const Verdict verdict = Detect(report);
  EXPECT_FALSE(verdict.inPlace);
  EXPECT_THAT(verdict.missing, ::testing::Contains("a.inf: " + findings[0].text));

  // With no device present, the hardware ID and the class are judged.
  policy = machine::DevicePolicy();
  policy.denyClasses = {true, false, {"{4d36e96d-e325-11ce-bfc1-08002be10318}"}};
  report = Judged({}, policy);
  ASSERT_EQ(report.files[0].package->findings.size(), 1u);
  EXPECT_THAT(report.files[0].package->findings[0].text,
              ::testing::EndsWith("for hardware ID PCI\\VEN_1F2E&DEV_0A01 (no device present yet)"));
  // In place already: the block is no reason, since nothing is missing.
  EXPECT_TRUE(Detect(report).inPlace);
}

TEST_F(MachineCheck, APendingRestartChangesTheWordsNotTheVerdict) {
  CheckReport report = Judged({}, machine::DevicePolicy());
  report.machine->restart.servicing = true;
  Verdict verdict = Detect(report);
  EXPECT_TRUE(verdict.inPlace);
  EXPECT_THAT(verdict.summary,
              ::testing::EndsWith("; the machine waits for a restart (Component Based Servicing RebootPending)"));
  report = Judged({}, machine::DevicePolicy(), false);
  report.machine->restart.fileRenames = true;
  verdict = Detect(report);
  EXPECT_FALSE(verdict.inPlace);
  EXPECT_EQ(verdict.missing.back(),
            "the machine waits for a restart (PendingFileRenameOperations): a restart may finish it");
  EXPECT_EQ(verdict.missing.size(), 2u);
}

TEST_F(MachineCheck, TheJsonNamesTheRestartMarksThePolicyAndEachProblem) {
  machine::DevicePolicy policy;
  policy.layered = true;
  DeviceState failed;
  failed.problem = 52;
  std::vector<PresentDevice> devices = {Device("PCI\\X\\1", {"PCI\\VEN_1F2E&DEV_0A01"}, {}, "oem7.inf")};
  devices[0].state = failed;
  CheckReport report = Judged(devices, policy);
  report.machine->restart.windowsUpdate = true;
  const std::string json = FormatJson(report);
  EXPECT_THAT(json, ::testing::HasSubstr("\"problem\": 52, \"problem_name\": \"CM_PROB_UNSIGNED_DRIVER\""));
  EXPECT_THAT(json, ::testing::HasSubstr("\"restart_pending\": [\"windows-update\"]"));
  EXPECT_THAT(json, ::testing::HasSubstr("\"device_install_policy\": [\"AllowDenyLayered\"]"));
  const std::string text = FormatText(report);
  EXPECT_THAT(text, ::testing::HasSubstr("problem 52 (CM_PROB_UNSIGNED_DRIVER): Windows cannot verify the "
                                         "digital signature of the drivers: a signing problem"));
  EXPECT_THAT(text, ::testing::HasSubstr("Machine: restart pending (Windows Update RebootRequired); "
                                         "device-installation policy: AllowDenyLayered\n"));
}

TEST_F(MachineCheck, OnlyThisMachinesOwnLogIsExplainedByItsPolicy) {
  machine::DevicePolicy policy;
  policy.denyDeviceIds = {true, false, {"PCI\\VEN_1F2E&DEV_0A01"}};
  CheckReport report = Judged({}, policy);
  report.logRequested = true;
  report.logFile = "setupapi.dev.log";
  LoggedRun blocked;
  blocked.status = "FAILURE(0xe0000248)";
  blocked.error = "0xE0000248";
  report.files[0].lastUpdate = blocked;
  report.logOfThisMachine = true;
  EXPECT_THAT(FormatJson(report), ::testing::HasSubstr("\"cause\": \"blocked by device-installation policy "
                                                       "(DenyDeviceIDs: PCI\\\\VEN_1F2E&DEV_0A01)\""));
  // A log copied from another machine was written under that machine's policy.
  report.logOfThisMachine = false;
  EXPECT_THAT(FormatText(report), ::testing::HasSubstr(
                                      "  update cause: blocked by device-installation policy "
                                      "(ERROR_DEVICE_INSTALL_BLOCKED)\n"));
}

TEST(CheckText, EveryDocumentedProblemCodeHasANameAndAMeaning) {
  for (unsigned long code = 1; code <= 57; ++code) {
    SCOPED_TRACE(code);
    ASSERT_NE(ProblemName(code), nullptr);
    EXPECT_THAT(ProblemName(code), ::testing::StartsWith("CM_PROB_"));
    EXPECT_NE(ProblemMeaning(code), nullptr);
  }
  EXPECT_EQ(ProblemName(0), nullptr);
  EXPECT_EQ(ProblemName(58), nullptr);
  EXPECT_EQ(ProblemText(99), "99");
  EXPECT_STREQ(ProblemName(43), "CM_PROB_FAILED_POST_START");
}

}  // namespace
}  // namespace varnoll::check
