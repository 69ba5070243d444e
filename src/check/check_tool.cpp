#include "check_tool.h"

#include "check_executor.h"
#include "detect.h"
#include "log_report.h"
#include "preflight.h"
#include "report_format.h"
#include "summary.h"
#include "tool_arguments.h"
#include "tool_folder.h"
#include "tool_output.h"

#include <algorithm>
#include <cstdio>

namespace varnoll::check {

namespace {

constexpr const char kUsage[] =
    "usage: varnollcheck [--detect] [--json] [--log[=FILE]] [--] [FOLDER]\n"
    "       varnollcheck --preflight [--json] [--log[=FILE]] [--arch=LIST] [--] [FOLDER]\n"
    "       varnollcheck [--detect | --preflight] --summary [--log[=FILE]] [--arch=LIST] [--] [FOLDER]\n"
    "\n"
    "Tells what the Varnoll installer would do with the INF files in FOLDER (by\n"
    "default the folder that holds varnollcheck, as the installer beside it\n"
    "would see it), and changes nothing.\n"
    "\n"
    "  --json    one JSON object, for deployment and compliance tools; each INF\n"
    "            that qualifies has its package check in it\n"
    "  --detect  whether the package is in place (Windows only): every INF that\n"
    "            qualifies has its copy in the driver store, and every present\n"
    "            device with its hardware ID has its driver from that copy\n"
    "  --log     also what Windows' installation log says each INF's last\n"
    "            update and staging did: %windir%\\INF\\setupapi.dev.log, or FILE\n"
    "            with --log=FILE (a log copied from another machine; on Linux\n"
    "            FILE is needed)\n"
    "  --preflight  whether Windows would take every package that qualifies\n"
    "            (its catalog, files, signature and models sections): 0 and one\n"
    "            line on standard output when none has a finding that fails; 1\n"
    "            and one line per finding on standard error when one has; with\n"
    "            --json, the JSON report with the verdict in \"preflight\" instead,\n"
    "            and the same status; 1 too when no INF qualifies\n"
    "  --arch=LIST  the architectures whose package failures count, comma-\n"
    "            separated: x86, amd64, arm64. Linux judges all three and by\n"
    "            default counts amd64 (the others' failures are warnings);\n"
    "            Windows judges its own and counts LIST too. The JSON's\n"
    "            \"judged_for\" names them\n"
    "  --summary one line of compact JSON on standard output, at most 2,048 bytes,\n"
    "            for deployment consoles that keep one line of a script's output:\n"
    "            the verdict, its cause and the detail behind it; with --detect\n"
    "            and --preflight in both verdicts, their exit status unchanged,\n"
    "            and nothing on standard error\n"
    "  --help    this text\n"
    "  --        ends the options: a FOLDER that starts with '-' comes after it\n"
    "\n"
    "Exit status: 0 when at least one INF file would be installed or\n"
    "pre-installed, 1 when nothing would be done, 2 for a usage error or a\n"
    "folder that does not exist or cannot be opened by its name. With\n"
    "--detect: 0 and one line on standard output when the package is in place\n"
    "(nothing on standard error, whatever --log finds); 1, nothing on standard\n"
    "output and one line per missing piece on standard error when it is not;\n"
    "2 for a usage error, such a folder, or a system without a driver store.\n";

// Tells the verdict as deployment tools read it: in place, one line on
// standard output and 0; not in place, nothing on standard output, the
// missing pieces on standard error and 1. With `json`, the report itself;
// with `summary`, the summary line in both verdicts.
int TellVerdict(const CheckReport& report, bool json, bool summary) {
  if (!report.systemVisible) {
    Write(stderr, "varnollcheck: the present devices cannot be listed here, so nothing can be said\n");
    return kExitUsage;
  }
  const Verdict verdict = Detect(report);
  if (summary) {
    WriteSummary(report, Question::kDetect, &verdict, false);
  } else if (json) {
    Write(stdout, FormatJson(report, &verdict));
  } else if (verdict.inPlace) {
    Write(stdout, verdict.summary + "\n");
  } else {
    std::string lines;
    for (const std::string& line : verdict.missing) lines += "not in place: " + line + "\n";
    Write(stderr, lines);
  }
  return verdict.inPlace ? kExitInPlace : kExitNotInPlace;
}

// The pre-flight verdict: the report's packages, passed or not.
int TellPreflight(CheckReport& report, bool json, bool summary) {
  std::vector<std::pair<std::string, const package::PackageReport*>> packages;
  for (const FileReport& file : report.files) {
    if (file.package) packages.emplace_back(file.name, &*file.package);
  }
  std::string out;
  std::string err;
  const bool passes = package::Preflight(packages, out, err);
  if (summary) {
    WriteSummary(report, Question::kPreflight, nullptr, passes);
  } else if (json) {
    report.packageRequested = true;
    Write(stdout, FormatJson(report));
  } else {
    Write(passes ? stdout : stderr, passes ? out : err);
  }
  return passes ? kExitPreflightPasses : kExitPreflightFails;
}

// "x86,amd64" into `arches`, each once; false for an empty list or a name
// that is none of the three.
bool ReadArches(const std::string& list, std::vector<package::Arch>& arches) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::optional<package::Arch> arch = package::ArchNamed(list.substr(start, end - start));
    if (!arch) return false;
    if (std::find(arches.begin(), arches.end(), *arch) == arches.end()) arches.push_back(*arch);
    start = end + 1;
  }
  return true;
}

int UsageError(const std::string& problem) {
  return varnoll::UsageError("varnollcheck", problem, kExitUsage);
}

}  // namespace

int RunCheckTool(const std::vector<std::string>& arguments, const ToolPlatform& platform) {
  ToolArguments split;
  std::string problem;
  if (!SplitToolArguments(arguments, split, problem)) return UsageError(problem);
  bool json = false;
  bool detect = false;
  bool preflight = false;
  bool log = false;
  bool summary = false;
  std::string logFile;
  std::vector<package::Arch> arches;
  for (const std::string& option : split.options) {
    if (option == "--help") {
      Write(stdout, kUsage);
      return kExitWouldAct;
    }
    if (option == "--json") {
      json = true;
    } else if (option == "--detect") {
      detect = true;
    } else if (option == "--preflight") {
      preflight = true;
    } else if (option.rfind("--arch=", 0) == 0) {
      if (!ReadArches(option.substr(7), arches)) return UsageError("--arch= takes x86, amd64 and arm64, comma-separated");
    } else if (option == "--summary") {
      summary = true;
    } else if (option == "--log" || option.rfind("--log=", 0) == 0) {
      if (option == "--log=") return UsageError("--log= needs a FILE");
      log = true;
      logFile = option.size() > 6 ? option.substr(6) : std::string();
    } else {
      return UsageError("unknown option " + option);
    }
  }

  if (detect && preflight) return UsageError("--detect and --preflight ask different questions: give one");
  if (json && summary) return UsageError("--json and --summary are two forms of the report: give one");
  std::string folder;
  if (!FindWorkFolder(platform, split.folder, folder, problem)) {
    Write(stderr, "varnollcheck: " + problem + "\n");
    return kExitUsage;
  }
  std::string systemInfFolder;
  const bool systemVisible = platform.systemInfFolder(systemInfFolder);
  if (detect && !systemVisible) {
    Write(stderr, "varnollcheck: --detect needs Windows: there is no driver store or device here\n");
    return kExitUsage;
  }
  if (log && logFile.empty()) {
    if (!systemVisible)
      return UsageError("--log needs =FILE here: there is no Windows folder to read it from");
    logFile = systemInfFolder + "setupapi.dev.log";
  }
  CheckReport report =
      CheckFolder(folder, systemVisible ? std::optional<std::string>(systemInfFolder) : std::nullopt, arches);
  // A log that cannot be read is said once; the rest of the report comes.
  // Detection stays silent about it: deployment tools read anything on
  // standard error as "not detected", and the log does not decide the
  // verdict (its JSON says "log": null).
  if (log && !AttachLoggedRuns(report, logFile) && !detect && !summary) {
    Write(stderr, "varnollcheck: " + logFile + ": the log cannot be read\n");
  }
  if (detect) return TellVerdict(report, json, summary);
  if (preflight) return TellPreflight(report, json, summary);
  if (summary) {
    WriteSummary(report, Question::kReport, nullptr, false);
  } else {
    Write(stdout, json ? FormatJson(report) : FormatText(report));
  }
  const Tally tally = Count(report);
  return tally.install + tally.preinstall + tally.either > 0 ? kExitWouldAct : kExitNothingToDo;
}

}  // namespace varnoll::check
