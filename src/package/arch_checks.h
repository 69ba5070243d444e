// The checks of one architecture's files and models sections, for the
// package check (package_check.cpp), which reads the package for them.
#pragma once

#include "catalog.h"
#include "file_hash.h"
#include "package_check.h"

#include <string>
#include <vector>

namespace varnoll::package {

void AddFinding(PackageReport& report, const char* code, bool fails, const std::string& file, const std::string& text);

// Whether the catalog holds the file's hash.
bool InCatalog(const Catalog& catalog, const FileHash& hash);

// Which digests the catalog's members use, so each file is read once for
// just those.
void KindsUsed(const Catalog& catalog, bool& sha1, bool& sha256);

// The findings about one listed file, at `native`, hashed as `hash`,
// against `catalog` (`catalogName`; null without a readable one); fills
// `entry`'s presence and membership.
void JudgeFile(const ListedFile& file, const std::string& native, const FileHash& hash, const Catalog* catalog,
               const std::string& catalogName, PackageFile& entry, PackageReport& report);

// Every file Windows on `arch` copies must be listed for it (INF
// SourceDisksFiles section: a file of a signed package needs an entry).
void CheckCopied(const InfDocument& inf, const std::string& modelsSection, Arch arch, const std::string& hardwareId,
                 const std::vector<ListedFile>& listed, PackageReport& report);

// `entry`'s models section, its candidates, and their findings: for the
// running Windows where `context` names one, else for every Windows.
void CheckModels(const InfDocument& inf, const std::string& hardwareId, Arch arch, const PackageContext& context,
                 ArchModels& entry, PackageReport& report);

}  // namespace varnoll::package
