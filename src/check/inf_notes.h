// What the check tool tells a person about one INF file, beyond the
// installer's own verdict: why it found nothing, and what real INF files
// often hold that the installer does not look at.
#pragma once

#include "check_report.h"
#include "driver_store.h"

#include <string>
#include <string_view>

namespace varnoll::check {

// One sentence (or empty) for the INF file `infName` at `infPath`, given what
// the pass made of it (`file`'s outcome and hardware ID) and what looking for
// its copy in the driver store came to. Reads the file once more, with the
// installer's own reader; never writes it.
std::string NoteFor(const std::string& infName, const std::string& infPath, const FileReport& file,
                    const StoreLookup& lookup);

// Adds `part` (lower-case words, no full stop) to the sentence `note`.
void AddToNote(std::string& note, const std::string& part);

// Whether `start`, the first bytes of a file, look like UTF-16 text: a
// byte-order mark, or every other byte zero.
bool LooksLikeUtf16(std::string_view start);

// Whether Windows lists `name` for "*.inf" only through its 8.3 short name
// (model.infx is MODEL~1.INF): its extension starts with "inf" and is
// longer. A volume without 8.3 names does not list it.
bool MatchesOnlyThroughShortName(const std::string& name);

}  // namespace varnoll::check
