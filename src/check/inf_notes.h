// What the check tool tells a person about one INF file, beyond the
// installer's own verdict: why it found nothing, and what real INF files
// often hold that the installer does not look at.
#pragma once

#include "check_report.h"

#include <optional>
#include <string>

namespace varnoll::check {

// One sentence (or empty) for the file at `infPath`, which the pass skipped
// for `skipped` (none: it qualifies), with `hardwareId` (when it yielded one). Reads the file again,
// with the installer's own INF reader; never writes it.
std::string NoteFor(const std::string& infPath, const std::optional<SkipReason>& skipped,
                    const std::optional<std::string>& hardwareId);

// Whether the file starts like UTF-16 text: a byte-order mark, or every
// other byte zero.
bool LooksLikeUtf16(const std::string& infPath);

// How many logical lines with an '=' follow the model line in the first
// marked section, up to the next section header; 0 when there is none.
int CountFurtherModelLines(const std::string& infPath);

}  // namespace varnoll::check
