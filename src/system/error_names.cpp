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

namespace {

// The configuration manager's problem codes (cfgmgr32.h CM_PROB_*), with
// the meaning Device Manager gives each ("Device Manager error messages").
struct Problem {
  unsigned long code;
  const char* name;
  const char* meaning;
};

constexpr Problem kProblems[] = {
    {1, "CM_PROB_NOT_CONFIGURED", "the device is not configured correctly"},
    {2, "CM_PROB_DEVLOADER_FAILED", "the device loader failed"},
    {3, "CM_PROB_OUT_OF_MEMORY", "the driver may be corrupted, or the system is low on memory"},
    {4, "CM_PROB_ENTRY_IS_WRONG_TYPE", "a driver or registry entry is of the wrong type"},
    {5, "CM_PROB_LACKED_ARBITRATOR", "the driver asks for a resource Windows cannot manage"},
    {6, "CM_PROB_BOOT_CONFIG_CONFLICT", "the boot configuration conflicts with another device"},
    {7, "CM_PROB_FAILED_FILTER", "a filter driver failed"},
    {8, "CM_PROB_DEVLOADER_NOT_FOUND", "the device loader is missing"},
    {9, "CM_PROB_INVALID_DATA", "the firmware reports the device's resources wrongly"},
    {10, "CM_PROB_FAILED_START", "the device cannot start"},
    {11, "CM_PROB_LIAR", "the device failed"},
    {12, "CM_PROB_NORMAL_CONFLICT", "not enough free resources for the device"},
    {13, "CM_PROB_NOT_VERIFIED", "Windows cannot verify the device's resources"},
    {14, "CM_PROB_NEED_RESTART", "the device works only after the computer restarts"},
    {15, "CM_PROB_REENUMERATION", "a resource conflict"},
    {16, "CM_PROB_PARTIAL_LOG_CONF", "Windows cannot identify all the device's resources"},
    {17, "CM_PROB_UNKNOWN_RESOURCE", "the driver asks for an unknown resource type"},
    {18, "CM_PROB_REINSTALL", "the drivers must be reinstalled"},
    {19, "CM_PROB_REGISTRY", "the device's registry configuration is incomplete or damaged"},
    {20, "CM_PROB_VXDLDR", "a virtual device loader failed"},
    {21, "CM_PROB_WILL_BE_REMOVED", "Windows is removing the device"},
    {22, "CM_PROB_DISABLED", "the device is disabled"},
    {23, "CM_PROB_DEVLOADER_NOT_READY", "the device loader is not ready"},
    {24, "CM_PROB_DEVICE_NOT_THERE", "the device is not present, not working, or not all its drivers are installed"},
    {25, "CM_PROB_MOVED", "Windows is still setting up the device"},
    {26, "CM_PROB_TOO_EARLY", "Windows is still setting up the device"},
    {27, "CM_PROB_NO_VALID_LOG_CONF", "Windows cannot specify the device's resources"},
    {28, "CM_PROB_FAILED_INSTALL", "the device's drivers are not installed"},
    {29, "CM_PROB_HARDWARE_DISABLED", "the firmware did not give the device resources"},
    {30, "CM_PROB_CANT_SHARE_IRQ", "the device's interrupt cannot be shared"},
    {31, "CM_PROB_FAILED_ADD", "Windows cannot load the drivers the device needs"},
    {32, "CM_PROB_DISABLED_SERVICE", "the driver's service is disabled"},
    {33, "CM_PROB_TRANSLATION_FAILED", "Windows cannot determine which resources the device needs"},
    {34, "CM_PROB_NO_SOFTCONFIG", "the device must be configured by hand"},
    {35, "CM_PROB_BIOS_TABLE", "the firmware lacks information for the device"},
    {36, "CM_PROB_IRQ_TRANSLATION_FAILED", "an interrupt request failed"},
    {37, "CM_PROB_FAILED_DRIVER_ENTRY", "the driver failed to initialise"},
    {38, "CM_PROB_DRIVER_FAILED_PRIOR_UNLOAD", "a previous instance of the driver is still in memory"},
    {39, "CM_PROB_DRIVER_FAILED_LOAD", "the driver is corrupted or missing"},
    {40, "CM_PROB_DRIVER_SERVICE_KEY_INVALID", "the driver's service key is missing or wrong"},
    {41, "CM_PROB_LEGACY_SERVICE_NO_DEVICES", "the driver loaded but finds no device"},
    {42, "CM_PROB_DUPLICATE_DEVICE", "a duplicate device is already running"},
    {43, "CM_PROB_FAILED_POST_START", "Windows stopped the device because it reported problems"},
    {44, "CM_PROB_HALTED", "an application or service shut the device down"},
    {45, "CM_PROB_PHANTOM", "the device is not connected"},
    {46, "CM_PROB_SYSTEM_SHUTDOWN", "Windows is shutting down"},
    {47, "CM_PROB_HELD_FOR_EJECT", "the device was prepared for safe removal"},
    {48, "CM_PROB_DRIVER_BLOCKED", "the driver is blocked from starting because of known problems"},
    {49, "CM_PROB_REGISTRY_TOO_LARGE", "the system hive is too large"},
    {50, "CM_PROB_SETPROPERTIES_FAILED", "Windows cannot apply all the device's properties"},
    {51, "CM_PROB_WAITING_ON_DEPENDENCY", "the device waits for another device to start"},
    {52, "CM_PROB_UNSIGNED_DRIVER", "Windows cannot verify the digital signature of the drivers: a signing problem"},
    {53, "CM_PROB_USED_BY_DEBUGGER", "the device is reserved for the kernel debugger"},
    {54, "CM_PROB_DEVICE_RESET", "the device failed and is being reset"},
    {55, "CM_PROB_CONSOLE_LOCKED", "the device is blocked while the console is locked"},
    {56, "CM_PROB_NEED_CLASS_CONFIG", "the device needs its class's configuration to start"},
    {57, "CM_PROB_GUEST_ASSIGNMENT_FAILED", "assigning the device to a guest partition failed"},
};

const Problem* FindProblem(unsigned long problem) {
  for (const Problem& entry : kProblems) {
    if (entry.code == problem) return &entry;
  }
  return nullptr;
}

}  // namespace

const char* ProblemName(unsigned long problem) {
  const Problem* entry = FindProblem(problem);
  return entry ? entry->name : nullptr;
}

const char* ProblemMeaning(unsigned long problem) {
  const Problem* entry = FindProblem(problem);
  return entry ? entry->meaning : nullptr;
}

}  // namespace varnoll
