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

const char* ReasonName(Reason reason) {
  switch (reason) {
    case Reason::kUnreadable:
      return "unreadable";
    case Reason::kNoMarker:
      return "no-marker";
    case Reason::kNoModelLine:
      return "no-model-line";
    case Reason::kNoComma:
      return "no-comma";
    case Reason::kNoVen:
      return "no-ven";
    case Reason::kOk:
      break;
  }
  return "ok";
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
