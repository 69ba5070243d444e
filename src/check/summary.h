// The check tool's answer in one line for deployment tools (--summary): the
// verdict, its cause, and the detail behind it, in at most 2,048 bytes, which
// is what a deployment console keeps of a script's output.
#pragma once

#include "check_report.h"
#include "detect.h"
#include "machine_facts.h"

#include <optional>
#include <string>
#include <vector>

namespace varnoll::check {

// The whole line, its line end (CR LF on Windows) included, fits this.
constexpr size_t kSummaryLineLimit = 2048;

// The question the tool was asked.
enum class Question { kReport, kDetect, kPreflight };

struct SummaryDevice {
  std::string instanceId;
  std::optional<std::string> driverInf;  // where its driver comes from
  bool usesPackage = false;
  std::optional<unsigned long> problem;
  std::optional<bool> restartPending;  // none when its state cannot be read
  // The driver it uses, as far as known: provider, DriverVer, and whether
  // that is newer than the package's by Windows' order.
  std::optional<std::string> provider;
  std::optional<std::string> date;
  std::optional<std::string> version;
  std::optional<bool> newer;
};

struct SummaryInf {
  std::string name;
  std::optional<std::string> store;  // its published copy
  std::vector<SummaryDevice> devices;
  std::vector<std::string> findings;  // the package check's codes, each once, in order
};

struct Summary {
  MachineFacts machine;
  Question question = Question::kReport;
  // "in-place" / "not-in-place" (--detect), "passes" / "fails" (--preflight),
  // "would-act" / "nothing-to-do" (the plain report).
  std::string verdict;
  // Why, as one word: see SummaryCause in summary.cpp.
  std::string cause;
  std::optional<std::string> driver;     // the driver the cause's device uses
  std::optional<unsigned long> problem;  // the cause's device's problem code
  std::optional<bool> restartPending;    // none where devices cannot be seen
  std::vector<std::string> policyBlocks;  // what the device-installation policy blocks, per finding
  int infs = 0;
  int qualifying = 0;
  int devices = 0;
  int missing = 0;
  int findings = 0;
  int fails = 0;
  std::vector<SummaryInf> details;  // each INF that qualifies, in the installer's order
};

// The summary of `report` for `question`; `verdict` is --detect's, and
// `preflightPasses` --preflight's. `machine` is left for the caller.
Summary Summarize(const CheckReport& report, Question question, const Verdict* verdict, bool preflightPasses);

// The line itself, without its line end: compact JSON of at most `limit`
// bytes (line end left out). Detail is dropped in a fixed order until it
// fits (see summary_line.cpp), never a part of a string or number.
std::string SummaryLine(const Summary& summary, size_t limit = kSummaryLineLimit - 2);

// Summarizes `report` and writes the line, ended, to standard output.
void WriteSummary(const CheckReport& report, Question question, const Verdict* verdict, bool preflightPasses);

}  // namespace varnoll::check
