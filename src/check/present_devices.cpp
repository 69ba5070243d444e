#include "present_devices.h"

#include <algorithm>

namespace varnoll::check {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool AnyEqual(const std::vector<std::string>& ids, const std::string& hardwareId) {
  return std::any_of(ids.begin(), ids.end(),
                     [&](const std::string& id) { return EqualIgnoringCase(id, hardwareId); });
}

}  // namespace

bool DeviceMatches(const PresentDevice& device, const std::string& hardwareId) {
  return AnyEqual(device.hardwareIds, hardwareId) || AnyEqual(device.compatibleIds, hardwareId);
}

}  // namespace varnoll::check
