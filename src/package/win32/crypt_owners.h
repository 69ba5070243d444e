// Owners for the crypt32 and CNG handles the package check opens, each
// freed in one place.
#pragma once

#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

#include <string>

namespace varnoll::package {

struct CertificateOwner {
  PCCERT_CONTEXT context = nullptr;
  CertificateOwner() = default;
  CertificateOwner(const CertificateOwner&) = delete;
  CertificateOwner& operator=(const CertificateOwner&) = delete;
  ~CertificateOwner() {
    if (context) CertFreeCertificateContext(context);
  }
};

struct StoreOwner {
  HCERTSTORE store = nullptr;
  StoreOwner() = default;
  StoreOwner(const StoreOwner&) = delete;
  StoreOwner& operator=(const StoreOwner&) = delete;
  ~StoreOwner() {
    if (store) CertCloseStore(store, 0);
  }
};

struct KeyOwner {
  BCRYPT_KEY_HANDLE key = nullptr;
  KeyOwner() = default;
  KeyOwner(const KeyOwner&) = delete;
  KeyOwner& operator=(const KeyOwner&) = delete;
  ~KeyOwner() {
    if (key) BCryptDestroyKey(key);
  }
};

// A certificate context for DER bytes; empty when they are no certificate.
inline void LoadCertificate(const std::string& der, CertificateOwner& owner) {
  owner.context = CertCreateCertificateContext(X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                               static_cast<DWORD>(der.size()));
}

}  // namespace varnoll::package
