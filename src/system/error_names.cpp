#include "error_names.h"

#include <charconv>

namespace varnoll {

const char* ErrorName(unsigned long code) {
  static const struct {
    unsigned long code;
    const char* name;
  } kNames[] = {
      {0x00000002, "ERROR_FILE_NOT_FOUND"},
      {0x00000005, "ERROR_ACCESS_DENIED"},
      {0xE0000100, "ERROR_WRONG_INF_STYLE"},
      {0xE0000203, "ERROR_NO_DRIVER_SELECTED"},
      {0xE000020B, "ERROR_NO_SUCH_DEVINST"},
      {0xE0000217, "ERROR_BAD_SERVICE_INSTALLSECT"},
      {0xE0000219, "ERROR_NO_ASSOCIATED_SERVICE"},
      {0xE0000228, "ERROR_NO_COMPAT_DRIVERS"},
      {0xE000022F, "ERROR_NO_CATALOG_FOR_OEM_INF"},
      {0xE0000235, "ERROR_IN_WOW64"},
      {0xE000023C, "ERROR_NOT_AN_INSTALLED_OEM_INF"},
      {0xE000023D, "ERROR_INF_IN_USE_BY_DEVICES"},
      {0xE0000241, "ERROR_AUTHENTICODE_TRUSTED_PUBLISHER"},
      {0xE0000242, "ERROR_AUTHENTICODE_TRUST_NOT_ESTABLISHED"},
      {0xE0000243, "ERROR_AUTHENTICODE_PUBLISHER_NOT_TRUSTED"},
      {0xE0000247, "ERROR_DRIVER_STORE_ADD_FAILED"},
      {0xE0000248, "ERROR_DEVICE_INSTALL_BLOCKED"},
      {0xE0000249, "ERROR_DRIVER_INSTALL_BLOCKED"},
      {0xE000024B, "ERROR_FILE_HASH_NOT_IN_CATALOG"},
      {0x800B0109, "CERT_E_UNTRUSTEDROOT"},
  };
  for (const auto& entry : kNames) {
    if (code == entry.code) return entry.name;
  }
  return nullptr;
}

const char* ErrorName(const std::string& code) {
  if (code.size() < 3 || code[0] != '0' || (code[1] != 'x' && code[1] != 'X')) return nullptr;
  unsigned long value = 0;
  const char* end = code.data() + code.size();
  const std::from_chars_result parsed = std::from_chars(code.data() + 2, end, value, 16);
  if (parsed.ec != std::errc() || parsed.ptr != end) return nullptr;
  return ErrorName(value);
}

const char* ProblemName(unsigned long problem) {
  switch (problem) {
    case 1:
      return "CM_PROB_NOT_CONFIGURED";
    case 3:
      return "CM_PROB_OUT_OF_MEMORY";
    case 10:
      return "CM_PROB_FAILED_START";
    case 12:
      return "CM_PROB_NORMAL_CONFLICT";
    case kProblemNeedRestart:
      return "CM_PROB_NEED_RESTART";
    case 18:
      return "CM_PROB_REINSTALL";
    case 19:
      return "CM_PROB_REGISTRY";
    case 21:
      return "CM_PROB_WILL_BE_REMOVED";
    case 22:
      return "CM_PROB_DISABLED";
    case 24:
      return "CM_PROB_DEVICE_NOT_THERE";
    case 28:
      return "CM_PROB_FAILED_INSTALL";
    case 29:
      return "CM_PROB_HARDWARE_DISABLED";
    case 31:
      return "CM_PROB_FAILED_ADD";
    case 32:
      return "CM_PROB_DISABLED_SERVICE";
    case 37:
      return "CM_PROB_FAILED_DRIVER_ENTRY";
    case 39:
      return "CM_PROB_DRIVER_FAILED_LOAD";
    case 43:
      return "CM_PROB_FAILED_POST_START";
    case 45:
      return "CM_PROB_PHANTOM";
    case 48:
      return "CM_PROB_DRIVER_BLOCKED";
    case 52:
      return "CM_PROB_UNSIGNED_DRIVER";
    default:
      return nullptr;
  }
}

}  // namespace varnoll
