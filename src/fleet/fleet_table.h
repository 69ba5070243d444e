// The fleet's machines grouped by verdict and cause: how many, what share,
// and a few of them by name. Memory grows with the groups, not with the
// machines.
#pragma once

#include "machine_answer.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace varnoll::fleet {

// Machines named per group.
constexpr size_t kExamples = 5;

struct FleetGroup {
  std::string verdict;  // "unreadable" for rows that could not be read
  std::string cause;    // for those, why
  long long count = 0;
  std::vector<std::string> examples;  // the first kExamples machines, in reading order
};

class CFleetTable {
 public:
  void Add(const std::string& machine, const MachineAnswer& answer);
  void AddUnreadable(const std::string& machine, const std::string& why);

  long long Read() const { return read_; }
  long long Unreadable() const { return unreadable_; }

  // The groups, the largest first (then by verdict and cause).
  std::vector<const FleetGroup*> Groups() const;

  // For a person: one line per group, then one per kind of unreadable row.
  std::string Text() const;
  // For tools: {"machines", "read", "unreadable", "groups": [...]}.
  std::string Json() const;

 private:
  void Count(const std::string& verdict, const std::string& cause, const std::string& machine);

  std::map<std::pair<std::string, std::string>, FleetGroup> groups_;
  long long read_ = 0;
  long long unreadable_ = 0;
};

// `count` of `total` as a percentage with one decimal: "21.2".
std::string Share(long long count, long long total);

}  // namespace varnoll::fleet
