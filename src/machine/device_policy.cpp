#include "device_policy.h"

#include "ascii.h"

#include <algorithm>

namespace varnoll::machine {

namespace {

// The first entry of `list` equal to one of `candidates`, ignoring case.
std::optional<std::string> FirstMatch(const PolicyList& list, const std::vector<std::string>& candidates) {
  if (!list.enabled) return std::nullopt;
  for (const std::string& entry : list.entries) {
    for (const std::string& candidate : candidates) {
      if (EqualIgnoringCase(entry, candidate)) return candidate;
    }
  }
  return std::nullopt;
}

std::vector<std::string> Optional(const std::optional<std::string>& value) {
  return value ? std::vector<std::string>{*value} : std::vector<std::string>{};
}

// One layer of the hierarchy: what it lists, and what of the subject it
// compares with that.
struct Layer {
  const char* deny;
  const char* allow;
  const PolicyList* denyList;
  const PolicyList* allowList;
  std::vector<std::string> candidates;
};

std::vector<Layer> Layers(const DevicePolicy& policy, const PolicySubject& subject) {
  // Microsoft's hierarchy, most specific first: device instance IDs, device
  // IDs (every hardware and compatible ID), device setup class.
  return {
      {"DenyInstanceIDs", "AllowInstanceIDs", &policy.denyInstanceIds, &policy.allowInstanceIds,
       Optional(subject.instanceId)},
      {"DenyDeviceIDs", "AllowDeviceIDs", &policy.denyDeviceIds, &policy.allowDeviceIds, subject.ids},
      {"DenyDeviceClasses", "AllowDeviceClasses", &policy.denyClasses, &policy.allowClasses,
       Optional(subject.classGuid)},
  };
}

PolicyVerdict Blocked(const char* value, std::string matched, bool retroactive) {
  PolicyVerdict verdict;
  verdict.blocked = true;
  verdict.value = value;
  verdict.matched = std::move(matched);
  verdict.retroactive = retroactive;
  return verdict;
}

// Without the layered order every Deny comes before every Allow, and the
// Allow lists only matter when DenyUnspecified is set.
PolicyVerdict JudgeDefault(const DevicePolicy& policy, const std::vector<Layer>& layers, bool removable) {
  for (const Layer& layer : layers) {
    if (const auto match = FirstMatch(*layer.denyList, layer.candidates))
      return Blocked(layer.deny, *match, layer.denyList->retroactive);
  }
  if (removable) return Blocked("DenyRemovableDevices", "removable device", false);
  if (!policy.denyUnspecified) return PolicyVerdict();
  for (const Layer& layer : layers) {
    if (FirstMatch(*layer.allowList, layer.candidates)) return PolicyVerdict();
  }
  return Blocked("DenyUnspecified", std::string(), false);
}

// With it, the first layer that lists the device decides, and within a
// layer Deny comes before Allow. DenyUnspecified is ignored then.
// The last layer, removable devices, has a Deny only.
PolicyVerdict JudgeLayered(const std::vector<Layer>& layers, bool removable) {
  for (const Layer& layer : layers) {
    if (const auto match = FirstMatch(*layer.denyList, layer.candidates))
      return Blocked(layer.deny, *match, layer.denyList->retroactive);
    if (FirstMatch(*layer.allowList, layer.candidates)) return PolicyVerdict();
  }
  return removable ? Blocked("DenyRemovableDevices", "removable device", false) : PolicyVerdict();
}

}  // namespace

std::vector<std::string> DevicePolicy::ValuesSet() const {
  const std::pair<const char*, bool> values[] = {
      {"AllowDenyLayered", layered},
      {"DenyUnspecified", denyUnspecified},
      {"AllowAdminInstall", allowAdminInstall},
      {"DenyRemovableDevices", denyRemovable},
      {"DenyInstanceIDs", denyInstanceIds.enabled},
      {"AllowInstanceIDs", allowInstanceIds.enabled},
      {"DenyDeviceIDs", denyDeviceIds.enabled},
      {"AllowDeviceIDs", allowDeviceIds.enabled},
      {"DenyDeviceClasses", denyClasses.enabled},
      {"AllowDeviceClasses", allowClasses.enabled},
  };
  std::vector<std::string> names;
  for (const auto& [name, set] : values) {
    if (set) names.emplace_back(name);
  }
  return names;
}

PolicyVerdict Judge(const DevicePolicy& policy, const PolicySubject& subject) {
  const std::vector<Layer> layers = Layers(policy, subject);
  // A device whose removability is not known is not judged removable.
  const bool removable = policy.denyRemovable && subject.removable.value_or(false);
  PolicyVerdict verdict =
      policy.layered ? JudgeLayered(layers, removable) : JudgeDefault(policy, layers, removable);
  // Microsoft documents AllowAdminInstall for administrators using the Add
  // Hardware and Update Driver wizards; an unattended installer calls the
  // update function itself, so the block is reported, with the setting
  // named beside it, rather than assumed lifted.
  verdict.adminOverride = verdict.blocked && policy.allowAdminInstall;
  return verdict;
}

std::string BlockWords(const PolicyVerdict& verdict) {
  if (!verdict.blocked) return std::string();
  std::string words = "blocked by device-installation policy (" + verdict.value;
  words += verdict.matched.empty() ? std::string(": nothing allows it") : ": " + verdict.matched;
  words += ")";
  if (verdict.retroactive) words += ", also applied to installed devices";
  if (verdict.adminOverride)
    words +=
        "; AllowAdminInstall is set, which Microsoft documents for the Add Hardware and Update Driver "
        "wizards only";
  return words;
}

}  // namespace varnoll::machine
