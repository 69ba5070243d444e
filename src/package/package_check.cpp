#include "package_check.h"

#include "der.h"
#include "copied_files.h"
#include "file_hash.h"
#include "inf_text.h"
#include "name_lookup.h"
#include "names.h"
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
  report.findings.push_back({code, fails, file, text, {}});
}

bool InCatalog(const Catalog& catalog, const FileHash& hash) {
  return std::any_of(catalog.members.begin(), catalog.members.end(), [&](const CatalogMember& member) {
    if (!member.kind || member.digest.empty()) return false;
    return member.digest == (*member.kind == DigestKind::kSha1 ? hash.sha1 : hash.sha256);
  });
}

// Which digests the catalog's members use, so each file is read once for
// just those.
void KindsUsed(const Catalog& catalog, bool& sha1, bool& sha256) {
  sha1 = sha256 = false;
  for (const CatalogMember& member : catalog.members) {
    if (member.kind == DigestKind::kSha1) sha1 = true;
    if (member.kind == DigestKind::kSha256) sha256 = true;
  }
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

void CheckSigner(const std::string& catalogPath, const Catalog& catalog, const PackageContext& context,
                 PackageReport& report) {
  const SignatureState state = CheckSignature(catalog);
  const std::string& name = *report.catalog;
  report.signature = state == SignatureState::kIntact ? "intact" : state == SignatureState::kBroken ? "broken" : "none";
  report.osAttr = catalog.osAttr;
  if (catalog.signer) {
    report.signedBy = catalog.signer->subject;
    report.signedUntil = catalog.signer->notAfter;
    report.timestamped = catalog.signer->timestamped;
  }
  if (state == SignatureState::kBroken)
    Add(report, "signature-broken", true, name, "the signature of " + name + " does not match its contents");
  if (state == SignatureState::kNone)
    Add(report, "signature-broken", true, name, name + " is not signed: Windows takes no unsigned catalog");
  if (context.trust == nullptr) return;
  report.trusted = context.trust->CatalogTrusted(catalogPath);
  if (catalog.signer) report.trustedPublisher = context.trust->InTrustedPublisher(catalog.signer->certificate);
  const std::optional<std::string> version = context.trust->OsVersion();
  if (version && catalog.osAttr) report.osCovered = OsAttrCovers(*catalog.osAttr, *version);
  if (report.trusted == false)
    Add(report, "not-trusted", true, name, "not trusted on this machine: " + name + "'s signer has no trusted chain here");
  if (report.trustedPublisher == false)
    Add(report, "publisher-not-trusted", true, name,
        "not trusted on this machine: " + catalog.signer->subject +
            " is not in its TrustedPublisher store, so Windows would ask, and an unattended install fails");
  if (report.osCovered == false)
    Add(report, "os-not-covered", true, name, name + "'s OSAttr (" + *catalog.osAttr + ") leaves out Windows " + *version);
}

// A catalog as read once for every architecture that names it: the
// catalog, and the signer's keys and findings in a report of its own.
struct CatalogVerdict {
  std::string name;
  std::optional<Catalog> catalog;
  PackageReport signer;
};

// What one package check reads once: catalogs by name, files by path.
class CPackageReads {
 public:
  CPackageReads(const std::string& folder, const std::string& infName, const PackageContext& context)
      : names_(folder), infName_(infName), context_(context) {}

  const CatalogVerdict& Catalog(const std::string& name) {
    for (const CatalogVerdict& verdict : catalogs_) {
      if (SameFileName(verdict.name, name)) return verdict;
    }
    CatalogVerdict verdict;
    verdict.name = name;
    verdict.signer.catalog = name;
    verdict.catalog = ReadPackageCatalog(names_, infName_, name, verdict.signer);
    std::string relative;
    if (verdict.catalog && JoinInsideFolder(name, relative))
      CheckSigner(ToNative(names_, relative, verdict.signer), *verdict.catalog, context_, verdict.signer);
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
  const PackageContext& context_;
  std::deque<CatalogVerdict> catalogs_;  // stable: the checks hold references into it
  std::map<std::string, FileHash> hashes_;
  std::set<std::string> reported_;
};

// "x64", as Windows' own pages name the platform.
std::string PlatformWords(Arch arch) {
  return arch == Arch::kX86 ? "x86" : arch == Arch::kAmd64 ? "x64" : "ARM64";
}

// Whether a catalog holds the file once its line endings are turned back;
// the finding then says how.
bool LineEndingsChanged(const std::string& native, const std::string& name, const Catalog& catalog,
                        PackageReport& report) {
  bool sha1 = false;
  bool sha256 = false;
  KindsUsed(catalog, sha1, sha256);
  if (InCatalog(catalog, HashPackageFile(native, sha1, sha256, LineEndings::kCrlf))) {
    Add(report, "line-endings-changed", true, name,
        name + ": line endings changed after signing (CRLF -> LF, as git does): restore CRLF");
    return true;
  }
  if (InCatalog(catalog, HashPackageFile(native, sha1, sha256, LineEndings::kLf))) {
    Add(report, "line-endings-changed", true, name, name + ": line endings changed after signing (LF -> CRLF): restore LF");
    return true;
  }
  return false;
}

void CheckFile(CPackageReads& reads, const ListedFile& file, const CatalogVerdict* verdict, PackageReport& report) {
  const std::optional<Catalog> none;
  const std::optional<Catalog>& catalog = verdict ? verdict->catalog : none;
  PackageFile entry{file.name, file.path, false, std::nullopt};
  if (!file.diskDefined && !file.outside)
    Add(report, "disk-undefined", true, file.name,
        file.name + " is on disk " + (file.disk.empty() ? std::string("(none)") : file.disk) +
            ", which no [SourceDisksNames] section defines");
  if (file.outside) {
    Add(report, "outside-package", true, file.name, file.name + " is listed at " + file.path + ", outside the package folder; not followed");
  } else {
    const std::string native = reads.Native(file.path, report);
    const FileHash hash = reads.Hash(native, catalog);
    entry.present = hash.state == FileState::kPresent;
    if (hash.state == FileState::kMissing)
      Add(report, "file-missing", true, file.name, file.name + " is listed but not in the package (" + file.path + ")");
    if (hash.state == FileState::kNotAFile || hash.state == FileState::kUnreadable)
      Add(report, "file-missing", true, file.name, file.name + " is listed, but " + file.path + " is not a file that can be read");
    if (catalog && entry.present) {
      entry.inCatalog = InCatalog(*catalog, hash);
      if (!*entry.inCatalog && (hash.peImage || !LineEndingsChanged(native, file.name, *catalog, report)))
        Add(report, "not-in-catalog", true, file.name, file.name + " is not in " + verdict->name + ": changed after signing?");
    }
  }
  if (!reads.Reported(entry.path)) report.files.push_back(entry);
}

// Every file Windows on `arch` copies must be listed for it (INF
// SourceDisksFiles section: a file of a signed package needs an entry).
void CheckCopied(const InfDocument& inf, const std::string& modelsSection, Arch arch, const std::string& hardwareId,
                 const std::vector<ListedFile>& listed, PackageReport& report) {
  for (const CopiedFile& copied : CopiedFiles(inf, modelsSection, arch, hardwareId)) {
    const bool found = std::any_of(listed.begin(), listed.end(),
                                   [&](const ListedFile& file) { return SameFileName(file.name, copied.source); });
    if (!found)
      Add(report, "file-not-listed", true, copied.source,
          copied.source + " is copied by [" + copied.section + "] but listed in no [SourceDisksFiles] section for " +
              ArchName(arch) + ": Windows cannot take it from the package");
  }
}

// The candidate holding the ID that the oldest Windows serves.
const ModelsSection* FirstWithId(const std::vector<ModelsCandidate>& candidates,
                                 std::vector<ModelsSection>& sections) {
  const ModelsSection* first = nullptr;
  const TargetOs* firstTarget = nullptr;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const TargetOs& target = candidates[i].target;
    if (!candidates[i].hasId) continue;
    if (!firstTarget || std::make_tuple(target.major, target.minor, target.build) <
                            std::make_tuple(firstTarget->major, firstTarget->minor, firstTarget->build)) {
      first = &sections[i];
      firstTarget = &target;
    }
  }
  return first;
}

void CheckModels(const InfDocument& inf, const std::string& hardwareId, Arch arch, const PackageContext& context,
                 ArchModels& entry, PackageReport& report) {
  const std::vector<ModelsCandidate> candidates = ModelsCandidates(inf, arch, hardwareId);
  for (const ModelsCandidate& candidate : candidates)
    entry.candidates.push_back({candidate.section, FromText(candidate.target), candidate.hasId});
  const ModelsChoice choice = ModelsFor(inf, arch, hardwareId, context.windows.value_or(NewestWindows()));
  entry.section = choice.section;
  entry.hasId = choice.hasId;
  const std::string name = ArchName(arch);
  const ModelsSection* first = FirstWithId(candidates, entry.candidates);
  if (context.windows && !choice.hasId && first != nullptr) {
    const WindowsVersion& windows = *context.windows;
    Add(report, "models-need-newer-windows", true, std::string(),
        hardwareId + " is only in [" + first->section + "], for Windows " + first->from + " and later: this Windows (" +
            std::to_string(windows.major) + "." + std::to_string(windows.minor) + "." + std::to_string(windows.build) +
            ") gets no driver from the package");
  } else if (!choice.section) {
    Add(report, "no-models-for-arch", true, std::string(),
        "no models section for " + name + ": the package does not install on " + PlatformWords(arch) +
            " machines (Windows there needs one decorated .NT" + name + " in [Manufacturer])");
  } else if (!choice.hasId) {
    Add(report, "id-not-in-models", true, std::string(),
        hardwareId + " is not in [" + *choice.section + "], which Windows uses on " + name);
  } else if (!context.windows && first != nullptr && !ModelsFor(inf, arch, hardwareId, OldestWindows(arch)).hasId) {
    Add(report, "models-need-newer-windows", false, std::string(),
        "on " + name + ", Windows before " + first->from + " gets no driver: " + hardwareId + " is first in [" +
            first->section + "]");
  }
}

// The signer's keys of the main architecture's catalog are the report's own.
void TakeSigner(const PackageReport& signer, PackageReport& report) {
  report.signedBy = signer.signedBy;
  report.signedUntil = signer.signedUntil;
  report.timestamped = signer.timestamped;
  report.signature = signer.signature;
  report.trusted = signer.trusted;
  report.trustedPublisher = signer.trustedPublisher;
  report.osCovered = signer.osCovered;
  report.osAttr = signer.osAttr;
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
    Add(report, "no-catalog", true, infName,
        infName + " names no CatalogFile: 64-bit Windows refuses an unsigned package (ERROR_NO_CATALOG_FOR_OEM_INF)");
  } else {
    verdict = &reads.Catalog(*entry.catalog);
    entry.signature = verdict->signer.signature;
    for (const Finding& finding : verdict->signer.findings) report.findings.push_back(finding);
    if (arch == context.catalogArch) {
      report.catalog = entry.catalog;
      TakeSigner(verdict->signer, report);
    }
  }
  std::vector<ListedFile> listed = ListedFiles(inf, arch);
  CheckFile(reads, ListedFile{infName, infName, false, std::string(), true, false}, verdict, report);
  for (const ListedFile& file : listed) CheckFile(reads, file, verdict, report);
  if (entry.section && entry.hasId) CheckCopied(inf, *entry.section, arch, hardwareId, listed, report);
  report.architectures.push_back(std::move(entry));
}

// The findings of the package as a whole: its Version section and names.
void CheckInf(const InfDocument& inf, const std::string& infName, PackageReport& report) {
  if (!ValidInfSignature(inf))
    Add(report, "inf-signature-invalid", true, infName,
        infName + " has no Signature of $Windows NT$ or $Chicago$ in [Version]: Windows takes it for no INF file");
  std::vector<std::string> said;
  for (const std::string& section : inf.SectionNames()) {
    if (!EqualIgnoringCase(section, "SourceDisksFiles") &&
        !EqualIgnoringCase(std::string_view(section).substr(0, 17), "SourceDisksFiles."))
      continue;
    for (const InfLine& line : *inf.Section(section)) {
      if (!line.keyFromToken || std::find(said.begin(), said.end(), *line.key) != said.end()) continue;
      said.push_back(*line.key);
      Add(report, "strkey-file-name", false, *line.key,
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
  Add(report, "downgrade", false, infName,
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
  report.judgedFor = context.counted;
  CheckInf(inf, infName, report);
  CPackageReads reads(folder, infName, context);
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
  return report;
}

}  // namespace varnoll::package
