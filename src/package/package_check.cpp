#include "package_check.h"

#include "arch_checks.h"

#include "der.h"
#include "file_hash.h"
#include "inf_text.h"
#include "name_lookup.h"
#include "names.h"
#include "signer_check.h"
#include "unique_handle.h"

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <tuple>

namespace varnoll::package {

namespace {

// Appends to `bytes` until it holds `wanted` bytes or the file ends; false
// when a read fails.
bool ReadUpTo(HANDLE file, size_t wanted, std::string& bytes) {
  char block[65536];
  while (bytes.size() < wanted) {
    DWORD got = 0;
    const size_t ask = std::min(sizeof block, wanted - bytes.size());
    if (!ReadFile(file, block, static_cast<DWORD>(ask), &got, nullptr)) return false;
    if (got == 0) break;
    bytes.append(block, got);
  }
  return true;
}

// Reads a whole file of at most `limit` bytes; false when it cannot be
// read or is larger (`tooLarge`).
bool ReadSmallFile(const std::string& path, size_t limit, std::string& bytes, bool& tooLarge) {
  tooLarge = false;
  UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string read;
  if (!file.IsValid() || !ReadUpTo(file.Get(), limit + 1, read)) return false;
  if (read.size() > limit) {
    tooLarge = true;
    return false;
  }
  bytes = std::move(read);
  return true;
}

// Reads a catalog: as many bytes as its outer DER element says it holds,
// so that memory follows a catalog's declared size (at most `limit`), never
// the size of whatever file carries the name. False with `problem`.
bool ReadCatalogBytes(const std::string& path, size_t limit, std::string& bytes, std::string& problem) {
  UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string read;
  // A tag and the longest length we accept tell the declared size; without
  // a DER header ReadCatalog says what the bytes are.
  if (!file.IsValid() || !ReadUpTo(file.Get(), 6, read)) {
    problem = "it cannot be read as a file";
    return false;
  }
  const size_t declared = DeclaredDerSize(read);
  if (declared > limit) {
    problem = "it says it is larger than 64 MiB";
    return false;
  }
  if (!ReadUpTo(file.Get(), declared, read)) {
    problem = "it cannot be read as a file";
    return false;
  }
  bytes = std::move(read);
  return true;
}

// `relative` found in the package as Windows would find it; a name that
// more than one file matches is said once.
std::string ToNative(CPackageNames& names, const std::string& relative, PackageReport& report) {
  const FoundPath found = names.Find(relative);
  if (!found.ambiguous.empty()) {
    const std::string text = "more than one name in the package is " + found.ambiguous +
                             " to Windows, which ignores case; which file it takes is not known";
    const bool said = std::any_of(report.findings.begin(), report.findings.end(),
                                  [&](const Finding& finding) { return finding.text == text; });
    if (!said) report.findings.push_back({"ambiguous-name", false, found.ambiguous, text, {}});
  }
  return found.native;
}

void Add(PackageReport& report, const char* code, bool fails, const std::string& file, const std::string& text) {
  AddFinding(report, code, fails, file, text);
}

// The catalog named by the INF: found, read, its signature checked.
std::optional<Catalog> ReadPackageCatalog(CPackageNames& names, const std::string& infName,
                                          const std::string& name, PackageReport& report) {
  std::string bytes;
  std::string path;
  if (!JoinInsideFolder(name, path)) {
    Add(report, "outside-package", true, name, "the catalog " + name + " lies outside the package folder");
    return std::nullopt;
  }
  const std::string native = ToNative(names, path, report);
  const FileHash probe = HashPackageFile(native, false, false);
  if (probe.state == FileState::kMissing) {
    Add(report, "catalog-missing", true, name, infName + " names the catalog " + name + ", which is not in the package");
    return std::nullopt;
  }
  Catalog catalog;
  std::string problem;
  if (ReadCatalogBytes(native, kMaxCatalogBytes, bytes, problem) &&
      ReadCatalog(bytes, catalog, problem)) {
    return catalog;
  }
  Add(report, "catalog-unreadable", true, name, name + " is not a catalog Windows can read: " + problem);
  return std::nullopt;
}

// A catalog as read once for every architecture that names it: the
// catalog, its signature, and the findings reading and signer gave.
struct CatalogVerdict {
  std::string name;
  std::optional<Catalog> catalog;
  std::optional<std::string> signature;
  std::vector<Finding> findings;
};

// What one package check reads once: catalogs by name, files by path.
class CPackageReads {
 public:
  CPackageReads(const std::string& folder, const std::string& infName, const InfDocument& inf,
                const std::string& hardwareId, const PackageContext& context)
      : names_(folder), infName_(infName), inf_(inf), hardwareId_(hardwareId), context_(context) {}

  // The catalog `name`, read and its signer judged once: into `report` for
  // the main architecture (`main`), which is judged first, else into a
  // report of its own.
  const CatalogVerdict& Catalog(const std::string& name, bool main, PackageReport& report) {
    for (const CatalogVerdict& verdict : catalogs_) {
      if (SameFileName(verdict.name, name)) return verdict;
    }
    PackageReport own;
    PackageReport& into = main ? report : own;
    const size_t first = into.findings.size();
    into.catalog = name;
    CatalogVerdict verdict;
    verdict.name = name;
    verdict.catalog = ReadPackageCatalog(names_, infName_, name, into);
    std::string relative;
    if (verdict.catalog && JoinInsideFolder(name, relative))
      CheckSigner(ToNative(names_, relative, into), *verdict.catalog, inf_, hardwareId_, context_, into);
    verdict.signature = into.signature;
    verdict.findings.assign(into.findings.begin() + first, into.findings.end());
    if (&into == &report) into.findings.resize(first);
    catalogs_.push_back(std::move(verdict));
    return catalogs_.back();
  }

  // The file's hash with at least the digests `catalog` uses.
  FileHash Hash(const std::string& native, const std::optional<varnoll::package::Catalog>& catalog) {
    bool sha1 = false;
    bool sha256 = false;
    if (catalog) KindsUsed(*catalog, sha1, sha256);
    const auto known = hashes_.find(native);
    if (known == hashes_.end()) return hashes_[native] = HashPackageFile(native, sha1, sha256);
    FileHash& hash = known->second;
    if ((sha1 && hash.sha1.empty()) || (sha256 && hash.sha256.empty())) hash = HashPackageFile(native, true, true);
    return hash;
  }

  // Whether the report lists `path` already; notes it if not.
  bool Reported(const std::string& path) {
    std::string upper = path;
    UpperCaseAnsi(upper);
    return !reported_.insert(std::move(upper)).second;
  }

  std::string Native(const std::string& relative, PackageReport& report) { return ToNative(names_, relative, report); }

 private:
  CPackageNames names_;
  std::string infName_;
  const InfDocument& inf_;
  std::string hardwareId_;
  const PackageContext& context_;
  std::deque<CatalogVerdict> catalogs_;  // stable: the checks hold references into it
  std::map<std::string, FileHash> hashes_;
  std::set<std::string> reported_;
};

void CheckFile(CPackageReads& reads, const ListedFile& file, const CatalogVerdict* verdict, PackageReport& report) {
  PackageFile entry{file.name, file.path, false, std::nullopt};
  if (!file.diskDefined && !file.outside)
    AddFinding(report, "disk-undefined", true, file.name,
               file.name + " is on disk " + (file.disk.empty() ? std::string("(none)") : file.disk) +
                   ", which no [SourceDisksNames] section defines");
  if (file.outside) {
    AddFinding(report, "outside-package", true, file.name,
               file.name + " is listed at " + file.path + ", outside the package folder; not followed");
  } else {
    const std::optional<Catalog> none;
    const std::optional<Catalog>& catalog = verdict ? verdict->catalog : none;
    const std::string native = reads.Native(file.path, report);
    JudgeFile(file, native, reads.Hash(native, catalog), catalog ? &*catalog : nullptr,
              verdict ? verdict->name : std::string(), entry, report);
  }
  if (!reads.Reported(entry.path)) report.files.push_back(entry);
}

void CheckArch(const InfDocument& inf, const std::string& infName, const std::string& hardwareId, Arch arch,
               const PackageContext& context, CPackageReads& reads, PackageReport& report) {
  ArchModels entry;
  entry.arch = arch;
  entry.counted = Counts(context, arch);
  entry.catalog = CatalogFileFor(inf, arch);
  CheckModels(inf, hardwareId, arch, context, entry, report);
  // Windows installs nothing on an architecture without a models section:
  // its catalog and files do not matter there. The main one is read always,
  // for the report's own catalog keys.
  if (!entry.section && arch != context.catalogArch) {
    report.architectures.push_back(std::move(entry));
    return;
  }
  const CatalogVerdict* verdict = nullptr;
  if (!entry.catalog) {
    AddFinding(report, "no-catalog", true, infName,
        infName + " names no CatalogFile: 64-bit Windows refuses an unsigned package (ERROR_NO_CATALOG_FOR_OEM_INF)");
  } else {
    // The main architecture is judged first: its catalog's signer keys are
    // the report's own.
    verdict = &reads.Catalog(*entry.catalog, arch == context.catalogArch, report);
    entry.signature = verdict->signature;
    for (const Finding& finding : verdict->findings) report.findings.push_back(finding);
  }
  std::vector<ListedFile> listed = ListedFiles(inf, arch);
  if (arch == context.catalogArch) report.catalogCovers = listed.size();
  CheckFile(reads, ListedFile{infName, infName, false, std::string(), true, false}, verdict, report);
  for (const ListedFile& file : listed) CheckFile(reads, file, verdict, report);
  if (entry.section && entry.hasId) CheckCopied(inf, *entry.section, arch, hardwareId, listed, report);
  report.architectures.push_back(std::move(entry));
}

// The findings of the package as a whole: its Version section and names.
void CheckInf(const InfDocument& inf, const std::string& infName, PackageReport& report) {
  if (!ValidInfSignature(inf))
    AddFinding(report, "inf-signature-invalid", true, infName,
        infName + " has no Signature of $Windows NT$ or $Chicago$ in [Version]: Windows takes it for no INF file");
  std::vector<std::string> said;
  for (const std::string& section : inf.SectionNames()) {
    if (!EqualIgnoringCase(section, "SourceDisksFiles") &&
        !EqualIgnoringCase(std::string_view(section).substr(0, 17), "SourceDisksFiles."))
      continue;
    for (const InfLine& line : *inf.Section(section)) {
      if (!line.keyFromToken || std::find(said.begin(), said.end(), *line.key) != said.end()) continue;
      said.push_back(*line.key);
      AddFinding(report, "strkey-file-name", false, *line.key,
          *line.key + " is named by a %strkey% token in [" + section +
              "]: the INF SourceDisksFiles page says a file name must be the file's exact name, never a token, "
              "and documents no reading of one");
    }
  }
}

// One finding per code, file and text: each says every architecture it is
// about, and fails where one of them counts.
void MergeFindings(const PackageContext& context, std::vector<Finding>& findings) {
  std::vector<Finding> merged;
  std::map<std::tuple<std::string, std::string, std::string>, size_t> seen;
  for (Finding& finding : findings) {
    const auto [at, added] = seen.emplace(std::make_tuple(finding.code, finding.file, finding.text), merged.size());
    if (added) {
      merged.push_back(std::move(finding));
      continue;
    }
    Finding* same = &merged[at->second];
    same->fails = same->fails || finding.fails;
    for (Arch arch : finding.arches) {
      if (std::find(same->arches.begin(), same->arches.end(), arch) == same->arches.end()) same->arches.push_back(arch);
    }
  }
  for (Finding& finding : merged) {
    if (finding.arches.empty() || finding.arches.size() == context.arches.size()) continue;
    std::string names;
    for (Arch arch : finding.arches) {
      if (finding.text.find(std::string(" ") + ArchName(arch)) != std::string::npos) continue;
      names += (names.empty() ? "" : ", ") + std::string(ArchName(arch));
    }
    if (!names.empty()) finding.text = names + ": " + finding.text;
  }
  findings = std::move(merged);
}

// The architectures in the order they are judged: the main one first.
std::vector<Arch> JudgingOrder(const PackageContext& context) {
  std::vector<Arch> order{context.catalogArch};
  for (Arch arch : context.arches) {
    if (arch != context.catalogArch) order.push_back(arch);
  }
  return order;
}

}  // namespace

bool AddDowngrade(PackageReport& report, const std::string& infName, const std::string& instanceId,
                  const DriverVer& current) {
  if (!report.driverVer || CompareDriverVer(*report.driverVer, current) >= 0) return false;
  AddFinding(report, "downgrade", false, infName,
      "the forced install would replace " + instanceId + "'s driver of " + current.date + ", " + current.version +
          " with this older one of " + report.driverVer->date + ", " + report.driverVer->version);
  return true;
}

bool Counts(const PackageContext& context, Arch arch) {
  return std::find(context.counted.begin(), context.counted.end(), arch) != context.counted.end();
}

bool PackageReport::Fails() const {
  return std::any_of(findings.begin(), findings.end(), [](const Finding& finding) { return finding.fails; });
}

PackageReport CheckPackage(const std::string& folder, const std::string& infName, const std::string& hardwareId,
                           const PackageContext& context) {
  PackageReport report;
  std::string bytes;
  bool tooLarge = false;
  InfDocument inf;
  if (ReadSmallFile(folder + infName, 64u << 20, bytes, tooLarge)) inf = ReadInfDocument(InfTextForNames(bytes));
  report.driverVer = DriverVerOf(inf);
  report.classGuid = inf.Value("Version", "ClassGuid");
  report.judgedFor = context.counted;
  CheckInf(inf, infName, report);
  CPackageReads reads(folder, infName, inf, hardwareId, context);
  for (Arch arch : JudgingOrder(context)) {
    const size_t first = report.findings.size();
    CheckArch(inf, infName, hardwareId, arch, context, reads, report);
    for (size_t i = first; i < report.findings.size(); ++i) {
      Finding& finding = report.findings[i];
      // Names on disk are the package's, whatever the architecture.
      if (finding.code == "ambiguous-name") continue;
      finding.arches = {arch};
      finding.fails = finding.fails && Counts(context, arch);
    }
  }
  MergeFindings(context, report.findings);
  std::sort(report.architectures.begin(), report.architectures.end(),
            [](const ArchModels& a, const ArchModels& b) { return a.arch < b.arch; });
  PutReachLast(report);
  AskWindows(folder + infName, context, report);
  return report;
}

}  // namespace varnoll::package
