#include "models_rules.h"

#include "names.h"

#include <climits>
#include <cstdlib>
#include <tuple>

namespace varnoll::package {

namespace {

bool LineHasId(const InfLine& line, const std::string& hardwareId) {
  for (size_t i = 1; i < line.fields.size(); ++i) {
    if (EqualIgnoringCase(line.fields[i], hardwareId)) return true;
  }
  return false;
}

bool SectionHasId(const InfDocument& inf, const std::string& section, const std::string& hardwareId) {
  const std::vector<InfLine>* lines = inf.Section(section);
  if (lines == nullptr) return false;
  for (const InfLine& line : *lines) {
    if (LineHasId(line, hardwareId)) return true;
  }
  return false;
}

std::optional<Arch> ArchOfToken(const std::string& token, bool& known) {
  known = true;
  if (token.empty()) return std::nullopt;
  for (Arch arch : {Arch::kX86, Arch::kAmd64, Arch::kArm64}) {
    if (EqualIgnoringCase(token, ArchName(arch))) return arch;
  }
  known = false;
  return std::nullopt;
}

}  // namespace

bool Serves(const TargetOs& target, const WindowsRelease& windows) {
  if (std::make_tuple(target.major, target.minor, target.build) >
      std::make_tuple(windows.major, windows.minor, windows.build))
    return false;
  if (target.productType != 0 && windows.productType != 0 && target.productType != windows.productType)
    return false;
  return (windows.suiteMask & target.suiteMask) == target.suiteMask;
}

namespace {

// Closeness to the running Windows: the higher version and build first,
// then the decoration that says more about the machine.
auto Closeness(const TargetOs& target) {
  return std::make_tuple(target.major, target.minor, target.build, target.arch.has_value(),
                         target.productType != 0, target.suiteMask != 0);
}

// The candidates of one [Manufacturer] line for `arch`: the decorated
// sections that exist, then (x86 only) the undecorated one. Since Windows
// Server 2003 SP1 a non-x86 platform takes only a section decorated for it
// or for no architecture (INF Manufacturer section).
std::vector<ModelsCandidate> LineCandidates(const InfDocument& inf, const InfLine& line, Arch arch,
                                            const std::string& hardwareId) {
  std::vector<ModelsCandidate> candidates;
  if (line.fields.empty()) return candidates;
  // "%name%=section,decorations" and the bare "section" form alike.
  const std::string& base = line.fields[0];
  for (size_t i = 1; i < line.fields.size(); ++i) {
    TargetOs target;
    const std::string section = base + "." + line.fields[i];
    if (!ParseTargetOs(line.fields[i], target) || (target.arch && *target.arch != arch)) continue;
    if (inf.Section(section) == nullptr) continue;
    candidates.push_back({section, target, true, SectionHasId(inf, section, hardwareId)});
  }
  if (arch == Arch::kX86 && inf.Section(base) != nullptr)
    candidates.push_back({base, TargetOs(), false, SectionHasId(inf, base, hardwareId)});
  return candidates;
}

std::optional<ModelsCandidate> Closest(const std::vector<ModelsCandidate>& candidates, const WindowsRelease& windows) {
  std::optional<ModelsCandidate> best;
  for (const ModelsCandidate& candidate : candidates) {
    if (!candidate.decorated || !Serves(candidate.target, windows)) continue;
    if (!best || Closeness(candidate.target) > Closeness(best->target)) best = candidate;
  }
  for (const ModelsCandidate& candidate : candidates) {
    if (!best && !candidate.decorated) best = candidate;
  }
  return best;
}

}  // namespace

bool ParseTargetOs(const std::string& decoration, TargetOs& target) {
  if (decoration.size() < 2 || !EqualIgnoringCase(std::string_view(decoration).substr(0, 2), "nt")) return false;
  std::vector<std::string> parts{std::string()};
  for (size_t i = 2; i < decoration.size(); ++i) {
    if (decoration[i] == '.') {
      parts.emplace_back();
    } else {
      parts.back() += decoration[i];
    }
  }
  bool known = false;
  TargetOs read;
  read.arch = ArchOfToken(parts[0], known);
  if (!known) return false;
  unsigned long* fields[] = {&read.major, &read.minor, &read.productType, &read.suiteMask, &read.build};
  for (size_t i = 1; i < parts.size() && i <= 5; ++i) {
    // Product type and suite mask are often written in hex ("0x00000001").
    *fields[i - 1] = std::strtoul(parts[i].c_str(), nullptr, 0);
  }
  target = read;
  return true;
}

WindowsRelease NewestWindows() { return {ULONG_MAX, ULONG_MAX, ULONG_MAX, 0, ULONG_MAX}; }

WindowsRelease OldestWindows(Arch arch) {
  return arch == Arch::kArm64 ? WindowsRelease{10, 0, 16299, 0, ULONG_MAX} : WindowsRelease{6, 1, 7600, 0, ULONG_MAX};
}

std::string FromText(const TargetOs& target) {
  if (target.major == 0 && target.minor == 0 && target.build == 0) return std::string();
  std::string text = std::to_string(target.major) + "." + std::to_string(target.minor);
  return target.build == 0 ? text : text + "." + std::to_string(target.build);
}

std::vector<ModelsCandidate> ModelsCandidates(const InfDocument& inf, Arch arch, const std::string& hardwareId) {
  std::vector<ModelsCandidate> all;
  const std::vector<InfLine>* manufacturers = inf.Section("Manufacturer");
  if (manufacturers == nullptr) return all;
  for (const InfLine& line : *manufacturers) {
    for (ModelsCandidate& candidate : LineCandidates(inf, line, arch, hardwareId)) all.push_back(std::move(candidate));
  }
  return all;
}

ModelsChoice ModelsFor(const InfDocument& inf, Arch arch, const std::string& hardwareId,
                       const WindowsRelease& windows) {
  ModelsChoice choice;
  const std::vector<InfLine>* manufacturers = inf.Section("Manufacturer");
  if (manufacturers == nullptr) return choice;
  for (const InfLine& line : *manufacturers) {
    const std::optional<ModelsCandidate> best = Closest(LineCandidates(inf, line, arch, hardwareId), windows);
    if (!best) continue;
    if (!choice.section || (best->hasId && !choice.hasId)) choice = {best->section, best->hasId};
  }
  return choice;
}

}  // namespace varnoll::package
