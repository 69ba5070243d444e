// Linux names files by their bytes: each part of the path is looked for in
// its folder's listing with the case of a to z ignored, as SameFileName
// compares names here.
#include "name_lookup.h"

#include <dirent.h>

#include <memory>

namespace varnoll::package {

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirOwner = std::unique_ptr<DIR, DirCloser>;

std::string Folded(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

std::string Pick(const std::vector<std::string>& matches, const std::string& part) {
  std::string best = matches.front();
  for (const std::string& name : matches) {
    if (name == part) return name;
    if (name < best) best = name;
  }
  return best;
}

}  // namespace

const std::map<std::string, std::vector<std::string>>& CPackageNames::Listing(const std::string& folder) {
  const auto known = listings_.find(folder);
  if (known != listings_.end()) return known->second;
  std::map<std::string, std::vector<std::string>>& names = listings_[folder];
  const DirOwner dir(opendir(folder.c_str()));
  while (dir) {
    const dirent* entry = readdir(dir.get());
    if (entry == nullptr) break;
    names[Folded(entry->d_name)].emplace_back(entry->d_name);
  }
  return names;
}

FoundPath CPackageNames::Find(const std::string& relative) {
  FoundPath found;
  found.native = folder_;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find('\\', start);
    if (end == std::string::npos) end = relative.size();
    const std::string part = relative.substr(start, end - start);
    const auto& listing = Listing(found.native);
    const auto matches = listing.find(Folded(part));
    if (matches == listing.end()) {
      found.native += part;
    } else {
      if (matches->second.size() > 1 && found.ambiguous.empty()) found.ambiguous = part;
      found.native += Pick(matches->second, part);
    }
    if (end < relative.size()) found.native += '/';
    start = end + 1;
  }
  return found;
}

}  // namespace varnoll::package
