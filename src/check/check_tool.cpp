#include "check_tool.h"

#include "check_executor.h"
#include "report_format.h"

#include <cstdio>

namespace varnoll::check {

namespace {

constexpr const char kUsage[] =
    "usage: varnollcheck [--json] [FOLDER]\n"
    "\n"
    "Tells what the Varnoll installer would do with the INF files in FOLDER (by\n"
    "default the folder that holds varnollcheck, as the installer beside it\n"
    "would see it), and changes nothing.\n"
    "\n"
    "  --json   one JSON object, for deployment and compliance tools\n"
    "  --help   this text\n"
    "\n"
    "Exit status: 0 when at least one INF file would be installed or\n"
    "pre-installed, 1 when nothing would be done, 2 for a usage error or a\n"
    "FOLDER that does not exist.\n";

// Whole strings, without printf: the text holds the INF files' own bytes.
void Write(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

int UsageError(const std::string& problem) {
  Write(stderr, "varnollcheck: " + problem + " (varnollcheck --help tells the usage)\n");
  return kExitUsage;
}

}  // namespace

int RunCheckTool(const std::vector<std::string>& arguments, const ToolPlatform& platform) {
  bool json = false;
  bool folderGiven = false;
  std::string argument;
  for (const std::string& word : arguments) {
    if (word == "--help") {
      Write(stdout, kUsage);
      return kExitWouldAct;
    }
    if (word == "--json" && !json) {
      json = true;
    } else if (!word.empty() && word[0] == '-') {
      return UsageError("unknown option " + word);
    } else if (folderGiven) {
      return UsageError("only one FOLDER can be checked");
    } else {
      folderGiven = true;
      argument = word;
    }
  }

  std::string folder;
  if (folderGiven ? !platform.resolveFolder(argument, folder) : !platform.ownFolder(folder)) {
    Write(stderr,
          "varnollcheck: " + (folderGiven ? argument : std::string("its own folder")) + ": no such folder\n");
    return kExitUsage;
  }
  const CheckReport report = CheckFolder(folder);
  Write(stdout, json ? FormatJson(report) : FormatText(report));
  const Tally tally = Count(report);
  return tally.install + tally.preinstall + tally.either > 0 ? kExitWouldAct : kExitNothingToDo;
}

}  // namespace varnoll::check
