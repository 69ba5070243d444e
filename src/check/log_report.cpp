#include "log_report.h"

#include "names.h"

namespace varnoll::check {

namespace {

// No file name holds '?': where one shows, a character was lost on the way
// (the log and FindFirstFileA write '?' for what the ANSI code page lacks,
// and the reader turns every non-ASCII character of a UTF-16 log into '?'),
// and two different names may look alike.
bool SameInfName(std::string_view logged, std::string_view file) {
  if (logged.find('?') != std::string_view::npos || file.find('?') != std::string_view::npos) return false;
  return SameFileName(logged, file);
}

}  // namespace

bool AttachLoggedRuns(CheckReport& report, const std::string& path) {
  report.logRequested = true;
  size_t sections = 0;
  const auto onRun = [&report](const LoggedRun& run) {
    const std::string_view inf = FileNameOf(run.infPath);
    for (FileReport& file : report.files) {
      if (!file.Qualifies() || !SameInfName(inf, file.name)) continue;
      if (run.call == LoggedCall::kStaging) {
        file.lastStaging = run;
      } else if (file.hardwareId && EqualIgnoringCase(run.subject, *file.hardwareId)) {
        file.lastUpdate = run;
      }
    }
  };
  if (!ReadSetupLog(path, onRun, sections)) return false;
  report.logFile = path;
  report.logSections = sections;
  return true;
}

}  // namespace varnoll::check
