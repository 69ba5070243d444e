// What Windows' installation log says about the files of a check report.
#pragma once

#include "check_report.h"

#include <string>

namespace varnoll::check {

// Reads the setup log at `path` and gives each file of `report` that
// qualifies the last logged run of each call that belongs to it: an update
// for its hardware ID with an INF of its name, a staging of an INF of its
// name (names compared as Windows compares file names; the folder may
// differ, since packages run from temporary folders). A name holding '?', a
// character lost to the code page, belongs to no file. False, with the
// report saying so, when the log cannot be read.
bool AttachLoggedRuns(CheckReport& report, const std::string& path);

}  // namespace varnoll::check
