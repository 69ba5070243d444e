// The verdict deployment tools decide by: is the package in place?
#pragma once

#include "check_report.h"

#include <optional>
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
  // The first missing piece as a word for tools ("not-in-store", "no-driver",
  // "other-driver", "problem", "nothing-qualifies"), and the device it is
  // about, when it is one; empty when in place.
  std::string cause;
  std::optional<DeviceMatch> causeDevice;
};

// Where a device that does not use the package has its driver from, in a
// few words: "oem12.inf (Contoso, 1-15-2030, 9.0.0.0, newer than this
// package's 01/01/2020, 1.0.0.0)"; as much as is known.
std::string DriverInUseWords(const FileReport& file, const DeviceMatch& device);

// The verdict on a report made where the driver store and the devices can
// be seen (report.systemVisible).
Verdict Detect(const CheckReport& report);

}  // namespace varnoll::check
