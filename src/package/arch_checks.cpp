#include "arch_checks.h"

#include "copied_files.h"
#include "names.h"

#include <algorithm>
#include <tuple>

namespace varnoll::package {

namespace {

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
    AddFinding(report, "line-endings-changed", true, name,
        name + ": line endings changed after signing (CRLF -> LF, as git does): restore CRLF");
    return true;
  }
  if (InCatalog(catalog, HashPackageFile(native, sha1, sha256, LineEndings::kLf))) {
    AddFinding(report, "line-endings-changed", true, name, name + ": line endings changed after signing (LF -> CRLF): restore LF");
    return true;
  }
  return false;
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

}  // namespace

void AddFinding(PackageReport& report, const char* code, bool fails, const std::string& file, const std::string& text) {
  report.findings.push_back({code, fails, file, text, {}});
}

bool InCatalog(const Catalog& catalog, const FileHash& hash) {
  return std::any_of(catalog.members.begin(), catalog.members.end(), [&](const CatalogMember& member) {
    if (!member.kind || member.digest.empty()) return false;
    return member.digest == (*member.kind == DigestKind::kSha1 ? hash.sha1 : hash.sha256);
  });
}

void KindsUsed(const Catalog& catalog, bool& sha1, bool& sha256) {
  sha1 = sha256 = false;
  for (const CatalogMember& member : catalog.members) {
    if (member.kind == DigestKind::kSha1) sha1 = true;
    if (member.kind == DigestKind::kSha256) sha256 = true;
  }
}

void JudgeFile(const ListedFile& file, const std::string& native, const FileHash& hash, const Catalog* catalog,
               const std::string& catalogName, PackageFile& entry, PackageReport& report) {
  entry.present = hash.state == FileState::kPresent;
  if (hash.state == FileState::kMissing)
    AddFinding(report, "file-missing", true, file.name, file.name + " is listed but not in the package (" + file.path + ")");
  if (hash.state == FileState::kNotAFile || hash.state == FileState::kUnreadable)
    AddFinding(report, "file-missing", true, file.name,
               file.name + " is listed, but " + file.path + " is not a file that can be read");
  if (catalog == nullptr || !entry.present) return;
  entry.inCatalog = InCatalog(*catalog, hash);
  if (!*entry.inCatalog && (hash.peImage || !LineEndingsChanged(native, file.name, *catalog, report)))
    AddFinding(report, "not-in-catalog", true, file.name, file.name + " is not in " + catalogName + ": changed after signing?");
}

void CheckCopied(const InfDocument& inf, const std::string& modelsSection, Arch arch, const std::string& hardwareId,
                 const std::vector<ListedFile>& listed, PackageReport& report) {
  for (const CopiedFile& copied : CopiedFiles(inf, modelsSection, arch, hardwareId)) {
    const bool found = std::any_of(listed.begin(), listed.end(),
                                   [&](const ListedFile& file) { return SameFileName(file.name, copied.source); });
    if (!found)
      AddFinding(report, "file-not-listed", true, copied.source,
          copied.source + " is copied by [" + copied.section + "] but listed in no [SourceDisksFiles] section for " +
              ArchName(arch) + ": Windows cannot take it from the package");
  }
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
    const WindowsRelease& windows = *context.windows;
    AddFinding(report, "models-need-newer-windows", true, std::string(),
        hardwareId + " is only in [" + first->section + "], for Windows " + first->from + " and later: this Windows (" +
            std::to_string(windows.major) + "." + std::to_string(windows.minor) + "." + std::to_string(windows.build) +
            ") gets no driver from the package");
  } else if (!choice.section) {
    AddFinding(report, "no-models-for-arch", true, std::string(),
        "no models section for " + name + ": the package does not install on " + PlatformWords(arch) +
            " machines (Windows there needs one decorated .NT" + name + " in [Manufacturer])");
  } else if (!choice.hasId) {
    AddFinding(report, "id-not-in-models", true, std::string(),
        hardwareId + " is not in [" + *choice.section + "], which Windows uses on " + name);
  } else if (!context.windows && first != nullptr && !ModelsFor(inf, arch, hardwareId, OldestWindows(arch)).hasId) {
    AddFinding(report, "models-need-newer-windows", false, std::string(),
        "on " + name + ", Windows before " + first->from + " gets no driver: " + hardwareId + " is first in [" +
            first->section + "]");
  }
}


}  // namespace varnoll::package
