// Present devices from the Setup API, read only: enumerates, reads IDs and
// the driver key's InfPath, DriverDate, DriverVersion and ProviderName, and opens nothing
// for writing.
#include "device_view.h"
#include "present_devices.h"
#include "unique_handle.h"

namespace varnoll {

namespace {

// SetupDiGetClassDevs and SetupDiOpenDevRegKey both report failure as
// INVALID_HANDLE_VALUE, not NULL.
struct DeviceInfoSetTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE set) { SetupDiDestroyDeviceInfoList(set); }
};

struct DeviceKeyTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE key) { RegCloseKey(static_cast<HKEY>(key)); }
};

using UniqueDeviceInfoSet = UniqueHandle<DeviceInfoSetTraits>;
using UniqueDeviceKey = UniqueHandle<DeviceKeyTraits>;

std::vector<std::string> SplitMultiString(const std::vector<BYTE>& data) {
  std::vector<std::string> items;
  std::string item;
  for (const BYTE byte : data) {
    if (byte != 0) {
      item.push_back(static_cast<char>(byte));
    } else if (item.empty()) {
      break;
    } else {
      items.push_back(item);
      item.clear();
    }
  }
  if (!item.empty()) items.push_back(item);
  return items;
}

std::vector<std::string> IdList(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
  DWORD type = 0;
  DWORD size = 0;
  // The first call only asks for the size, and fails for that reason.
  SetupDiGetDeviceRegistryPropertyA(set, &device, property, &type, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> data(size + 2, 0);
  if (!SetupDiGetDeviceRegistryPropertyA(set, &device, property, &type, data.data(), size, nullptr) ||
      type != REG_MULTI_SZ) {
    return {};
  }
  return SplitMultiString(data);
}

// A string value of the device's driver key: InfPath, DriverDate, DriverVersion,
// ProviderName.
std::optional<std::string> DriverValue(HDEVINFO set, SP_DEVINFO_DATA& device, const char* name) {
  const UniqueDeviceKey key(
      SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_QUERY_VALUE));
  if (!key.IsValid() || key.Get() == nullptr) return std::nullopt;
  char value[MAX_PATH] = "";
  DWORD type = 0;
  DWORD size = sizeof value - 1;
  // Reg* calls return their error instead of setting the last error.
  if (RegQueryValueExA(static_cast<HKEY>(key.Get()), name, nullptr, &type,
                       reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  value[size < sizeof value ? size : sizeof value - 1] = '\0';
  return std::string(value);
}

// CM_Get_DevNode_Status returns its error (a CONFIGRET), and leaves the
// outputs undefined then: unknown, not guessed.
std::optional<DeviceState> State(DEVINST device) {
  ULONG status = 0;
  ULONG problem = 0;
  if (CM_Get_DevNode_Status(&status, &problem, device, 0) != CR_SUCCESS) return std::nullopt;
  DeviceState state;
  state.started = (status & DN_STARTED) != 0;
  if (status & DN_HAS_PROBLEM) state.problem = problem;
  state.restartPending = (status & DN_NEED_RESTART) != 0 || state.problem == kProblemNeedRestart;
  return state;
}

}  // namespace

bool ListPresentDevices(std::vector<PresentDevice>& devices) {
  devices.clear();
  const UniqueDeviceInfoSet set(
      SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT));
  if (!set.IsValid()) return false;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
    PresentDevice present;
    char instanceId[MAX_DEVICE_ID_LEN] = "";
    if (SetupDiGetDeviceInstanceIdA(set.Get(), &device, instanceId, sizeof instanceId, nullptr)) {
      present.instanceId = instanceId;
    }
    present.hardwareIds = IdList(set.Get(), device, SPDRP_HARDWAREID);
    present.compatibleIds = IdList(set.Get(), device, SPDRP_COMPATIBLEIDS);
    present.driverInf = DriverValue(set.Get(), device, "InfPath");
    present.driverDate = DriverValue(set.Get(), device, "DriverDate");
    present.driverVersion = DriverValue(set.Get(), device, "DriverVersion");
    present.driverProvider = DriverValue(set.Get(), device, "ProviderName");
    present.state = State(device.DevInst);
    devices.push_back(std::move(present));
  }
  return true;
}

}  // namespace varnoll
