// On Windows the package is judged for this machine (and the architectures
// --arch adds), and the machine's own trust and Windows are asked, read
// only: WinVerifyTrust with no UI and no network retrieval, the
// TrustedPublisher store opened read-only, RtlGetVersion, registry values
// read with KEY_READ, and SetupVerifyInfFile, which only looks.
#include "crypt_owners.h"
#include "device_view.h"
#include "error_names.h"
#include "machine_facts.h"
#include "package_check.h"
#include "registry_key.h"

#include <windows.h>

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace varnoll::package {

namespace {

std::wstring Wide(const std::string& ansi) {
  const int size = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring wide(size > 0 ? size : 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), size);
  wide.resize(wide.size() - 1);
  return wide;
}

// This Windows as the models decorations compare it.
std::optional<WindowsRelease> RunningWindows() {
  const std::optional<WindowsVersion> version = ReadWindowsVersion();
  if (!version) return std::nullopt;
  return WindowsRelease{version->major, version->minor, version->build, version->productType, version->suiteMask};
}

class CWindowsTrust : public TrustView {
 public:
  std::optional<bool> CatalogTrusted(const std::string& catalogPath) const override {
    const std::wstring path = Wide(catalogPath);
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_NONE;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return status == 0;
  }

  std::optional<bool> InTrustedPublisher(const std::string& certificate) const override {
    const StoreOwner store(CertOpenStore(
        CERT_STORE_PROV_SYSTEM_W, 0, 0,
        CERT_SYSTEM_STORE_LOCAL_MACHINE | CERT_STORE_READONLY_FLAG | CERT_STORE_OPEN_EXISTING_FLAG,
        L"TrustedPublisher"));
    // A machine without the store has nobody in it.
    if (!store) return false;
    const CertificateOwner wanted = LoadCertificate(certificate);
    if (!wanted) return std::nullopt;
    const CertificateOwner found(
        CertFindCertificateInStore(store.get(), X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted.get(), nullptr));
    return found != nullptr;
  }

  std::optional<std::string> OsVersion() const override {
    const std::optional<WindowsVersion> version = ReadWindowsVersion();
    if (!version) return std::nullopt;
    return std::to_string(version->major) + "." + std::to_string(version->minor);
  }

  // Absent on machines without UEFI Secure Boot: then it is off.
  std::optional<bool> SecureBootOn() const override {
    const CRegistryKey state("SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State");
    if (const std::optional<DWORD> enabled = state.Dword("UEFISecureBootEnabled")) return *enabled != 0;
    if (state.String("UEFISecureBootEnabled")) return std::nullopt;
    return false;
  }

  std::optional<bool> TestSigningOn() const override {
    const std::optional<std::string> options =
        CRegistryKey("SYSTEM\\CurrentControlSet\\Control").String("SystemStartOptions");
    if (!options) return std::nullopt;
    return options->find("TESTSIGNING") != std::string::npos;
  }

  // WldpQueryWindowsLockdownMode exists from Windows 10 version 1809; S
  // mode is its locked or trial mode. Looked up at run time.
  std::optional<bool> InSMode() const override {
    using QueryFunction = HRESULT(WINAPI*)(int*);
    HMODULE wldp = LoadLibraryExW(L"wldp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (wldp == nullptr) return std::nullopt;
    const auto query = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(GetProcAddress(wldp, "WldpQueryWindowsLockdownMode")));
    int mode = 0;
    const std::optional<bool> answer =
        query != nullptr && SUCCEEDED(query(&mode)) ? std::optional<bool>(mode != 0) : std::nullopt;
    FreeLibrary(wldp);
    return answer;
  }

  // Wine exports SetupVerifyInfFile as a stub that ends the process when
  // called (its own ntdll names it by wine_get_version): there Windows has
  // no answer to give.
  std::optional<std::string> VerifyInf(const std::string& infPath) const override {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") != nullptr) return std::nullopt;
    SP_INF_SIGNER_INFO_A signer{};
    signer.cbSize = sizeof signer;
    if (SetupVerifyInfFileA(infPath.c_str(), nullptr, &signer)) return std::string("signed");
    const DWORD error = GetLastError();
    if (error == ERROR_CALL_NOT_IMPLEMENTED) return std::nullopt;
    const char* name = ErrorName(error);
    char hex[16];
    snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(error));
    return std::string(name ? name : hex);
  }
};

// The machine's native architecture; x64 where it is one we do not build for.
Arch MachineArch() {
  const std::optional<std::string> name = ReadMachineFacts().arch;
  return name ? ArchNamed(*name).value_or(Arch::kAmd64) : Arch::kAmd64;
}

}  // namespace

PackageContext ThisMachine(const std::vector<Arch>& asked) {
  static const CWindowsTrust trust;
  PackageContext context;
  context.catalogArch = MachineArch();
  context.arches = {context.catalogArch};
  for (Arch arch : asked) {
    if (std::find(context.arches.begin(), context.arches.end(), arch) == context.arches.end())
      context.arches.push_back(arch);
  }
  context.counted = context.arches;
  context.trust = &trust;
  context.windows = RunningWindows();
  return context;
}

}  // namespace varnoll::package
