#include "fleet_tool.h"

#include "fleet_inputs.h"
#include "tool_output.h"

#include <optional>

namespace varnoll::fleet {

namespace {

constexpr const char kUsage[] =
    "usage: varnollfleet [--csv FILE] [--json] [--] INPUT...\n"
    "\n"
    "Reads what varnollcheck --summary answered on each machine of a fleet and\n"
    "groups the machines by verdict and cause. Reads only; writes only its\n"
    "output and FILE.\n"
    "\n"
    "  INPUT       a deployment console's CSV export (the Intune admin center's\n"
    "              \"Device name\" and \"Pre-remediation detection output\"\n"
    "              columns, or Microsoft Graph's deviceName and\n"
    "              preRemediationDetectionScriptOutput), or a folder of\n"
    "              per-machine files named after their machines, each holding a\n"
    "              summary line, a varnollcheck --json report or a copied\n"
    "              setupapi.dev.log\n"
    "  --csv FILE  also one row per machine into FILE (unreadable ones too):\n"
    "              machine, verdict, cause, driver, problem\n"
    "  --json      the grouped table as JSON instead of text\n"
    "  --help      this text\n"
    "\n"
    "Exit status: 0 when at least one machine was read, 1 when none was, 2 for\n"
    "a usage error or an INPUT that cannot be read.\n";

struct FleetArguments {
  std::optional<std::string> csv;
  bool json = false;
  bool help = false;
  std::vector<std::string> inputs;
};

int UsageError(const std::string& problem) { return varnoll::UsageError("varnollfleet", problem, kExitUsage); }

bool Split(const std::vector<std::string>& words, FleetArguments& arguments, std::string& problem) {
  bool optionsEnded = false;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (optionsEnded || word.empty() || word[0] != '-') {
      arguments.inputs.push_back(word);
    } else if (word == "--") {
      optionsEnded = true;
    } else if (word == "--help") {
      arguments.help = true;
    } else if (word == "--json" && !arguments.json) {
      arguments.json = true;
    } else if ((word == "--csv" || word.rfind("--csv=", 0) == 0) && !arguments.csv) {
      if (word == "--csv" && i + 1 == words.size()) return (problem = "--csv needs a FILE", false);
      arguments.csv = word == "--csv" ? words[++i] : word.substr(6);
      if (arguments.csv->empty()) return (problem = "--csv needs a FILE", false);
    } else {
      problem = word == "--json" || word.rfind("--csv", 0) == 0 ? word + " is given more than once"
                                                                : "unknown option " + word;
      return false;
    }
  }
  if (arguments.inputs.empty() && !arguments.help) problem = "no INPUT: give an export or a folder";
  return problem.empty();
}

}  // namespace

int RunFleetTool(const std::vector<std::string>& words, const ToolPlatform& platform) {
  FleetArguments arguments;
  std::string problem;
  if (!Split(words, arguments, problem)) return UsageError(problem);
  if (arguments.help) {
    Write(stdout, kUsage);
    return kExitRead;
  }
  std::optional<CMachineRows> rows;
  if (arguments.csv) {
    rows.emplace(*arguments.csv);
    if (!rows->IsOpen()) {
      Write(stderr, "varnollfleet: " + *arguments.csv + ": cannot be written\n");
      return kExitUsage;
    }
  }
  CFleetTable table;
  CProgress progress(IsTerminal(stderr));
  CFleetSink sink(table, rows ? &*rows : nullptr, progress);
  bool unreadableInput = false;
  for (const std::string& input : arguments.inputs) {
    std::string folder;
    const bool read = platform.resolveFolder(input, folder) ? ReadMachineFolder(folder, sink) : ReadExport(input, sink);
    if (!read) {
      progress.Done();
      Write(stderr, "varnollfleet: " + input + ": cannot be read\n");
      unreadableInput = true;
    }
  }
  progress.Done();
  Write(stdout, arguments.json ? table.Json() : table.Text());
  if (rows && !rows->Close()) {
    Write(stderr, "varnollfleet: " + *arguments.csv + ": writing failed\n");
    return kExitUsage;
  }
  if (unreadableInput) return kExitUsage;
  return table.Read() > 0 ? kExitRead : kExitNoMachine;
}

}  // namespace varnoll::fleet
