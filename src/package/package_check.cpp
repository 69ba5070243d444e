#include "package_check.h"

#include "der.h"
#include "file_hash.h"
#include "names.h"
#include "signer_check.h"
#include "unique_handle.h"

#include <algorithm>

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

std::string ToNative(const std::string& folder, const std::string& relative) {
  std::string path = relative;
  const char separator = folder.empty() ? '/' : folder.back();
  std::replace(path.begin(), path.end(), '\\', separator);
  return folder + path;
}

void Add(PackageReport& report, const char* code, bool fails, const std::string& file, const std::string& text) {
  report.findings.push_back({code, fails, file, text});
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
std::optional<Catalog> ReadPackageCatalog(const std::string& folder, const std::string& infName,
                                          const std::string& name, PackageReport& report) {
  std::string bytes;
  std::string path;
  if (!JoinInsideFolder(name, path)) {
    Add(report, "outside-package", true, name, "the catalog " + name + " lies outside the package folder");
    return std::nullopt;
  }
  const FileHash probe = HashPackageFile(ToNative(folder, path), false, false);
  if (probe.state == FileState::kMissing) {
    Add(report, "catalog-missing", true, name, infName + " names the catalog " + name + ", which is not in the package");
    return std::nullopt;
  }
  Catalog catalog;
  std::string problem;
  if (ReadCatalogBytes(ToNative(folder, path), kMaxCatalogBytes, bytes, problem) &&
      ReadCatalog(bytes, catalog, problem)) {
    return catalog;
  }
  Add(report, "catalog-unreadable", true, name, name + " is not a catalog Windows can read: " + problem);
  return std::nullopt;
}

void CheckFiles(const std::string& folder, const std::string& infName, const InfDocument& inf,
                const std::optional<Catalog>& catalog, const PackageContext& context, PackageReport& report) {
  std::vector<ListedFile> listed = ListedFiles(inf, {context.catalogArch});
  for (Arch arch : context.arches) {
    for (ListedFile& file : ListedFiles(inf, {arch})) {
      const bool seen = std::any_of(listed.begin(), listed.end(),
                                    [&](const ListedFile& other) { return EqualIgnoringCase(other.path, file.path); });
      if (!seen) listed.push_back(std::move(file));
    }
  }
  listed.insert(listed.begin(), ListedFile{infName, infName, false});
  bool sha1 = false;
  bool sha256 = false;
  if (catalog) KindsUsed(*catalog, sha1, sha256);
  const std::string catalogName = report.catalog.value_or(std::string());
  for (const ListedFile& file : listed) {
    PackageFile entry{file.name, file.path, false, std::nullopt};
    if (file.outside) {
      Add(report, "outside-package", true, file.name, file.name + " is listed at " + file.path + ", outside the package folder; not followed");
      report.files.push_back(entry);
      continue;
    }
    const FileHash hash = HashPackageFile(ToNative(folder, file.path), sha1, sha256);
    entry.present = hash.state == FileState::kPresent;
    if (hash.state == FileState::kMissing)
      Add(report, "file-missing", true, file.name, file.name + " is listed but not in the package (" + file.path + ")");
    if (hash.state == FileState::kNotAFile || hash.state == FileState::kUnreadable)
      Add(report, "file-missing", true, file.name, file.name + " is listed, but " + file.path + " is not a file that can be read");
    if (catalog && entry.present) {
      entry.inCatalog = InCatalog(*catalog, hash);
      if (!*entry.inCatalog)
        Add(report, "not-in-catalog", true, file.name, file.name + " is not in " + catalogName + ": changed after signing?");
    }
    report.files.push_back(entry);
  }
}

void CheckModels(const InfDocument& inf, const std::string& hardwareId, const PackageContext& context,
                 PackageReport& report) {
  for (Arch arch : context.arches) {
    const ModelsChoice choice = ModelsFor(inf, arch, hardwareId);
    report.architectures.push_back({arch, choice.section, choice.hasId});
    const std::string name = ArchName(arch);
    if (!choice.section) {
      Add(report, "no-models-for-arch", true, std::string(),
          "no models section for " + name + ": Windows there needs one decorated .NT" + name + " in [Manufacturer]");
    } else if (!choice.hasId) {
      Add(report, "id-not-in-models", true, std::string(),
          hardwareId + " is not in [" + *choice.section + "], which Windows uses on " + name);
    }
  }
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
  if (ReadSmallFile(folder + infName, 64u << 20, bytes, tooLarge)) inf = ReadInfDocument(DecodeInfText(bytes));
  report.driverVer = DriverVerOf(inf);
  report.catalog = CatalogFileFor(inf, context.catalogArch);
  std::optional<Catalog> catalog;
  if (!report.catalog) {
    Add(report, "no-catalog", true, infName,
        infName + " names no CatalogFile: 64-bit Windows refuses an unsigned package (ERROR_NO_CATALOG_FOR_OEM_INF)");
  } else {
    catalog = ReadPackageCatalog(folder, infName, *report.catalog, report);
    std::string relative;
    if (catalog && JoinInsideFolder(*report.catalog, relative))
      CheckSigner(ToNative(folder, relative), *catalog, inf, hardwareId, context, report);
  }
  CheckFiles(folder, infName, inf, catalog, context, report);
  CheckModels(inf, hardwareId, context, report);
  PutReachLast(report);
  AskWindows(folder + infName, context, report);
  return report;
}

}  // namespace varnoll::package
