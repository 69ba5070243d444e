// The machine's settings as the registry holds them (Windows' side, and the
// tests' stand-in on Linux): every key is opened for reading only, in the
// 64-bit view, so that an x86 tool on x64 Windows sees what Windows itself
// reads. A key or value that is missing or cannot be read counts as not set.
#pragma once

#include "device_policy.h"
#include "restart_signals.h"

namespace varnoll::machine {

// HKLM\SOFTWARE\Policies\Microsoft\Windows\DeviceInstall\Restrictions.
constexpr const char kRestrictionsKey[] =
    "SOFTWARE\\Policies\\Microsoft\\Windows\\DeviceInstall\\Restrictions";

DevicePolicy ReadDevicePolicy();
RestartSignals ReadRestartSignals();

}  // namespace varnoll::machine
