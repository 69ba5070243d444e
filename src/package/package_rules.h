// What Windows takes from a driver package's INF, by the rules of the INF
// Version, Manufacturer, SourceDisksNames and SourceDisksFiles sections.
#pragma once

#include "inf_document.h"

#include <optional>
#include <string>
#include <vector>

namespace varnoll::package {

enum class Arch { kX86, kAmd64, kArm64 };

// "x86", "amd64", "arm64".
const char* ArchName(Arch arch);

// The catalog Windows takes for `arch`: CatalogFile.NT<arch>, else
// CatalogFile.NT, else CatalogFile; none when the INF names none.
std::optional<std::string> CatalogFileFor(const InfDocument& inf, Arch arch);

struct ListedFile {
  std::string name;  // as the INF lists it
  std::string path;  // relative to the INF's folder, '\'-separated
  bool outside = false;  // the path leads out of the package folder
};

// Every file of [SourceDisksFiles] and of its variants for `arches`
// (.x86, .amd64, .arm64), each once, in the INF's order, where
// [SourceDisksNames] (or its variant) and the file's subdirectory put it.
std::vector<ListedFile> ListedFiles(const InfDocument& inf, const std::vector<Arch>& arches);

struct ModelsChoice {
  std::optional<std::string> section;  // none: Windows finds no models section for it
  bool hasId = false;
};

// `relative` (a name the INF gives, '\' or '/' separated) normalised to a
// '\'-separated path inside the INF's folder; false when it leads out.
bool JoinInsideFolder(const std::string& relative, std::string& path);

// The models section Windows installs from on `arch`, following the
// [Manufacturer] decorations; `hardwareId` decides between manufacturers
// and is looked for in it (without regard to case).
ModelsChoice ModelsFor(const InfDocument& inf, Arch arch, const std::string& hardwareId);

struct DriverVer {
  std::string date;     // mm/dd/yyyy as written
  std::string version;  // w.x.y.z, or empty
};

// [Version] DriverVer; none when the INF has none.
std::optional<DriverVer> DriverVerOf(const InfDocument& inf);

// Compares two DriverVer values as Windows ranks drivers: date first, then
// version. Negative, zero or positive, like strcmp; an unreadable date is
// the oldest.
int CompareDriverVer(const DriverVer& a, const DriverVer& b);

}  // namespace varnoll::package
