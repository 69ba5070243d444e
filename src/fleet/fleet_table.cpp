#include "fleet_table.h"

#include "json_writer.h"
#include "report_format.h"

#include <algorithm>

namespace varnoll::fleet {

namespace {

constexpr const char kUnreadable[] = "unreadable";

// A name or cause from an export as the text table prints it: control
// characters (a terminal's escape sequences among them) become '?'.
std::string Printable(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') c = '?';
  }
  return text;
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + Printable(name);
  return text;
}

}  // namespace

std::string Share(long long count, long long total) {
  if (total <= 0) return "0.0";
  const long long tenths = (count * 1000 + total / 2) / total;
  return check::Decimal(tenths / 10) + "." + check::Decimal(tenths % 10);
}

void CFleetTable::Count(const std::string& verdict, const std::string& cause, const std::string& machine) {
  FleetGroup& group = groups_[{verdict, cause}];
  if (group.count++ == 0) {
    group.verdict = verdict;
    group.cause = cause;
  }
  if (group.examples.size() < kExamples) group.examples.push_back(machine);
}

void CFleetTable::Add(const std::string& machine, const MachineAnswer& answer) {
  ++read_;
  Count(answer.verdict, answer.cause, machine);
}

void CFleetTable::AddUnreadable(const std::string& machine, const std::string& why) {
  ++unreadable_;
  Count(kUnreadable, why, machine);
}

std::vector<const FleetGroup*> CFleetTable::Groups() const {
  std::vector<const FleetGroup*> groups;
  for (const auto& entry : groups_) groups.push_back(&entry.second);
  std::stable_sort(groups.begin(), groups.end(),
                   [](const FleetGroup* a, const FleetGroup* b) { return a->count > b->count; });
  return groups;
}

std::string CFleetTable::Text() const {
  const long long total = read_ + unreadable_;
  std::string text = check::Decimal(total) + (total == 1 ? " machine: " : " machines: ") + check::Decimal(read_) +
                     " read, " + check::Decimal(unreadable_) + " unreadable\n";
  if (total == 0) return text;
  size_t verdictWidth = 8;
  size_t causeWidth = 6;
  for (const FleetGroup* group : Groups()) {
    verdictWidth = std::max(verdictWidth, group->verdict.size() + 2);
    causeWidth = std::max(causeWidth, group->cause.size() + 2);
  }
  text += "\n" + Padded("verdict", verdictWidth) + Padded("cause", causeWidth) + "machines   share  examples\n";
  std::string unreadable;
  for (const FleetGroup* group : Groups()) {
    const std::string count = check::Decimal(group->count);
    const std::string share = Share(group->count, total) + "%";
    text += Padded(Printable(group->verdict), verdictWidth) + Padded(Printable(group->cause), causeWidth) +
            std::string(count.size() < 8 ? 8 - count.size() : 0, ' ') + count +
            std::string(share.size() < 8 ? 8 - share.size() : 0, ' ') + share + "  " + Joined(group->examples) + "\n";
    if (group->verdict == kUnreadable) {
      unreadable += count + (group->count == 1 ? " row unreadable: " : " rows unreadable: ") + Printable(group->cause) + " (" +
                    Joined(group->examples) + (group->count > static_cast<long long>(kExamples) ? ", ...)\n" : ")\n");
    }
  }
  return unreadable.empty() ? text : text + "\n" + unreadable;
}

std::string CFleetTable::Json() const {
  const long long total = read_ + unreadable_;
  CJsonWriter json;
  json.BeginObject().Key("machines").Number(total).Key("read").Number(read_).Key("unreadable").Number(unreadable_);
  json.Break(1).Key("groups").BeginArray();
  for (const FleetGroup* group : Groups()) {
    json.Break(2).BeginObject().Key("verdict").String(group->verdict).Key("cause").String(group->cause);
    json.Key("count").Number(group->count).Key("share").Raw(Share(group->count, total));
    json.Key("examples").BeginArray();
    for (const std::string& machine : group->examples) json.String(machine);
    json.EndArray().EndObject();
  }
  if (!groups_.empty()) json.Break(1);
  return json.EndArray().Break(0).EndObject().Finish();
}

}  // namespace varnoll::fleet
