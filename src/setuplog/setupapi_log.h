// Reading Windows' own device installation log back (setupapi.dev.log in
// the system INF folder): the sections of the calls the installer makes.
// The log is read as a stream, in blocks, so memory does not grow with it.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varnoll::check {

// The two calls of the installer that Windows logs in sections of their own.
enum class LoggedCall {
  kUpdate,   // ">>>  [Device Install (UpdateDriverForPlugAndPlayDevices) - <hardware ID>]"
  kStaging,  // ">>>  [SetupCopyOEMInf - <INF path>]"
};

// One such section, as logged.
struct LoggedRun {
  LoggedCall call = LoggedCall::kUpdate;
  std::string subject;                   // the header's text after " - ": hardware ID or INF path
  std::string time;                      // "Section start" date and time, as logged
  std::optional<std::string> status;     // "SUCCESS", "FAILURE(0xe0000203)"; none: no footer
  std::optional<std::string> error;      // "0xE0000203", when the status says the call failed
  std::string infPath;                   // update: "ndv: INF path:"; staging: the subject
  std::optional<std::string> cmd;        // the "cmd:" line: which program made the call
  std::vector<std::string> devices;      // "{Update Device Driver - <instance>}"
  std::optional<std::string> published;  // the published INF's name (oemN.inf)
  bool restart = false;                  // the section says a restart is needed
  // "[-] <setting>" lines under "The device is explicitly restricted by the
  // following policy settings:": the policy settings that refused it.
  std::vector<std::string> restrictions;
  bool policyBlocked = false;            // "Installation of device is blocked by policy!"
  // The first signature refusal logged: "Catalog signer is untrusted",
  // "Driver package failed signature validation. Error = 0xE0000247".
  std::optional<std::string> signatureProblem;
};

// Reads the log at `path` and hands every section of those two calls to
// `onRun`, in the order logged; a section that has no footer (the log was
// cut, Windows stopped, another section began) is handed on as it is, with
// no status. Stops cleanly at a last line that is not finished. Reads
// UTF-16 logs too. False when the file cannot be opened or read as a file;
// `sections` is then 0. `sections` counts every section header read.
bool ReadSetupLog(const std::string& path, const std::function<void(const LoggedRun&)>& onRun,
                  size_t& sections);

}  // namespace varnoll::check
