// Finds the hardware ID an INF file installs.
#pragma once

#include "inf_text_stream.h"

#include <string>
#include <string_view>

namespace varnoll {

// Why an INF file gives the installer nothing to install. The reader finds
// the first four; the pass adds kNoVen. Every switch over it names each
// value, so a new reason is one edit here and a warning wherever it is not
// yet handled.
enum class SkipReason {
  kUnreadable,   // the file could not be opened (missing, locked, a folder)
  kNoMarker,     // no logical line holds a section marker
  kNoModelLine,  // the marked line is the last logical line
  kNoComma,      // the line after the marked one has no comma
  kNoVen,        // the hardware ID (possibly empty) lacks "VEN_"
};

// The reason's name, as the tools print it: "unreadable", "no-marker",
// "no-model-line", "no-comma", "no-ven".
const char* SkipReasonName(SkipReason why);

// The section markers, tested in this order in an upper-cased logical line.
inline constexpr const char* kSectionMarkers[] = {"F_MODEM]", "GENERIC]", "TARVELIX]"};

// Whether a logical line holds one of the section markers, in any case.
bool HoldsSectionMarker(const std::string& line);

// The installer's walk through one INF file: up to the first logical line
// that holds a section marker, then the model line after it. The installer
// stops there; the check tool may read on through the marked section.
class CModelSectionReader {
 public:
  // Opens `infPath` for reading only, sharing it with every other process.
  explicit CModelSectionReader(const std::string& infPath);

  // The raw bytes at the start of the file (up to one read block), before
  // any line is read; empty for a file that could not be opened or is empty.
  std::string_view Start() { return stream_.Peek(); }

  // Reads to the model line and takes the hardware ID from it: the text
  // after its first comma, up to the next comma or semicolon, trimmed.
  // Returns true with `hardwareId` set (possibly empty) when that line has a
  // comma. Otherwise returns false, leaves `hardwareId` untouched, and sets
  // `why` when it is not null.
  bool FindModelHardwareId(std::string& hardwareId, SkipReason* why);

  // After a hardware ID was found: the next logical line of the marked
  // section. False at the next section header or at the end of the file.
  bool NextLineOfSection(std::string& line);

 private:
  InfTextStream stream_;
  std::string line_;
};

// Reads the INF file at `infPath` as the installer does, and closes it (see
// CModelSectionReader::FindModelHardwareId).
bool FindModelHardwareId(const std::string& infPath, std::string& hardwareId, SkipReason* why = nullptr);

}  // namespace varnoll
