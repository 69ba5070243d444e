#include "log_report.h"

#include "driver_store.h"

namespace varnoll::check {

namespace {

std::string FileName(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

bool AttachLoggedRuns(CheckReport& report, const std::string& path) {
  report.logRequested = true;
  size_t sections = 0;
  const auto onRun = [&report](const LoggedRun& run) {
    const std::string inf = FileName(run.infPath);
    for (FileReport& file : report.files) {
      if (!file.Qualifies() || !SameFileName(inf, file.name)) continue;
      if (run.call == LoggedCall::kStaging) {
        file.lastStaging = run;
      } else if (file.hardwareId && SameFileName(run.subject, *file.hardwareId)) {
        // Hardware IDs, like file names, ignore case.
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
