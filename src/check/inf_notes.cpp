#include "inf_notes.h"

#include "hardware_id.h"
#include "inf_text_stream.h"
#include "logical_line.h"
#include "platform_api.h"
#include "report_format.h"
#include "unique_handle.h"

#include <vector>

namespace varnoll::check {

namespace {

std::string Sentence(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    text += text.empty() ? part : "; " + part;
  }
  if (text.empty()) return text;
  if (text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text + ".";
}

std::string Why(const std::string& infPath, const std::optional<SkipReason>& skipped,
                const std::optional<std::string>& hardwareId) {
  if (!skipped) return std::string();
  switch (*skipped) {
    case SkipReason::kUnreadable:
      return "the file cannot be opened for reading (a folder, locked by another program, or gone)";
    case SkipReason::kNoMarker:
      if (LooksLikeUtf16(infPath)) {
        return "the file is stored as UTF-16, which the installer does not read: save it as ANSI";
      }
      return "no line holds \"F_MODEM]\", \"GENERIC]\" or \"TARVELIX]\" (in any case), so there is no "
             "models section the installer knows";
    case SkipReason::kNoModelLine:
      return "the marked line is the last line of the file: no model line follows it";
    case SkipReason::kNoComma:
      return "the line after the marked one has no comma, so it names no hardware ID";
    case SkipReason::kNoVen:
      break;
  }
  if (hardwareId && hardwareId->empty()) return "the model line has nothing after its first comma";
  return "the hardware ID lacks \"VEN_\" (upper case), so the installer leaves the file alone";
}

// The first %token% in `id`, or empty: a [Strings] key that Windows would
// replace in an INF it installs, but that the installer takes literally.
std::string StringToken(const std::string& id) {
  const size_t open = id.find('%');
  if (open == std::string::npos) return std::string();
  const size_t close = id.find('%', open + 1);
  if (close == std::string::npos || close == open + 1) return std::string();
  return id.substr(open, close - open + 1);
}

}  // namespace

bool LooksLikeUtf16(const std::string& infPath) {
  UniqueFileHandle file(CreateFileA(infPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  unsigned char start[512];
  DWORD got = 0;
  if (!ReadFile(file.Get(), start, sizeof start, &got, nullptr) || got < 2) return false;
  if ((start[0] == 0xFF && start[1] == 0xFE) || (start[0] == 0xFE && start[1] == 0xFF)) return true;
  DWORD zeroEven = 0;
  DWORD zeroOdd = 0;
  for (DWORD i = 0; i < got; ++i) (i % 2 ? zeroOdd : zeroEven) += start[i] == 0;
  // ASCII text in UTF-16 has a zero in every other byte.
  return got >= 8 && (zeroOdd * 4 >= got * 3 / 2 || zeroEven * 4 >= got * 3 / 2);
}

int CountFurtherModelLines(const std::string& infPath) {
  InfTextStream stream(infPath.c_str());
  if (!stream.IsOpen()) return 0;
  std::string line;
  while (ReadLogicalLine(line, stream)) {
    if (!HoldsSectionMarker(line)) continue;
    if (!ReadLogicalLine(line, stream)) return 0;
    int further = 0;
    while (ReadLogicalLine(line, stream) && line.front() != '[') {
      if (line.find('=') != std::string::npos) ++further;
    }
    return further;
  }
  return 0;
}

std::string NoteFor(const std::string& infPath, const std::optional<SkipReason>& skipped,
                    const std::optional<std::string>& hardwareId) {
  std::vector<std::string> parts{Why(infPath, skipped, hardwareId)};
  const std::string token = hardwareId ? StringToken(*hardwareId) : std::string();
  if (!token.empty()) {
    parts.push_back("the ID holds " + token +
                    ", a token of the [Strings] section, which the installer passes as it stands, so it matches "
                    "no device");
  }
  if (!skipped || *skipped == SkipReason::kNoVen) {
    const int further = CountFurtherModelLines(infPath);
    if (further > 0) {
      parts.push_back(Decimal(further) + (further == 1 ? " further model line follows" : " further model lines follow") +
                      " in the marked section; the installer tries only the first");
    }
  }
  return Sentence(parts);
}

}  // namespace varnoll::check
