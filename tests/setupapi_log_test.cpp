// Reading setupapi.dev.log back: real excerpts first (tests/data/setupapi),
// then written cases for what no excerpt shows.
#include "error_names.h"
#include "setupapi_log.h"
#include "log_cause.h"
#include "log_report.h"
#include "test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace varnoll::check {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TempFolder;

std::string Sample(const std::string& name) {
  std::ifstream in(std::string(VARNOLL_TEST_DATA) + "/setupapi/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Latin-1 text as a UTF-16 log holds it: the byte-order mark, then each
// character as two bytes, low first.
std::string Utf16(const std::string& latin1) {
  std::string utf16 = "\xFF\xFE";
  for (const char c : latin1) {
    utf16 += c;
    utf16 += '\0';
  }
  return utf16;
}

struct Read {
  bool readable = false;
  size_t sections = 0;
  std::vector<LoggedRun> runs;
};

Read ReadBytes(const std::string& bytes) {
  TempFolder folder;
  Read read;
  read.readable = ReadSetupLog(
      folder.Write("setupapi.dev.log", bytes), [&](const LoggedRun& run) { read.runs.push_back(run); },
      read.sections);
  return read;
}

TEST(SetupLog, RealExcerpts) {
  Read read = ReadBytes(Sample("libwdi-275.log"));
  ASSERT_TRUE(read.readable);
  EXPECT_EQ(read.sections, 1u) << "a footer without its header opens nothing";
  ASSERT_EQ(read.runs.size(), 1u);
  EXPECT_EQ(read.runs[0].call, LoggedCall::kUpdate);
  EXPECT_EQ(read.runs[0].subject, "USB\\VID_0483&PID_0000&REV_0200");
  EXPECT_EQ(read.runs[0].time, "2022/09/24 19:08:18.957");
  EXPECT_EQ(read.runs[0].cmd, std::optional<std::string>("\"C:\\drivers\\installer_x64.exe\" \"SONUS.inf\""));
  EXPECT_EQ(read.runs[0].status, std::nullopt) << "no footer: unfinished, not a success";

  read = ReadBytes(Sample("libwdi-200.log"));
  ASSERT_EQ(read.runs.size(), 1u);
  EXPECT_EQ(read.runs[0].subject, "USB\\VID_03EB&PID_2FF4&REV_0000");
  EXPECT_EQ(read.runs[0].time, "2020/09/22 14:27:17.144");

  read = ReadBytes(Sample("libwdi-226.log"));
  EXPECT_EQ(read.sections, 1u);
  EXPECT_THAT(read.runs, IsEmpty()) << "a policy check is no call of the installer's";

  read = ReadBytes(Sample("lbfo-win10-1.log"));
  ASSERT_EQ(read.runs.size(), 1u);
  const std::string path =
      "c:\\extracted\\fromalpha\\driverstore\\filerepository\\mslbfoprovider.inf_amd64_f9d27a6b05ef21aa\\"
      "mslbfoprovider.inf";
  EXPECT_EQ(read.runs[0].call, LoggedCall::kStaging);
  EXPECT_EQ(read.runs[0].infPath, path);
  EXPECT_EQ(read.runs[0].cmd, std::optional<std::string>(
                                  "C:\\Windows\\system32\\DllHost.exe /Processid:{7007ACD1-3202-11D1-AAD2-"
                                  "00805FC1270E}"));
  EXPECT_EQ(read.runs[0].published, std::nullopt);

  read = ReadBytes(">>>  [SetupCopyOEMInf - C:\\pkg\\creativesbconnect.inf]\r\n" +
                   Sample("libwdi-176-body.log") + "<<<  [Exit status: SUCCESS]\r\n");
  ASSERT_EQ(read.runs.size(), 1u);
  EXPECT_EQ(read.runs[0].published, std::optional<std::string>("oem95.inf"));

  read = ReadBytes(Sample("driver-samples-57.log"));
  EXPECT_EQ(read.sections, 1u);
  EXPECT_THAT(read.runs, IsEmpty());
}

// Whole sections, header to footer. What Windows does inside a call (the
// driver store import, signature checks, building driver lists, the device
// install) is logged in the call's own section as indented "{...}" blocks,
// not as sections of their own, so a footer always closes the last header.
TEST(SetupLog, RealWholeSections) {
  Read read = ReadBytes(Sample("xcp-ng-win-pv-drivers.log"));
  ASSERT_TRUE(read.readable);
  EXPECT_EQ(read.sections, 2u);
  ASSERT_EQ(read.runs.size(), 2u);
  const std::string inf = "C:\\Program Files\\XCP-ng\\XenTools\\Drivers\\xennet\\x64\\xennet.inf";
  const std::optional<std::string> cmd("\"C:\\Program Files\\XCP-ng\\XenTools\\InstallAgent.exe\"");
  for (const LoggedRun& run : read.runs) {
    SCOPED_TRACE(run.time);
    EXPECT_EQ(run.call, LoggedCall::kStaging);
    EXPECT_EQ(run.infPath, inf);
    EXPECT_EQ(run.cmd, cmd);
    EXPECT_FALSE(run.restart);
  }
  EXPECT_EQ(read.runs[0].time, "2023/11/09 07:23:02.062");
  EXPECT_EQ(read.runs[0].status, std::optional<std::string>("SUCCESS"));
  EXPECT_EQ(read.runs[0].error, std::nullopt);
  EXPECT_EQ(read.runs[0].published, std::optional<std::string>("oem2.inf"));
  EXPECT_EQ(read.runs[1].time, "2023/12/15 13:50:24.770");
  EXPECT_EQ(read.runs[1].status, std::optional<std::string>("FAILURE(0xe0000247)"));
  EXPECT_EQ(read.runs[1].error, std::optional<std::string>("0xE0000247"));
  EXPECT_EQ(read.runs[1].published, std::nullopt) << "the import failed: nothing was published";

  read = ReadBytes(Sample("itpro-docs-upgrade-log-files.log"));
  EXPECT_EQ(read.sections, 1u);
  ASSERT_EQ(read.runs.size(), 1u);
  const LoggedRun& update = read.runs[0];
  EXPECT_EQ(update.call, LoggedCall::kUpdate);
  EXPECT_EQ(update.subject, "PCI\\VEN_8086&DEV_8C4F");
  EXPECT_EQ(
      update.infPath,
      "C:\\WINDOWS\\TEMP\\{15B1CD41-69F5-48EA-9F45-0560A40FE2D8}\\Drivers\\lynxpoint\\LynxPointSystem.inf");
  EXPECT_THAT(update.devices, ElementsAre("PCI\\VEN_8086&DEV_8C4F&SUBSYS_05BE1028&REV_04\\3&11583659&0&F8"));
  EXPECT_EQ(update.status, std::optional<std::string>("FAILURE(0xC1900101)"));
  EXPECT_EQ(update.error, std::optional<std::string>("0xC1900101"));
  EXPECT_EQ(update.published, std::nullopt) << "oem1.inf is the driver already installed, not one published";
}

// The cause of a failed run, named from the lines real logs hold: a policy
// block (Microsoft's support article, its body put under an update header
// of our own as the installer's call would log it) and a signature refusal.
TEST(SetupLog, TheCauseOfAFailedRunIsNamedFromItsLines) {
  std::string block = Sample("intune-usb-policy-block.log");
  block = block.substr(block.find("    dvi: {Build Driver List}"));
  Read read = ReadBytes(">>>  [Device Install (UpdateDriverForPlugAndPlayDevices) - USB\\VID_046D&PID_C534]\r\n"
                        ">>>  Section start 2020/01/20 17:26:03.547\r\n" +
                        block);
  ASSERT_EQ(read.runs.size(), 1u);
  const LoggedRun& blocked = read.runs[0];
  EXPECT_EQ(blocked.error, std::optional<std::string>("0xE0000248"));
  EXPECT_TRUE(blocked.policyBlocked);
  EXPECT_THAT(blocked.restrictions, ElementsAre("Restricted installation of devices not described by policy"));
  EXPECT_EQ(CauseOf(blocked, std::nullopt),
            std::optional<std::string>(
                "blocked by device-installation policy (Restricted installation of devices not described by policy)"));
  // The machine's own verdict names the setting the log does not.
  const std::string words = "blocked by device-installation policy (DenyDeviceIDs: USB\\VID_046D&PID_C534)";
  EXPECT_EQ(CauseOf(blocked, words), std::optional<std::string>(words));

  read = ReadBytes(Sample("xcp-ng-win-pv-drivers.log"));
  ASSERT_EQ(read.runs.size(), 2u);
  EXPECT_EQ(read.runs[0].signatureProblem, std::nullopt);
  EXPECT_EQ(CauseOf(read.runs[0], std::nullopt), std::nullopt) << "published: nothing went wrong";
  EXPECT_EQ(read.runs[1].signatureProblem, std::optional<std::string>("Catalog signer is untrusted"));
  EXPECT_EQ(CauseOf(read.runs[1], std::nullopt),
            std::optional<std::string>("not trusted: Catalog signer is untrusted"));
}

// What the error code alone says, and a restart, as runs the reader makes.
TEST(SetupLog, TheCauseFromTheErrorCodeAndTheRestartMark) {
  struct Case {
    const char* status;
    bool restart;
    LoggedCall call;
    const char* cause;
  };
  const Case cases[] = {
      {"FAILURE(0xe0000242)", false, LoggedCall::kUpdate, "not trusted: publisher not in TrustedPublisher"},
      {"FAILURE(0xE0000243)", false, LoggedCall::kUpdate, "not trusted: the publisher is marked untrusted"},
      {"FAILURE(0xe000024b)", false, LoggedCall::kStaging, "not trusted: a file's hash is not in the catalog"},
      {"FAILURE(0xe0000248)", false, LoggedCall::kUpdate,
       "blocked by device-installation policy (ERROR_DEVICE_INSTALL_BLOCKED)"},
      {"SUCCESS", true, LoggedCall::kUpdate, "installed; waits for a restart"},
      {"SUCCESS", true, LoggedCall::kStaging, "staged; waits for a restart"},
      {"SUCCESS", false, LoggedCall::kUpdate, nullptr},
      {"FAILURE(0xe0000203)", false, LoggedCall::kUpdate, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    const std::string section = std::string(c.call == LoggedCall::kUpdate
                                                ? ">>>  [Device Install (UpdateDriverForPlugAndPlayDevices) - X\\VEN_1]\r\n"
                                                : ">>>  [SetupCopyOEMInf - C:\\a.inf]\r\n") +
                                "<<<  [Exit status: " + c.status + "]\r\n";
    Read read = ReadBytes(section);
    ASSERT_EQ(read.runs.size(), 1u);
    read.runs[0].restart = c.restart;
    EXPECT_EQ(CauseOf(read.runs[0], std::nullopt),
              c.cause ? std::optional<std::string>(c.cause) : std::nullopt);
  }
}

// Written cases, each one section (or two) of the update call.
TEST(SetupLog, WrittenCases) {
  const std::string header =
      ">>>  [Device Install (UpdateDriverForPlugAndPlayDevices) - PCI\\VEN_1F2E&DEV_0A01]\r\n"
      ">>>  Section start 2026/12/01 10:00:00.000\r\n"
      "      cmd: \"C:\\pkg\\varnoll64.exe\"\r\n"
      "     ndv: INF path: C:\\pkg\\tarvelix-v92.inf\r\n"
      "     ndv: Install flags: 0x00000001\r\n";
  static const char kNulFooter[] = "<<<  [Exit st\0atus: SUCCESS]\r\n";
  const std::string device =
      "     ndv: {Update Device Driver - PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0}\r\n"
      "     ndv: {Update Device Driver - exit(00000000)}\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    size_t runs;
    std::optional<std::string> status;
    std::optional<std::string> error;
    std::vector<std::string> devices;
    bool restart;
  };
  const Case cases[] = {
      {"success",
       header + device + "<<<  Section end 2026/12/01 10:00:01.000\r\n<<<  [Exit status: SUCCESS]\r\n",
       1,
       "SUCCESS",
       std::nullopt,
       {"PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0"},
       false},
      {"failure with its code",
       header + "!!!  ndv: Driver package import failed.\r\n<<<  [Exit status: FAILURE(0xe0000203)]\r\n",
       1,
       "FAILURE(0xe0000203)",
       "0xE0000203",
       {},
       false},
      {"the documentation's footer",
       header + "<<< [Exit Status(0x00000000)]\r\n",
       1,
       "(0x00000000)",
       std::nullopt,
       {},
       false},
      {"a restart requested",
       header + device +
           "!    ndv: Device required reboot: Query remove failed.\r\n"
           "<<<  [Exit status: SUCCESS]\r\n",
       1,
       "SUCCESS",
       std::nullopt,
       {"PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0"},
       true},
      {"no footer, then a boot session",
       header + device + "     [Boot Session: 2026/12/01 10:05:00.500]\r\n",
       1,
       std::nullopt,
       std::nullopt,
       {"PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0"},
       false},
      {"LF line ends, a UTF-8 byte order mark",
       "\xEF\xBB\xBF"
       "x\n" +
           header + "<<<  [Exit status: SUCCESS]\n",
       1,
       "SUCCESS",
       std::nullopt,
       {},
       false},
      {"NUL bytes are dropped",
       header + std::string(kNulFooter, sizeof kNulFooter - 1),
       1,
       "SUCCESS",
       std::nullopt,
       {},
       false},
      {"a half-written last line is not read",
       header + "<<<  [Exit status: SUCC",
       1,
       std::nullopt,
       std::nullopt,
       {},
       false},
      {"a second section ends the first",
       header + header + "<<<  [Exit status: SUCCESS]\r\n",
       2,
       "SUCCESS",
       std::nullopt,
       {},
       false},
      {"an empty file", "", 0, std::nullopt, std::nullopt, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Read read = ReadBytes(c.bytes);
    ASSERT_TRUE(read.readable);
    ASSERT_EQ(read.runs.size(), c.runs);
    if (c.runs == 0) continue;
    const LoggedRun& last = read.runs.back();
    EXPECT_EQ(last.subject, "PCI\\VEN_1F2E&DEV_0A01");
    EXPECT_EQ(last.time, "2026/12/01 10:00:00.000");
    EXPECT_EQ(last.infPath, "C:\\pkg\\tarvelix-v92.inf");
    EXPECT_EQ(last.cmd, std::optional<std::string>("\"C:\\pkg\\varnoll64.exe\""));
    EXPECT_EQ(last.status, c.status);
    EXPECT_EQ(last.error, c.error);
    EXPECT_EQ(last.devices, c.devices);
    EXPECT_EQ(last.restart, c.restart);
  }
}

// Which file of a package a logged staging belongs to. INF names are bytes
// in the ANSI code page, as the log writes them; the host has none, so only
// a to z fold there.
TEST(SetupLog, RunsFindTheirFilesByNameAsWindowsComparesThem) {
  const auto staging = [](const std::string& path) {
    return ">>>  [SetupCopyOEMInf - " + path + "]\r\n<<<  [Exit status: SUCCESS]\r\n";
  };
  struct Case {
    const char* name;
    std::string log;
    std::string file;
    bool attached;
  };
  const Case cases[] = {
      {"another folder, another case", staging("C:\\Temp\\pkg\\TARVELIX.INF"), "tarvelix.inf", true},
      {"another name", staging("C:\\Temp\\pkg\\tarvelix2.inf"), "tarvelix.inf", false},
      {"a non-ASCII letter, same case", staging("C:\\pkg\\mod\xE9m.inf"), "mod\xE9m.inf", true},
      {"a non-ASCII letter, A to Z in another case", staging("C:\\pkg\\MOD\xE9M.INF"), "mod\xE9m.inf", true},
      {"a non-ASCII letter in another case: no code page to fold it by", staging("C:\\pkg\\mod\xC9m.inf"),
       "mod\xE9m.inf", false},
      {"UTF-8 bytes, same case", staging("C:\\pkg\\mod\xC3\xA9m.inf"), "mod\xC3\xA9m.inf", true},
      {"a character the code page lacks, logged and listed as '?'", staging("C:\\pkg\\mod?m.inf"),
       "mod?m.inf", false},
      {"a UTF-16 log keeps no non-ASCII letter", Utf16(staging("C:\\pkg\\mod\xE9m.inf")), "mod\xE9m.inf",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    CheckReport report;
    FileReport file;
    file.name = c.file;
    file.outcome = Action::kInstallOrPreinstall;
    report.files.push_back(file);
    ASSERT_TRUE(AttachLoggedRuns(report, folder.Write("setupapi.dev.log", c.log)));
    EXPECT_EQ(report.logSections, 1u);
    EXPECT_EQ(report.files[0].lastStaging.has_value(), c.attached);
    EXPECT_EQ(report.files[0].lastUpdate, std::nullopt);
  }
}

TEST(SetupLog, Utf16LongLinesAndWhatCannotBeRead) {
  Read read = ReadBytes(Utf16(">>>  [SetupCopyOEMInf - C:\\p\\a.inf]\r\n<<<  [Exit status: SUCCESS]\r\n"));
  ASSERT_EQ(read.runs.size(), 1u);
  EXPECT_EQ(read.runs[0].infPath, "C:\\p\\a.inf");
  EXPECT_EQ(read.runs[0].status, std::optional<std::string>("SUCCESS"));

  // A line far longer than any buffer is read through, and kept short.
  read = ReadBytes(">>>  [SetupCopyOEMInf - C:\\p\\a.inf]\r\n     inf: " + std::string(1 << 20, 'x') +
                   "\r\n<<<  [Exit status: SUCCESS]\r\n");
  ASSERT_EQ(read.runs.size(), 1u);
  EXPECT_EQ(read.runs[0].status, std::optional<std::string>("SUCCESS"));

  TempFolder folder;
  folder.MakeFolder("dir.log");
  size_t sections = 7;
  EXPECT_FALSE(ReadSetupLog(
      folder.WithSeparator() + "dir.log", [](const LoggedRun&) {}, sections));
  EXPECT_EQ(sections, 0u);
  EXPECT_FALSE(ReadSetupLog(
      folder.WithSeparator() + "missing.log", [](const LoggedRun&) {}, sections));
  EXPECT_STREQ(ErrorName("0xE000020B"), "ERROR_NO_SUCH_DEVINST");
  EXPECT_EQ(ErrorName("0x12345678"), nullptr);
}

}  // namespace
}  // namespace varnoll::check
