#include "hardware_id.h"

#include "ansi_text.h"
#include "inf_text_stream.h"
#include "logical_line.h"

#include <string_view>

namespace varnoll {

namespace {

constexpr const char* kSectionMarkers[] = {"F_MODEM]", "GENERIC]", "TARVELIX]"};

// `upper` is scratch space, kept by the caller so that a file full of
// section headers costs no allocation per line.
bool HoldsSectionMarker(const std::string& line, std::string& upper) {
  // Every marker ends with ']', and upper-casing never makes or removes one,
  // so most lines are settled without converting them.
  if (line.find(']') == std::string::npos) return false;
  upper.assign(line);
  UpperCaseAnsi(upper);
  for (const char* marker : kSectionMarkers) {
    if (upper.find(marker) != std::string::npos) return true;
  }
  return false;
}

// The hardware ID of a model line, or false when it has no comma.
bool ParseModelLine(const std::string& modelLine, std::string& hardwareId) {
  // description = install-section, hardware-id[, compatible-id ...] [; comment]
  const size_t comma = modelLine.find(',');
  if (comma == std::string::npos) return false;
  const size_t start = comma + 1;
  const size_t end = modelLine.find_first_of(",;", start);
  const std::string_view id = std::string_view(modelLine).substr(
      start, end == std::string::npos ? std::string::npos : end - start);
  hardwareId = std::string(Trim(id));
  return true;
}

}  // namespace

bool HoldsSectionMarker(const std::string& line) {
  std::string upper;
  return HoldsSectionMarker(line, upper);
}

HardwareIdScan ScanModelHardwareId(const std::string& infPath, std::string& hardwareId) {
  InfTextStream stream(infPath.c_str());
  if (!stream.IsOpen()) return HardwareIdScan::kUnreadable;
  std::string line;
  std::string upper;
  // Every marker ends with ']'; lines without one are passed over unbuilt.
  while (ReadLogicalLineContaining(line, stream, ']')) {
    if (!HoldsSectionMarker(line, upper)) continue;
    // Only the first marked line counts: the model line right after it
    // decides the file's outcome.
    if (!ReadLogicalLine(line, stream)) return HardwareIdScan::kNoModelLine;
    return ParseModelLine(line, hardwareId) ? HardwareIdScan::kFound : HardwareIdScan::kNoComma;
  }
  return HardwareIdScan::kNoMarker;
}

bool FindModelHardwareId(const std::string& infPath, std::string& hardwareId) {
  return ScanModelHardwareId(infPath, hardwareId) == HardwareIdScan::kFound;
}

}  // namespace varnoll
