// The fleet reader: exports read as RFC 4180 and the consoles write them,
// summary lines told from everything else, and a fleet's table.
#include "csv_reader.h"
#include "fleet_inputs.h"
#include "fleet_table.h"
#include "fleet_tool.h"
#include "json_value.h"
#include "machine_answer.h"
#include "report_format.h"
#include "summary.h"
#include "test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace varnoll::fleet {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using varnoll::testing::TempFolder;

std::vector<std::vector<std::string>> Records(const std::string& bytes, std::vector<CCsvReader::Status>* statuses = nullptr) {
  TempFolder folder;
  CCsvReader reader(folder.Write("export.csv", bytes));
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> fields;
  for (CCsvReader::Status status = reader.Next(fields); status != CCsvReader::Status::kEnd; status = reader.Next(fields)) {
    if (statuses) statuses->push_back(status);
    records.push_back(status == CCsvReader::Status::kRecord ? fields : std::vector<std::string>{"<dropped>"});
  }
  return records;
}

TEST(CsvReader, ReadsRecordsAsRfc4180AndTheConsolesWriteThem) {
  using Rows = std::vector<std::vector<std::string>>;
  struct Case {
    const char* name;
    std::string bytes;
    Rows records;
  };
  const Case cases[] = {
      {"plain, LF", "a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}},
      {"CR LF, no line end at the end", "a,b\r\n1,2", {{"a", "b"}, {"1", "2"}}},
      {"a UTF-8 byte-order mark is no part of the first name", "\xEF\xBB\xBF\"a\",b\r\n", {{"a", "b"}}},
      {"quoted commas and doubled quotes", "\"x,y\",\"say \"\"hi\"\"\"\n", {{"x,y", "say \"hi\""}}},
      {"a line break inside quotes stays in the field", "\"one\r\ntwo\",3\r\n4,5\r\n", {{"one\r\ntwo", "3"}, {"4", "5"}}},
      {"empty fields", ",,\n", {{"", "", ""}}},
      {"a semicolon export", "a;b\n\"1;x\";2\n", {{"a", "b"}, {"1;x", "2"}}},
      {"commas decide when the first line has both", "a,b;c\n", {{"a", "b;c"}}},
      {"a quote inside an unquoted field is kept", "a\"b,c\n", {{"a\"b", "c"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Records(c.bytes), c.records);
  }
}

TEST(CsvReader, ReportsACutOrOverlongRecordAndReadsOn) {
  std::vector<CCsvReader::Status> statuses;
  const std::string huge = "\"" + std::string(CCsvReader::kMaxRecord + 10, 'x') + "\"";
  const auto records = Records("a,b\n" + huge + ",1\nc,d\n\"open", &statuses);
  EXPECT_THAT(statuses, ElementsAre(CCsvReader::Status::kRecord, CCsvReader::Status::kTooLong,
                                    CCsvReader::Status::kRecord, CCsvReader::Status::kUnterminated));
  EXPECT_EQ(records[2], (std::vector<std::string>{"c", "d"}));
}

TEST(ExportColumns, FindsTheConsolesAndGraphsNamesInAnyOrderAndCase) {
  struct Case {
    std::vector<std::string> header;
    int machine;
    int output;
  };
  const Case cases[] = {
      {{"Device name", "Pre-remediation detection output"}, 0, 1},
      {{"x", " PRE-REMEDIATION DETECTION OUTPUT ", "device NAME"}, 2, 1},
      {{"preRemediationDetectionScriptOutput", "deviceName"}, 1, 0},
      {{"Device name", "Post-remediation detection output"}, 0, -1},
      {{"Device", "Output"}, -1, -1},
  };
  for (const Case& c : cases) {
    const ExportColumns columns = FindExportColumns(c.header);
    EXPECT_EQ(columns.machine, c.machine) << c.header[0];
    EXPECT_EQ(columns.output, c.output) << c.header[0];
  }
}

// A real summary line, made by the check tool's own code.
std::string Line(const char* verdict, const char* cause) {
  check::Summary summary;
  summary.question = check::Question::kDetect;
  summary.verdict = verdict;
  summary.cause = cause;
  summary.details.push_back({"a.inf", std::string("oem41.inf"), {}, {}});
  return check::SummaryLine(summary);
}

TEST(SummaryOutput, TellsSummaryLinesFromEverythingElse) {
  const std::string line = Line("not-in-place", "no-driver");
  struct Case {
    const char* name;
    std::string output;
    const char* why;  // null: read
  };
  const Case cases[] = {
      {"a summary line", line, nullptr},
      {"with its line end", line + "\r\n", nullptr},
      {"the last line of several", "varnollcheck: started\r\n" + line + "\r\n", nullptr},
      {"no output", "", "no output"},
      {"only blanks", " \r\n", "no output"},
      {"--detect's own line", "in place: a.inf as oem41.inf in the driver store", "not a summary line"},
      {"another tool's JSON", "{\"status\":\"ok\"}", "not a summary line"},
      {"cut at 2,048 characters by the console", line.substr(0, line.size() - 20), "summary line cut short"},
      {"cut inside a number", line.substr(0, line.find("\"summary\":1") + 10), "summary line cut short"},
      {"not UTF-8", "{\"summary\":1,\"tool\":\"varnollcheck\",\"x\":\"\xE9\"}", "not UTF-8"},
      {"a summary without its verdict", "{\"summary\":1,\"tool\":\"varnollcheck\"}", "a summary line without its verdict"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MachineAnswer answer;
    std::string why;
    EXPECT_EQ(ReadSummaryOutput(c.output, answer, why), c.why == nullptr);
    if (c.why) {
      EXPECT_EQ(why, c.why);
    } else {
      EXPECT_EQ(answer.verdict, "not-in-place");
      EXPECT_EQ(answer.cause, "no-driver");
    }
  }
}

std::string Csv(const std::string& field) {
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

struct Read {
  CFleetTable table;
  std::string rows;
};

// Reads `input` (an export or a folder) as the program does, with --csv.
Read ReadInput(const std::string& input, bool folder) {
  TempFolder out;
  const std::string csv = out.Write("rows.csv", "");
  Read read;
  {
    CMachineRows rows(csv);
    CProgress progress(false);
    CFleetSink sink(read.table, &rows, progress);
    EXPECT_TRUE(folder ? ReadMachineFolder(input, sink) : ReadExport(input, sink));
    EXPECT_TRUE(rows.Close());
  }
  std::ifstream file(csv, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  read.rows = text.str();
  return read;
}

const FleetGroup* Group(const CFleetTable& table, const std::string& verdict, const std::string& cause) {
  for (const FleetGroup* group : table.Groups()) {
    if (group->verdict == verdict && group->cause == cause) return group;
  }
  return nullptr;
}

TEST(FleetTable, GroupsAGeneratedFleetOfMixedVerdictsAndNamesEveryUnreadableRow) {
  struct Kind {
    const char* verdict;
    const char* cause;
    int every;  // one machine in `every`
  };
  const Kind kinds[] = {{"in-place", "in-place", 2},
                        {"not-in-place", "blocked-by-policy", 5},
                        {"in-place", "restart-pending", 7},
                        {"not-in-place", "other-driver-older", 11}};
  std::string bytes = "\xEF\xBB\xBF\"Device name\",\"Detection status\",\"Pre-remediation detection output\"\r\n";
  std::map<std::pair<std::string, std::string>, int> expected;
  for (int i = 0; i < 1000; ++i) {
    const Kind* kind = &kinds[0];
    for (const Kind& candidate : kinds) {
      if (i % candidate.every == 0) kind = &candidate;
    }
    if (i % 13 == 0) {
      bytes += "PC-" + std::to_string(i) + ",x,\"in place: another tool\"\r\n";
      ++expected[{"unreadable", "not a summary line"}];
      continue;
    }
    bytes += "PC-" + std::to_string(i) + ",\"With issues\"," + Csv(Line(kind->verdict, kind->cause)) + "\r\n";
    ++expected[{kind->verdict, kind->cause}];
  }
  bytes += "PC-short\r\n";
  ++expected[{"unreadable", "row with fewer fields than the header"}];
  TempFolder folder;
  const Read read = ReadInput(folder.Write("fleet.csv", bytes), false);
  long long total = 0;
  for (const auto& [key, count] : expected) {
    SCOPED_TRACE(key.first + " " + key.second);
    const FleetGroup* group = Group(read.table, key.first, key.second);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->count, count);
    EXPECT_EQ(group->examples.size(), std::min<size_t>(kExamples, static_cast<size_t>(count)));
    total += count;
  }
  EXPECT_EQ(read.table.Groups().size(), expected.size());
  EXPECT_EQ(read.table.Read() + read.table.Unreadable(), total);
  EXPECT_THAT(read.table.Text(), HasSubstr(std::to_string(expected[{"unreadable", "not a summary line"}]) +
                                           " rows unreadable: not a summary line (PC-0, PC-13, PC-26, PC-39, PC-52, ...)"));
  // One row per machine, unreadable ones included, and the header.
  EXPECT_EQ(std::count(read.rows.begin(), read.rows.end(), '\n'), total + 1);
  EXPECT_THAT(read.rows, HasSubstr("PC-13,unreadable,not a summary line,,\r\n"));
  EXPECT_THAT(read.rows, HasSubstr("PC-1,in-place,in-place,,\r\n"));
}

TEST(FleetTable, ReadsTheConsolesAndGraphsExportLayouts) {
  const std::string data = VARNOLL_TEST_DATA "/fleet/";
  const Read intune = ReadInput(data + "intune-device-status.csv", false);
  EXPECT_EQ(intune.table.Read(), 3);
  EXPECT_EQ(intune.table.Unreadable(), 2);
  ASSERT_NE(Group(intune.table, "not-in-place", "problem-28"), nullptr);
  EXPECT_THAT(Group(intune.table, "not-in-place", "problem-28")->examples, ElementsAre("PC-LAB-07"));
  EXPECT_THAT(Group(intune.table, "unreadable", "no output")->examples, ElementsAre("PC-LAB-08"));
  EXPECT_THAT(Group(intune.table, "unreadable", "not a summary line")->examples, ElementsAre("PC-OLD-11"));
  EXPECT_THAT(intune.rows, HasSubstr("PC-LOBBY-02,not-in-place,other-driver-newer,oem12.inf,\r\n"));
  EXPECT_THAT(intune.rows, HasSubstr("PC-LAB-07,not-in-place,problem-28,oem41.inf,28\r\n"));
  const Read graph = ReadInput(data + "graph-device-run-states.csv", false);
  EXPECT_EQ(graph.table.Read(), 2);
  EXPECT_THAT(Group(graph.table, "in-place", "restart-pending")->examples, ElementsAre("PC-GRAPH-1"));
}

TEST(FleetTable, CountsEveryRowOfAMalformedExport) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* why;
    long long rows;
  };
  const Case cases[] = {
      {"no output column", "\"Device name\",\"Detection status\"\r\nPC-1,x\r\nPC-2,y\r\n",
       "the export has no output column (\"Pre-remediation detection output\")", 2},
      {"no machine column", "\"Pre-remediation detection output\"\r\nx\r\n",
       "the export has no machine column (\"Device name\")", 1},
      {"a quote never closed", "deviceName,preRemediationDetectionScriptOutput\nPC-1,\"{\"\"summary\n",
       "row cut short (a quote is not closed)", 1},
      {"UTF-16", std::string("\xFF\xFE" "D\0e\0", 6), "a UTF-16 export (save it as CSV UTF-8)", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const Read read = ReadInput(folder.Write("bad.csv", c.bytes), false);
    EXPECT_EQ(read.table.Read(), 0);
    EXPECT_EQ(read.table.Unreadable(), c.rows);
    const FleetGroup* group = Group(read.table, "unreadable", c.why);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->count, c.rows);
  }
}

TEST(FleetTable, ReadsAFolderOfSummaryLinesReportsAndLogs) {
  check::CheckReport report;
  report.systemVisible = true;
  check::FileReport file;
  file.name = "a.inf";
  file.outcome = check::Action::kInstall;
  file.store = "oem41.inf";
  file.storeCopies = {"oem41.inf"};
  check::DeviceMatch device;
  device.instanceId = "ROOT\\MODEM\\0000";
  device.driverInf = "oem3.inf";
  device.state = DeviceState{true, std::nullopt, false};
  file.devices = {device};
  report.files = {file};
  const std::string log = VARNOLL_TEST_DATA "/setupapi/xcp-ng-win-pv-drivers.log";
  std::ifstream logFile(log, std::ios::binary);
  std::stringstream logText;
  logText << logFile.rdbuf();

  TempFolder folder;
  folder.Write("PC-1.txt", Line("in-place", "in-place") + "\r\n");
  folder.Write("PC-2.json", check::FormatJson(report));
  folder.Write("PC-3.log", logText.str());
  folder.Write("PC-4.txt", "hello\n");
  folder.Write("PC-5", "{\"files\": 3}");
  folder.MakeFolder("subfolder");
  const Read read = ReadInput(folder.WithSeparator(), true);
  EXPECT_THAT(Group(read.table, "in-place", "in-place")->examples, ElementsAre("PC-1"));
  EXPECT_THAT(Group(read.table, "not-in-place", "other-driver")->examples, ElementsAre("PC-2"));
  EXPECT_THAT(read.rows, HasSubstr("PC-2,not-in-place,other-driver,oem3.inf,\r\n"));
  const FleetGroup* logged = nullptr;
  for (const FleetGroup* group : read.table.Groups()) {
    if (group->verdict == "logged") logged = group;
  }
  ASSERT_NE(logged, nullptr);
  EXPECT_THAT(logged->examples, ElementsAre("PC-3"));
  EXPECT_THAT(logged->cause, HasSubstr("staging: FAILURE(0xe0000247)"));
  EXPECT_THAT(Group(read.table, "unreadable", "not a summary line, report or setup log")->examples, ElementsAre("PC-4"));
  EXPECT_THAT(Group(read.table, "unreadable", "JSON of another tool")->examples, ElementsAre("PC-5"));
  EXPECT_EQ(read.table.Read() + read.table.Unreadable(), 5);
}

TEST(FleetTool, ExitsByWhatItCouldRead) {
  TempFolder folder;
  const std::string good = folder.Write("good.csv", "Device name,Pre-remediation detection output\nPC-1," +
                                                        Csv(Line("in-place", "in-place")) + "\n");
  const std::string bad = folder.Write("bad.csv", "Device name,Pre-remediation detection output\nPC-1,hello\n");
  const ToolPlatform& platform = ThisToolPlatform();
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    int status;
  };
  const Case cases[] = {
      {"one machine read", {good}, kExitRead},
      {"none read", {bad}, kExitNoMachine},
      {"no INPUT", {"--json"}, kExitUsage},
      {"an INPUT that does not exist", {good, folder.WithSeparator() + "missing.csv"}, kExitUsage},
      {"an unknown option", {"--sumary", good}, kExitUsage},
      {"--csv without FILE", {good, "--csv"}, kExitUsage},
      {"--csv into a folder that does not exist", {"--csv", folder.WithSeparator() + "no/such.csv", good}, kExitUsage},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunFleetTool(c.arguments, platform), c.status) << c.name;
  }
}

TEST(FleetTable, PrintsNoControlCharacterOfANameToTheTerminal) {
  CFleetTable table;
  table.Add("PC-\x1b]0;owned\x07", MachineAnswer{"in-place", "in-place\r", std::nullopt, std::nullopt, false});
  const std::string text = table.Text();
  EXPECT_THAT(text, HasSubstr("PC-?]0;owned?"));
  EXPECT_THAT(text, HasSubstr("in-place?"));
  EXPECT_EQ(text.find('\x1b'), std::string::npos);
  EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST(Progress, ShowsOnATerminalOnlyOnceReadingTakesOverASecond) {
  using std::chrono::steady_clock;
  struct Case {
    const char* name;
    bool terminal;
    steady_clock::duration reading;
    long long machines;
    bool shown;
  };
  const Case cases[] = {
      {"a terminal, after two seconds", true, std::chrono::seconds(2), 2048, true},
      {"a terminal, within the first second", true, std::chrono::milliseconds(0), 2048, false},
      {"a file or pipe, after two seconds", false, std::chrono::seconds(2), 2048, false},
      {"between two looks at the clock", true, std::chrono::seconds(2), 2047, false},
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    CProgress progress(c.terminal, steady_clock::now() - c.reading);
    progress.Machines(c.machines);
    const std::string shown = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(shown.find(std::to_string(c.machines) + " machines read") != std::string::npos, c.shown) << c.name;
    ::testing::internal::CaptureStderr();
    progress.Done();
    EXPECT_EQ(::testing::internal::GetCapturedStderr().empty(), !c.shown) << c.name;
  }
}

TEST(MachineRows, QuotesFieldsAndDisarmsFormulas) {
  EXPECT_EQ(CsvField("PC-1"), "PC-1");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"x\""), "\"say \"\"x\"\"\"");
  EXPECT_EQ(CsvField("=HYPERLINK(\"http://x\")"), "\"'=HYPERLINK(\"\"http://x\"\")\"");
  EXPECT_EQ(CsvField("@SUM(A1)"), "'@SUM(A1)");
  EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
}

TEST(JsonValue, ReadsEscapesAndRefusesWhatIsNoJson) {
  JsonValue json;
  std::string problem;
  bool cut = false;
  ASSERT_TRUE(ParseJson(" {\"a\":\"\\u00e9\\ud83d\\ude00\\n\",\"b\":[1,-2.5e1,true,null],\"c\":{}} ", json, problem, cut));
  EXPECT_EQ(json.StringAt("a"), "\xC3\xA9\xF0\x9F\x98\x80\n");
  EXPECT_EQ(json.Find("b")->items.size(), 4u);
  EXPECT_EQ(json.Find("b")->items[1].number, -25);
  const std::pair<const char*, bool> bad[] = {
      {"{\"a\":1,}", false}, {"{\"a\" 1}", false}, {"[1 2]", false}, {"\"tab\tin\"", false},
      {"{\"a\":tru", true},  {"[1,", true},        {"{} x", false},  {"nul", true},
  };
  for (const auto& [text, cutShort] : bad) {
    EXPECT_FALSE(ParseJson(text, json, problem, cut)) << text;
    EXPECT_EQ(cut, cutShort) << text;
  }
  const std::string deep = std::string(100, '[') + std::string(100, ']');
  EXPECT_FALSE(ParseJson(deep, json, problem, cut));
  EXPECT_EQ(problem, "nested too deep");
}

}  // namespace
}  // namespace varnoll::fleet
