// The verdict deployment tools decide by: is the package in place?
#pragma once

#include "check_report.h"

#include <string>
#include <vector>

namespace varnoll::check {

struct Verdict {
  // At least one INF qualifies, each has its copy in the driver store, and
  // every present device with its hardware ID has its driver from a copy of
  // the last such INF (the one the installer updates it with last) and no
  // problem (a pending restart is no problem).
  bool inPlace = false;
  bool restartPending = false;       // a device that uses the package waits for a restart
  std::string summary;               // one line for a person, when in place
  std::vector<std::string> missing;  // one line per missing piece, when not
};

// The verdict on a report made where the driver store and the devices can
// be seen (report.systemVisible).
Verdict Detect(const CheckReport& report);

}  // namespace varnoll::check
