#include "hardware_id.h"

#include "ansi_text.h"
#include "logical_line.h"

namespace varnoll {

namespace {

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
  const std::string_view id =
      std::string_view(modelLine).substr(start, end == std::string::npos ? std::string::npos : end - start);
  hardwareId = std::string(Trim(id));
  return true;
}

bool Fail(SkipReason reason, SkipReason* why) {
  if (why) *why = reason;
  return false;
}

}  // namespace

const char* SkipReasonName(SkipReason why) {
  switch (why) {
    case SkipReason::kUnreadable:
      return "unreadable";
    case SkipReason::kNoMarker:
      return "no-marker";
    case SkipReason::kNoModelLine:
      return "no-model-line";
    case SkipReason::kNoComma:
      return "no-comma";
    case SkipReason::kNoVen:
      return "no-ven";
  }
  return "";
}

bool HoldsSectionMarker(const std::string& line) {
  std::string upper;
  return HoldsSectionMarker(line, upper);
}

CModelSectionReader::CModelSectionReader(const std::string& infPath) : stream_(infPath.c_str()) {}

bool CModelSectionReader::FindModelHardwareId(std::string& hardwareId, SkipReason* why) {
  if (!stream_.IsOpen()) return Fail(SkipReason::kUnreadable, why);
  std::string upper;
  // Every marker ends with ']'; lines without one are passed over unbuilt.
  while (ReadLogicalLineContaining(line_, stream_, ']')) {
    if (!HoldsSectionMarker(line_, upper)) continue;
    // Only the first marked line counts: the model line right after it
    // decides the file's outcome.
    if (!ReadLogicalLine(line_, stream_)) return Fail(SkipReason::kNoModelLine, why);
    return ParseModelLine(line_, hardwareId) || Fail(SkipReason::kNoComma, why);
  }
  return Fail(SkipReason::kNoMarker, why);
}

bool CModelSectionReader::NextLineOfSection(std::string& line) {
  return ReadLogicalLine(line, stream_) && line.front() != '[';
}

bool FindModelHardwareId(const std::string& infPath, std::string& hardwareId, SkipReason* why) {
  return CModelSectionReader(infPath).FindModelHardwareId(hardwareId, why);
}

}  // namespace varnoll
