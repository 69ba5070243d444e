// --preflight: one verdict over every qualifying package, for packaging
// pipelines and change reviews.
#pragma once

#include "package_check.h"

#include <string>
#include <utility>
#include <vector>

namespace varnoll::package {

// Passes when there is a package and none has a finding that fails: then
// `out` is one line. Otherwise `err` holds one line per finding,
// "<inf>: [fails] code: text", or the one line that no INF qualifies.
bool Preflight(const std::vector<std::pair<std::string, const PackageReport*>>& packages, std::string& out,
               std::string& err);

}  // namespace varnoll::package
