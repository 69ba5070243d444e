#include "restart_signals.h"

namespace varnoll::machine {

namespace {

struct Signal {
  bool RestartSignals::*seen;
  const char* code;
  const char* words;
};

constexpr Signal kSignals[] = {
    {&RestartSignals::servicing, "component-based-servicing", "Component Based Servicing RebootPending"},
    {&RestartSignals::windowsUpdate, "windows-update", "Windows Update RebootRequired"},
    {&RestartSignals::fileRenames, "pending-file-renames", "PendingFileRenameOperations"},
};

}  // namespace

std::vector<std::string> RestartSignals::Codes() const {
  std::vector<std::string> codes;
  for (const Signal& signal : kSignals) {
    if (this->*signal.seen) codes.emplace_back(signal.code);
  }
  return codes;
}

std::string RestartSignals::Words() const {
  std::string words;
  for (const Signal& signal : kSignals) {
    if (this->*signal.seen) words += (words.empty() ? "" : ", ") + std::string(signal.words);
  }
  return words;
}

}  // namespace varnoll::machine
