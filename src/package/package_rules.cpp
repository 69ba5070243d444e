#include "package_rules.h"

#include "names.h"

#include <cstdlib>
#include <set>

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

struct DiskEntry {
  std::string path;  // the fourth field
  bool defined = false;
};

// The [SourceDisksNames] entry for `disk`, the variant for `arch` first.
DiskEntry DiskFor(const InfDocument& inf, const std::string& disk, Arch arch) {
  char* end = nullptr;
  const unsigned long wanted = std::strtoul(disk.c_str(), &end, 10);
  if (disk.empty() || *end != '\0') return DiskEntry();
  for (const std::string& name : {std::string("SourceDisksNames.") + NtSuffix(arch), std::string("SourceDisksNames")}) {
    const std::vector<InfLine>* lines = inf.Section(name);
    if (lines == nullptr) continue;
    for (const InfLine& line : *lines) {
      if (line.key && std::strtoul(line.key->c_str(), nullptr, 10) == wanted)
        return {line.fields.size() > 3 ? line.fields[3] : std::string(), true};
    }
  }
  return DiskEntry();
}

// `seen` holds the names listed so far, upper-cased as the file system
// compares them.
void AddFiles(const InfDocument& inf, const std::string& section, Arch arch, std::vector<ListedFile>& files,
              std::set<std::string>& seen) {
  const std::vector<InfLine>* lines = inf.Section(section);
  if (lines == nullptr) return;
  for (const InfLine& line : *lines) {
    const std::string file = line.key ? *line.key : line.fields.empty() ? std::string() : line.fields[0];
    if (file.empty()) continue;
    std::string upper = file;
    UpperCaseAnsi(upper);
    if (!seen.insert(std::move(upper)).second) continue;
    ListedFile listed;
    listed.name = file;
    listed.disk = line.key && !line.fields.empty() ? line.fields[0] : std::string();
    listed.nameFromToken = line.keyFromToken;
    const DiskEntry disk = DiskFor(inf, listed.disk, arch);
    listed.diskDefined = disk.defined;
    const std::string subdir = line.key && line.fields.size() > 1 ? line.fields[1] : std::string();
    listed.outside = !JoinInside({disk.path, subdir, file}, listed.path);
    if (listed.outside) listed.path = disk.path + "\\" + subdir + "\\" + file;
    files.push_back(std::move(listed));
  }
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

std::optional<Arch> ArchNamed(const std::string& name) {
  for (Arch arch : {Arch::kX86, Arch::kAmd64, Arch::kArm64}) {
    if (EqualIgnoringCase(name, NtSuffix(arch))) return arch;
  }
  return std::nullopt;
}

bool ValidInfSignature(const InfDocument& inf) {
  const std::optional<std::string> signature = inf.Value("Version", "Signature");
  return signature && (EqualIgnoringCase(*signature, "$Windows NT$") || EqualIgnoringCase(*signature, "$Chicago$"));
}

bool JoinInsideFolder(const std::string& relative, std::string& path) { return JoinInside({relative}, path); }

std::optional<std::string> CatalogFileFor(const InfDocument& inf, Arch arch) {
  for (const std::string& key : {std::string("CatalogFile.NT") + NtSuffix(arch), std::string("CatalogFile.NT"),
                                std::string("CatalogFile")}) {
    std::optional<std::string> value = inf.Value("Version", key);
    if (value && !value->empty()) return value;
  }
  return std::nullopt;
}

std::vector<ListedFile> ListedFiles(const InfDocument& inf, Arch arch) {
  std::vector<ListedFile> files;
  std::set<std::string> seen;
  AddFiles(inf, std::string("SourceDisksFiles.") + NtSuffix(arch), arch, files, seen);
  AddFiles(inf, "SourceDisksFiles", arch, files, seen);
  return files;
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
