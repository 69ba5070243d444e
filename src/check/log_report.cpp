#include "log_report.h"

#include "names.h"

namespace varnoll::check {

bool AttachLoggedRuns(CheckReport& report, const std::string& path) {
  report.logRequested = true;
  size_t sections = 0;
  const auto onRun = [&report](const LoggedRun& run) {
    const std::string_view inf = FileNameOf(run.infPath);
    for (FileReport& file : report.files) {
      if (!file.Qualifies() || !SameFileName(inf, file.name)) continue;
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
