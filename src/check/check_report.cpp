#include "check_report.h"

namespace varnoll::check {

const char* ActionName(Action action) {
  switch (action) {
    case Action::kInstall:
      return "install";
    case Action::kPreinstall:
      return "preinstall";
    case Action::kInstallOrPreinstall:
      return "install-or-preinstall";
    case Action::kSkip:
      break;
  }
  return "skip";
}

const char* ReasonName(const std::optional<SkipReason>& skipped) {
  if (!skipped) return "ok";
  switch (*skipped) {
    case SkipReason::kUnreadable:
      return "unreadable";
    case SkipReason::kNoMarker:
      return "no-marker";
    case SkipReason::kNoModelLine:
      return "no-model-line";
    case SkipReason::kNoComma:
      return "no-comma";
    case SkipReason::kNoVen:
      break;
  }
  return "no-ven";
}

Tally Count(const CheckReport& report) {
  Tally tally;
  for (const FileReport& file : report.files) {
    switch (file.action) {
      case Action::kInstall:
        ++tally.install;
        break;
      case Action::kPreinstall:
        ++tally.preinstall;
        break;
      case Action::kInstallOrPreinstall:
        ++tally.either;
        break;
      case Action::kSkip:
        ++tally.skip;
        break;
    }
  }
  return tally;
}

}  // namespace varnoll::check
