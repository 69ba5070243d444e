// The machine's native architecture (GetNativeSystemInfo, which a 32-bit
// program on 64-bit Windows asks too) and its build as Windows itself tells
// it: RtlGetVersion, which no compatibility manifest bends as it bends
// GetVersionEx, and the update build revision (UBR) from the registry.
#include "machine_facts.h"

#include "registry_key.h"

#include <windows.h>

namespace varnoll {

namespace {

std::string ArchName(WORD architecture) {
  switch (architecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
      return "x86";
    case 12:  // PROCESSOR_ARCHITECTURE_ARM64, which older headers lack
      return "arm64";
    case PROCESSOR_ARCHITECTURE_AMD64:
      return "amd64";
    default:
      return "unknown";
  }
}

// The update build revision, which Windows 10 and later keep beside the
// build number; none on older Windows.
std::optional<DWORD> UpdateRevision() {
  return CRegistryKey("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion").Dword("UBR");
}

std::optional<std::string> WindowsBuild() {
  const std::optional<WindowsVersion> version = ReadWindowsVersion();
  if (!version) return std::nullopt;
  std::string build = std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
                      std::to_string(version->build);
  const std::optional<DWORD> revision = UpdateRevision();
  return revision ? build + "." + std::to_string(*revision) : build;
}

}  // namespace

// RtlGetVersion tells the true version, where GetVersionEx answers what the
// manifest declares.
std::optional<WindowsVersion> ReadWindowsVersion() {
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  const auto get = ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                               reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                         : nullptr;
  // The extended form also tells the product type and suite, which INF
  // models decorations name.
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (get == nullptr || get(&info) != 0) return std::nullopt;
  return WindowsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.wProductType,
                        info.wSuiteMask};
}

MachineFacts ReadMachineFacts() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  MachineFacts facts;
  facts.arch = ArchName(info.wProcessorArchitecture);
  facts.windows = WindowsBuild();
  return facts;
}

}  // namespace varnoll
