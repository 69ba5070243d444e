// Owners for the crypt32 and CNG handles the package check opens, each
// freed in one place.
#pragma once

#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

#include <memory>
#include <string>

namespace varnoll::package {

struct CertificateFree {
  void operator()(PCCERT_CONTEXT context) const { CertFreeCertificateContext(context); }
};
struct StoreClose {
  void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); }
};
struct KeyDestroy {
  void operator()(BCRYPT_KEY_HANDLE key) const { BCryptDestroyKey(key); }
};

struct LocalRelease {
  void operator()(void* memory) const { LocalFree(memory); }
};

using CertificateOwner = std::unique_ptr<const CERT_CONTEXT, CertificateFree>;
using StoreOwner = std::unique_ptr<void, StoreClose>;
using KeyOwner = std::unique_ptr<void, KeyDestroy>;
// What crypt32 allocates for CRYPT_DECODE_ALLOC_FLAG.
using LocalOwner = std::unique_ptr<void, LocalRelease>;

// An owner for CryptoAPI's integer handles (HCRYPTPROV, HCRYPTKEY,
// HCRYPTHASH), where zero is empty.
template <typename Handle, typename Release>
class CCryptHandle {
 public:
  CCryptHandle() = default;
  ~CCryptHandle() {
    if (handle_ != 0) Release()(handle_);
  }
  CCryptHandle(const CCryptHandle&) = delete;
  CCryptHandle& operator=(const CCryptHandle&) = delete;

  // Where a call puts the handle it opens; the owner must be empty.
  Handle* Receive() { return &handle_; }
  Handle Get() const { return handle_; }

 private:
  Handle handle_ = 0;
};

struct ProviderRelease {
  void operator()(HCRYPTPROV provider) const { CryptReleaseContext(provider, 0); }
};
struct LegacyKeyDestroy {
  void operator()(HCRYPTKEY key) const { CryptDestroyKey(key); }
};
struct HashDestroy {
  void operator()(HCRYPTHASH hash) const { CryptDestroyHash(hash); }
};
using ProviderOwner = CCryptHandle<HCRYPTPROV, ProviderRelease>;
using LegacyKeyOwner = CCryptHandle<HCRYPTKEY, LegacyKeyDestroy>;
using HashOwner = CCryptHandle<HCRYPTHASH, HashDestroy>;

// A certificate context for DER bytes; empty when they are no certificate.
inline CertificateOwner LoadCertificate(const std::string& der) {
  return CertificateOwner(CertCreateCertificateContext(
      X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size())));
}

}  // namespace varnoll::package
