#include "log_cause.h"

#include <charconv>

namespace varnoll::check {

namespace {

constexpr unsigned long kDeviceInstallBlocked = 0xE0000248;  // ERROR_DEVICE_INSTALL_BLOCKED

unsigned long ErrorCode(const LoggedRun& run) {
  unsigned long code = 0;
  if (!run.error || run.error->size() < 3) return 0;
  const char* digits = run.error->data() + 2;
  const std::from_chars_result parsed =
      std::from_chars(digits, run.error->data() + run.error->size(), code, 16);
  return parsed.ec == std::errc() ? code : 0;
}

std::optional<std::string> PolicyCause(const LoggedRun& run, unsigned long code,
                                       const std::optional<std::string>& policyWords) {
  if (code != kDeviceInstallBlocked && !run.policyBlocked && run.restrictions.empty()) return std::nullopt;
  if (policyWords) return policyWords;
  std::string settings;
  for (const std::string& restriction : run.restrictions)
    settings += (settings.empty() ? "" : "; ") + restriction;
  return "blocked by device-installation policy (" +
         (settings.empty() ? std::string("ERROR_DEVICE_INSTALL_BLOCKED") : settings) + ")";
}

// The signature refusals the setup calls report by their error code.
const char* SigningWords(unsigned long code) {
  switch (code) {
    case 0xE0000242:  // ERROR_AUTHENTICODE_TRUST_NOT_ESTABLISHED
      return "not trusted: publisher not in TrustedPublisher";
    case 0xE0000243:  // ERROR_AUTHENTICODE_PUBLISHER_NOT_TRUSTED
      return "not trusted: the publisher is marked untrusted";
    case 0xE000024B:  // ERROR_FILE_HASH_NOT_IN_CATALOG
      return "not trusted: a file's hash is not in the catalog";
    default:
      return nullptr;
  }
}

}  // namespace

std::optional<std::string> CauseOf(const LoggedRun& run, const std::optional<std::string>& policyWords) {
  const unsigned long code = ErrorCode(run);
  if (std::optional<std::string> policy = PolicyCause(run, code, policyWords)) return policy;
  if (const char* signing = SigningWords(code)) return std::string(signing);
  if (run.signatureProblem && code != 0) return "not trusted: " + *run.signatureProblem;
  if (run.restart && run.status && code == 0)
    return std::string(run.call == LoggedCall::kStaging ? "staged" : "installed") + "; waits for a restart";
  return std::nullopt;
}

}  // namespace varnoll::check
