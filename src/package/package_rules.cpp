#include "package_rules.h"

#include "names.h"

#include <cstdlib>

namespace varnoll::package {

namespace {

// Decorations as they follow "NT" in [Manufacturer] and "CatalogFile.NT".
const char* NtSuffix(Arch arch) {
  switch (arch) {
    case Arch::kX86:
      return "x86";
    case Arch::kAmd64:
      return "amd64";
    case Arch::kArm64:
      return "arm64";
  }
  return "";
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && EqualIgnoringCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

// Joins and normalises `\`- or `/`-separated parts; false when ".." climbs
// out of the INF's folder or a part is absolute.
bool JoinInside(const std::vector<std::string>& parts, std::string& path) {
  std::vector<std::string> kept;
  for (const std::string& part : parts) {
    if (part.size() >= 2 && part[1] == ':') return false;
    size_t start = 0;
    while (start <= part.size()) {
      size_t end = part.find_first_of("\\/", start);
      if (end == std::string::npos) end = part.size();
      const std::string piece = part.substr(start, end - start);
      if (piece == "..") {
        if (kept.empty()) return false;
        kept.pop_back();
      } else if (!piece.empty() && piece != ".") {
        kept.push_back(piece);
      }
      start = end + 1;
    }
  }
  path.clear();
  for (const std::string& piece : kept) path += (path.empty() ? "" : "\\") + piece;
  return true;
}

// The path field (the fourth) of a [SourceDisksNames] entry for `disk`,
// looking in the variant for `arch` first.
std::string DiskPath(const InfDocument& inf, const std::string& disk, const std::optional<Arch>& arch) {
  for (int pass = 0; pass < 2; ++pass) {
    const std::string name =
        pass == 0 && arch ? std::string("SourceDisksNames.") + NtSuffix(*arch) : std::string("SourceDisksNames");
    if (pass == 0 && !arch) continue;
    const std::vector<InfLine>* lines = inf.Section(name);
    if (lines == nullptr) continue;
    for (const InfLine& line : *lines) {
      if (line.key && std::strtoul(line.key->c_str(), nullptr, 10) == std::strtoul(disk.c_str(), nullptr, 10))
        return line.fields.size() > 3 ? line.fields[3] : std::string();
    }
  }
  return std::string();
}

void AddFiles(const InfDocument& inf, const std::optional<Arch>& arch, std::vector<ListedFile>& files) {
  const std::string name = arch ? std::string("SourceDisksFiles.") + NtSuffix(*arch) : "SourceDisksFiles";
  const std::vector<InfLine>* lines = inf.Section(name);
  if (lines == nullptr) return;
  for (const InfLine& line : *lines) {
    const std::string file = line.key ? *line.key : line.fields.empty() ? std::string() : line.fields[0];
    if (file.empty()) continue;
    const std::string disk = line.key && !line.fields.empty() ? line.fields[0] : std::string();
    const std::string subdir = line.key && line.fields.size() > 1 ? line.fields[1] : std::string();
    ListedFile listed;
    listed.name = file;
    listed.outside = !JoinInside({DiskPath(inf, disk, arch), subdir, file}, listed.path);
    if (listed.outside) listed.path = DiskPath(inf, disk, arch) + "\\" + subdir + "\\" + file;
    bool seen = false;
    for (const ListedFile& other : files) seen = seen || EqualIgnoringCase(other.path, listed.path);
    if (!seen) files.push_back(std::move(listed));
  }
}

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

// The models section of one [Manufacturer] line for `arch`. Since Windows
// Server 2003 SP1 a non-x86 platform takes only a section decorated for it
// (INF Manufacturer section: "INF files must decorate ... for non-x86
// target operating system versions"); an x86 one may fall back to the
// undecorated section. A decoration without an architecture ("NT",
// "NT.6.1") serves every platform.
std::optional<std::string> SectionFor(const InfDocument& inf, const InfLine& line, Arch arch) {
  if (line.fields.empty()) return std::nullopt;
  // "%name%=section,decorations" and the bare "section" form alike.
  const std::string& base = line.fields[0];
  const std::string platform = std::string("nt") + NtSuffix(arch);
  std::optional<std::string> general;
  for (size_t i = 1; i < line.fields.size(); ++i) {
    const std::string& decoration = line.fields[i];
    const std::string section = base + "." + decoration;
    if (inf.Section(section) == nullptr) continue;
    if (StartsWithIgnoringCase(decoration, platform) &&
        (decoration.size() == platform.size() || decoration[platform.size()] == '.'))
      return section;
    const bool noArch = EqualIgnoringCase(decoration, "nt") || StartsWithIgnoringCase(decoration, "nt.");
    if (noArch && !general) general = section;
  }
  if (general) return general;
  if (arch == Arch::kX86 && inf.Section(base) != nullptr) return base;
  return std::nullopt;
}

// Month, day, year of "mm/dd/yyyy" (or with '-') as one comparable number.
long DateKey(const std::string& date) {
  char* end = nullptr;
  const long month = std::strtol(date.c_str(), &end, 10);
  if (*end != '/' && *end != '-') return -1;
  const long day = std::strtol(end + 1, &end, 10);
  if (*end != '/' && *end != '-') return -1;
  const long year = std::strtol(end + 1, &end, 10);
  return year * 10000 + month * 100 + day;
}

}  // namespace

const char* ArchName(Arch arch) { return NtSuffix(arch); }

bool JoinInsideFolder(const std::string& relative, std::string& path) { return JoinInside({relative}, path); }

std::optional<std::string> CatalogFileFor(const InfDocument& inf, Arch arch) {
  for (const std::string& key : {std::string("CatalogFile.NT") + NtSuffix(arch), std::string("CatalogFile.NT"),
                                std::string("CatalogFile")}) {
    std::optional<std::string> value = inf.Value("Version", key);
    if (value && !value->empty()) return value;
  }
  return std::nullopt;
}

std::vector<ListedFile> ListedFiles(const InfDocument& inf, const std::vector<Arch>& arches) {
  std::vector<ListedFile> files;
  AddFiles(inf, std::nullopt, files);
  for (Arch arch : arches) AddFiles(inf, arch, files);
  return files;
}

ModelsChoice ModelsFor(const InfDocument& inf, Arch arch, const std::string& hardwareId) {
  ModelsChoice choice;
  const std::vector<InfLine>* manufacturers = inf.Section("Manufacturer");
  if (manufacturers == nullptr) return choice;
  for (const InfLine& line : *manufacturers) {
    std::optional<std::string> section = SectionFor(inf, line, arch);
    if (!section) continue;
    const bool hasId = SectionHasId(inf, *section, hardwareId);
    if (!choice.section || (hasId && !choice.hasId)) choice = {section, hasId};
  }
  return choice;
}

std::optional<DriverVer> DriverVerOf(const InfDocument& inf) {
  const std::vector<InfLine>* lines = inf.Section("Version");
  if (lines == nullptr) return std::nullopt;
  for (const InfLine& line : *lines) {
    if (!line.key || !EqualIgnoringCase(*line.key, "DriverVer") || line.fields.empty()) continue;
    return DriverVer{line.fields[0], line.fields.size() > 1 ? line.fields[1] : std::string()};
  }
  return std::nullopt;
}

int CompareDriverVer(const DriverVer& a, const DriverVer& b) {
  const long dateA = DateKey(a.date);
  const long dateB = DateKey(b.date);
  if (dateA != dateB) return dateA < dateB ? -1 : 1;
  const char* pa = a.version.c_str();
  const char* pb = b.version.c_str();
  for (int part = 0; part < 4; ++part) {
    char* endA = nullptr;
    char* endB = nullptr;
    const unsigned long va = std::strtoul(pa, &endA, 10);
    const unsigned long vb = std::strtoul(pb, &endB, 10);
    if (va != vb) return va < vb ? -1 : 1;
    pa = *endA == '.' ? endA + 1 : endA;
    pb = *endB == '.' ? endB + 1 : endB;
  }
  return 0;
}

}  // namespace varnoll::package
