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

// The architecture of one of those names, without regard to case.
std::optional<Arch> ArchNamed(const std::string& name);

// The catalog Windows takes for `arch`: CatalogFile.NT<arch>, else
// CatalogFile.NT, else CatalogFile; none when the INF names none.
std::optional<std::string> CatalogFileFor(const InfDocument& inf, Arch arch);

struct ListedFile {
  std::string name;  // as the INF lists it
  std::string path;  // relative to the INF's folder, '\'-separated
  bool outside = false;  // the path leads out of the package folder
  std::string disk;  // the disk ID as written
  bool diskDefined = true;  // a [SourceDisksNames] section Windows reads defines the disk
  bool nameFromToken = false;  // the name was a %strkey% token
};

// The files Windows on `arch` finds, each once, in the INF's order: the
// entries of [SourceDisksFiles.<arch>], then those of [SourceDisksFiles]
// for names the platform section does not list; each where its disk's
// path ([SourceDisksNames.<arch>] first, then [SourceDisksNames]) and its
// subdirectory put it. Windows reads the platform section first, line by
// line (INF SourceDisksFiles and SourceDisksNames sections).
std::vector<ListedFile> ListedFiles(const InfDocument& inf, Arch arch);

// `relative` (a name the INF gives, '\' or '/' separated) normalised to a
// '\'-separated path inside the INF's folder; false when it leads out.
bool JoinInsideFolder(const std::string& relative, std::string& path);

// Whether [Version] Signature is one Windows accepts: $Windows NT$ or
// $Chicago$, without regard to case (INF Version section).
bool ValidInfSignature(const InfDocument& inf);

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
