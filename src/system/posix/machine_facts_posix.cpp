// Linux is no Windows machine: neither its architecture nor a build counts.
#include "machine_facts.h"

namespace varnoll {

MachineFacts ReadMachineFacts() { return MachineFacts(); }

std::optional<WindowsVersion> ReadWindowsVersion() { return std::nullopt; }

}  // namespace varnoll
