// Finds the hardware ID an INF file installs.
#pragma once

#include <string>

namespace varnoll {

// How reading an INF file for its hardware ID ended.
enum class HardwareIdScan {
  kFound,
  kUnreadable,   // the file could not be opened (missing, locked, a folder)
  kNoMarker,     // no logical line holds a section marker
  kNoModelLine,  // the marked line is the last logical line
  kNoComma,      // the line after the marked one has no comma
};

// Reads the INF file at `infPath` up to the first logical line that holds a
// section marker ("F_MODEM]", "GENERIC]" or "TARVELIX]", in any case), and
// takes the hardware ID from the logical line after it: the text after its
// first comma, up to the next comma or semicolon, trimmed. Returns true with
// `hardwareId` set (possibly empty) when that line has a comma; otherwise
// returns false and leaves `hardwareId` untouched.
bool FindModelHardwareId(const std::string& infPath, std::string& hardwareId);

// The same, saying why no hardware ID was found.
HardwareIdScan ScanModelHardwareId(const std::string& infPath, std::string& hardwareId);

// Whether a logical line holds one of the section markers.
bool HoldsSectionMarker(const std::string& line);

}  // namespace varnoll
