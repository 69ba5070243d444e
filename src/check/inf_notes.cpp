#include "inf_notes.h"

#include "report_format.h"

#include "ascii.h"
#include "short_names.h"

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
  text[0] = UpperAscii(text[0]);
  return text + ".";
}

// "F_MODEM]", "GENERIC]" or "TARVELIX]", as the reader knows them.
std::string MarkerList() {
  std::string list;
  const size_t count = std::size(kSectionMarkers);
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) list += i + 1 == count ? " or " : ", ";
    list += std::string("\"") + kSectionMarkers[i] + "\"";
  }
  return list;
}

std::string Why(SkipReason why, bool utf16, const std::optional<std::string>& hardwareId) {
  switch (why) {
    case SkipReason::kUnreadable:
      return "the file cannot be opened for reading (a folder, locked by another program, or gone)";
    case SkipReason::kNoMarker:
      if (utf16) return "the file is stored as UTF-16, which the installer does not read: save it as ANSI";
      return "no line holds " + MarkerList() +
             " (in any case), so there is no models section the installer knows";
    case SkipReason::kNoModelLine:
      return "the marked line is the last line of the file: no model line follows it";
    case SkipReason::kNoComma:
      return "the line after the marked one has no comma, so it names no hardware ID";
    case SkipReason::kNoVen:
      if (hardwareId && hardwareId->empty()) return "the model line has nothing after its first comma";
      return "the hardware ID lacks \"VEN_\" (upper case), so the installer leaves the file alone";
  }
  return std::string();
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

// From one more read of the file: its first bytes and, for a file that has a
// hardware ID, the rest of its marked section.
struct FileFacts {
  bool utf16 = false;
  int furtherModelLines = 0;  // lines with '=' after the model line, in its section
};

FileFacts ReadFacts(const std::string& infPath, bool hasHardwareId) {
  FileFacts facts;
  CModelSectionReader reader(infPath);
  facts.utf16 = LooksLikeUtf16(reader.Start());
  std::string line;
  if (!hasHardwareId || !reader.FindModelHardwareId(line, nullptr)) return facts;
  while (reader.NextLineOfSection(line)) {
    if (line.find('=') != std::string::npos) ++facts.furtherModelLines;
  }
  return facts;
}

}  // namespace

void AddToNote(std::string& note, const std::string& part) {
  if (!note.empty() && note.back() == '.') note.pop_back();
  note = Sentence({note, part});
}

bool LooksLikeUtf16(std::string_view start) {
  start = start.substr(0, 512);
  const size_t got = start.size();
  if (got < 2) return false;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(start[i]); };
  if ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF)) return true;
  size_t zeroEven = 0;
  size_t zeroOdd = 0;
  for (size_t i = 0; i < got; ++i) (i % 2 ? zeroOdd : zeroEven) += byte(i) == 0;
  // ASCII text in UTF-16 has a zero in every other byte.
  return got >= 8 && (zeroOdd * 4 >= got * 3 / 2 || zeroEven * 4 >= got * 3 / 2);
}

bool MatchesOnlyThroughShortName(const std::string& name) { return varnoll::MatchesOnlyThroughShortName(name, "*.inf"); }

std::string NoteFor(const std::string& infName, const std::string& infPath, const FileReport& file,
                    const StoreLookup& lookup) {
  const FileFacts facts = ReadFacts(infPath, file.hardwareId.has_value());
  const SkipReason* why = std::get_if<SkipReason>(&file.outcome);
  std::vector<std::string> parts{why ? Why(*why, facts.utf16, file.hardwareId) : std::string()};
  const std::string token = file.hardwareId ? StringToken(*file.hardwareId) : std::string();
  if (!token.empty()) {
    parts.push_back(
        "the ID holds " + token +
        ", a token of the [Strings] section, which the installer passes as it stands, so it matches "
        "no device");
  }
  if (facts.furtherModelLines > 0) {
    const int further = facts.furtherModelLines;
    parts.push_back(Decimal(further) +
                    (further == 1 ? " further model line follows" : " further model lines follow") +
                    " in the marked section; the installer tries only the first");
  }
  if (file.Qualifies() && !file.sha256) {
    parts.push_back("the file could not be read again to compare it with the driver store");
  }
  if (lookup.changedWhileCompared) {
    parts.push_back(
        "the file changed while it was compared with the driver store, so whether its copy is "
        "there is not known: check again");
  }
  if (!lookup.unreadable.empty()) {
    parts.push_back(Decimal(static_cast<long long>(lookup.unreadable.size())) +
                    " file(s) of the same size in the system INF folder could not be read (first: " +
                    lookup.unreadable.front() + "), so the copy may be among them");
  }
  if (!lookup.otherNames.empty()) {
    parts.push_back("the system INF folder also holds its bytes as " + lookup.otherNames.front() +
                    ": a copy under another name, not a published package, so it does not count");
  }
  if (MatchesOnlyThroughShortName(infName)) {
    parts.push_back(
        "Windows lists this file for \"*.inf\" through its 8.3 short name only; on a volume without "
        "8.3 names the installer would not see it");
  }
  return Sentence(parts);
}

}  // namespace varnoll::check
