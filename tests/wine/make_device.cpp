// Test helper, never shipped: registers a root-enumerated modem device with
// the hardware ID given on the command line, as a plugged-in modem would be
// found, so that the installer has a present device to install on; or, with
// --remove INSTANCE-ID, removes such a device again.
#include <windows.h>

#include <setupapi.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const GUID kModemClass = {0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

int RemoveDevice(const char* instanceId) {
  HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
  if (set == INVALID_HANDLE_VALUE) return 1;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  const bool removed = SetupDiOpenDeviceInfoA(set, instanceId, nullptr, 0, &device) &&
                       SetupDiCallClassInstaller(DIF_REMOVE, set, &device);
  const DWORD error = removed ? 0 : GetLastError();
  SetupDiDestroyDeviceInfoList(set);
  if (!removed) {
    std::fprintf(stderr, "make_device: removing %s failed with error 0x%lx\n", instanceId,
                 static_cast<unsigned long>(error));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--remove") == 0) return RemoveDevice(argv[2]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_device HARDWARE-ID | --remove INSTANCE-ID\n");
    return 2;
  }
  HDEVINFO set = SetupDiCreateDeviceInfoList(&kModemClass, nullptr);
  if (set == INVALID_HANDLE_VALUE) return 1;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  // A hardware ID list is a multi-string: each ID NUL-terminated, then a NUL.
  std::vector<BYTE> ids(argv[1], argv[1] + std::strlen(argv[1]) + 1);
  ids.push_back(0);
  const bool made =
      SetupDiCreateDeviceInfoA(set, "MODEM", &kModemClass, nullptr, nullptr, DICD_GENERATE_ID, &device) &&
      SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, ids.data(),
                                        static_cast<DWORD>(ids.size())) &&
      SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device);
  const DWORD error = made ? 0 : GetLastError();
  char instanceId[256] = "";
  if (made) SetupDiGetDeviceInstanceIdA(set, &device, instanceId, sizeof instanceId, nullptr);
  SetupDiDestroyDeviceInfoList(set);
  if (!made) {
    std::fprintf(stderr, "make_device: failed with error 0x%lx\n", static_cast<unsigned long>(error));
    return 1;
  }
  std::printf("%s\n", instanceId);
  return 0;
}
