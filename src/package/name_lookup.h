// Names the package gives, found as Windows finds them: without regard to
// case (General Syntax Rules for INF Files; NTFS keeps case but ignores it).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace varnoll::package {

struct FoundPath {
  std::string native;     // the path to open
  std::string ambiguous;  // a part of the path that more than one name on disk matches, or empty
};

// One package folder's names. Where the file system heeds case (Linux),
// each folder is listed once and its names kept.
class CPackageNames {
 public:
  explicit CPackageNames(std::string folder) : folder_(std::move(folder)) {}

  // `relative` ('\'-separated, inside the folder) as the file system spells
  // it. A part nothing matches is kept as written, so that opening it fails
  // as missing; where several names differ only in case, the one spelt
  // exactly wins, else the first in byte order.
  FoundPath Find(const std::string& relative);

 private:
  // The names of `folder` by their case-folded form.
  const std::map<std::string, std::vector<std::string>>& Listing(const std::string& folder);

  std::string folder_;
  std::map<std::string, std::map<std::string, std::vector<std::string>>> listings_;
};

}  // namespace varnoll::package
