#include "check_report.h"

#include "names.h"

namespace varnoll::check {

namespace {

const char* Name(Action action) {
  switch (action) {
    case Action::kInstall:
      return "install";
    case Action::kPreinstall:
      return "preinstall";
    case Action::kInstallOrPreinstall:
      return "install-or-preinstall";
  }
  return "";
}

}  // namespace

const char* ActionName(const FileReport& file) {
  const Action* action = std::get_if<Action>(&file.outcome);
  return action ? Name(*action) : "skip";
}

const char* ReasonName(const FileReport& file) {
  const SkipReason* why = std::get_if<SkipReason>(&file.outcome);
  return why ? ReasonName(*why) : "ok";
}

const char* ReasonName(SkipReason why) { return SkipReasonName(why); }

Tally Count(const CheckReport& report) {
  Tally tally;
  for (const FileReport& file : report.files) {
    const Action* action = std::get_if<Action>(&file.outcome);
    if (!action) {
      ++tally.skip;
      continue;
    }
    switch (*action) {
      case Action::kInstall:
        ++tally.install;
        break;
      case Action::kPreinstall:
        ++tally.preinstall;
        break;
      case Action::kInstallOrPreinstall:
        ++tally.either;
        break;
    }
  }
  return tally;
}

const FileReport* LastWithSameId(const CheckReport& report, const FileReport& file) {
  if (!file.Qualifies() || !file.hardwareId) return nullptr;
  const FileReport* last = nullptr;
  bool after = false;
  for (const FileReport& other : report.files) {
    if (&other == &file) {
      after = true;
    } else if (after && other.Qualifies() && other.hardwareId &&
               EqualIgnoringCase(*other.hardwareId, *file.hardwareId)) {
      last = &other;
    }
  }
  return last;
}

}  // namespace varnoll::check
