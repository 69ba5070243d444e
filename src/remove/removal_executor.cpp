#include "removal_executor.h"

#include "ascii.h"
#include "error_names.h"
#include "names.h"

#include <algorithm>

namespace varnoll::remove {

namespace {

// "(error 0x00000005) ERROR_ACCESS_DENIED": the code as Windows prints it,
// then its name when it is a common one, as the check tool tells a logged
// failure.
std::string ErrorText(unsigned long code) {
  const char* name = ErrorName(code);
  return "(error " + HexCode(code) + ")" + (name ? std::string(" ") + name : std::string());
}

}  // namespace

bool CRemovingExecutor::OnQualifyingInf(const std::string& infName, const std::string& infPath,
                                        const std::string&) {
  std::string line;
  InfFingerprint fingerprint;
  StoreLookup lookup;
  if (!FingerprintFile(infPath, fingerprint)) {
    line = Fail("cannot be read, so its copy in the driver store cannot be found");
  } else {
    // Listed anew for each file: an earlier file's removal changed the store.
    lookup = CDriverStore(storeFolder_).FindCopyOf(infPath, fingerprint);
    if (lookup.changedWhileCompared) {
      line = Fail("changed while it was compared with the driver store; nothing was removed");
    } else if (!lookup.copies.empty()) {
      // A package published more than once keeps its bytes under each name.
      for (const std::string& copy : lookup.copies) {
        line += (line.empty() ? "" : "; ") + Remove(infPath, fingerprint, copy);
      }
      if (!lookup.unreadable.empty()) {
        line += "; " + Fail(lookup.unreadable.front() + " could not be read and may be another copy");
      }
    } else if (!lookup.unreadable.empty()) {
      line = Fail("not found in the driver store, but " + lookup.unreadable.front() +
                  " there could not be read and may be its copy; nothing was removed");
    } else {
      line = "not in the driver store: nothing to remove";
    }
  }
  if (!lookup.otherNames.empty()) {
    // Only Windows' own removal may take a file from the system INF folder,
    // and it takes only published packages.
    line += "; " + lookup.otherNames.front() +
            " there has the same bytes but is not a published package: left alone";
  }
  lines_.push_back(infName + ": " + line);
  return false;
}

void CRemovingExecutor::OnSkippedInf(const std::string& infName, const std::string&, SkipReason why,
                             const std::string&) {
  lines_.push_back(infName + ": left alone, as the installer leaves it (" + SkipReasonName(why) + ")");
}

std::string CRemovingExecutor::Remove(const std::string& infPath, const InfFingerprint& fingerprint,
                                      const std::string& published) {
  RemovalCall call;
  if (uninstaller_.CanMoveDevices()) {
    call = uninstaller_.UninstallDriver(storeFolder_ + published);
  } else {
    // Without DiUninstallDriver nothing moves a device to another driver:
    // taking the package from under a running device is a person's call.
    std::string users;
    for (const PresentDevice& device : system_.devices) {
      if (device.driverInf && SameFileName(*device.driverInf, published)) {
        users += (users.empty() ? "" : ", ") + device.instanceId;
      }
    }
    if (!users.empty()) {
      return Fail(published + " left in the driver store: present device " + users +
                  " uses it, and this Windows has no DiUninstallDriver to give it another driver");
    }
    call = ForceDeleteOemInf(published);
  }
  // The store itself says whether the copy is gone, whatever the call said;
  // a copy that cannot be read now may still be there.
  const StoreLookup after = CDriverStore(storeFolder_).FindCopyOf(infPath, fingerprint);
  const std::string called =
      call.succeeded ? std::string("was reported done") : "failed " + ErrorText(call.error);
  const auto holds = [&](const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) { return SameFileName(name, published); });
  };
  if (holds(after.copies)) {
    return Fail("removing " + published + " " + called + ", but the driver store still holds it as " + published);
  }
  if (holds(after.unreadable) || after.changedWhileCompared) {
    return Fail("removing " + published + " " + called + ", but " + published +
                " could not be read afterwards, so it may still be there");
  }
  // The copy is gone, which is what counts; a call that said otherwise is
  // still worth a word.
  needReboot_ = needReboot_ || call.needReboot;
  return "removed " + published + " from the driver store" +
         (call.succeeded ? std::string() : "; the call reported " + ErrorText(call.error)) +
         (call.needReboot ? "; a restart completes the removal" : "");
}

std::string CRemovingExecutor::Fail(const std::string& text) {
  failed_ = true;
  return text;
}

int CRemovingExecutor::ExitStatus() const {
  if (failed_) return kExitFailed;
  return needReboot_ ? kExitRestartNeeded : kExitRemoved;
}

}  // namespace varnoll::remove
