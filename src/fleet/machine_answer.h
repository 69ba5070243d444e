// What one machine answered, read from what its deployment tool or its
// admin collected: a summary line, a full JSON report or a copied
// setupapi.dev.log.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnoll::fleet {

struct MachineAnswer {
  std::string verdict;  // the summary line's "verdict", or "logged" for a setup log
  std::string cause;    // its "cause", or what the log's last call did
  std::optional<std::string> driver;  // the driver in use, where the cause names one
  std::optional<long long> problem;   // the cause's problem code
  bool truncated = false;             // the line dropped detail to fit
};

// The last line of `output` that holds anything, read as the check tool's
// summary line. False, with `why` for a person ("not a summary line",
// "summary line cut short", "not UTF-8", "no output"), when it is none.
bool ReadSummaryOutput(std::string_view output, MachineAnswer& answer, std::string& why);

// A whole file's text: a summary line or a full JSON report (--json).
bool ReadJsonAnswer(std::string_view text, MachineAnswer& answer, std::string& why);

// A copied setupapi.dev.log: what the last logged call of the installer's
// kinds did. A log cannot say whether the package is in place.
bool ReadLogAnswer(const std::string& path, MachineAnswer& answer, std::string& why);

}  // namespace varnoll::fleet
