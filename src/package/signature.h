// Whether a catalog's signature is intact (every build), and whether this
// machine trusts it (Windows only).
#pragma once

#include "catalog.h"

#include <optional>
#include <string>

namespace varnoll::package {

enum class SignatureState { kNone, kIntact, kBroken };

// Intact when the signed message digest is that of the trust list and the
// signer's key verifies the signed attributes. Read only.
SignatureState CheckSignature(const Catalog& catalog);

// The platform's part: whether `publicKeyInfo` (a SubjectPublicKeyInfo,
// DER) verifies `signature` over `data` with `kind`. The chain builder of
// src/trust/ verifies each link through it.
bool VerifyWithPublicKey(const std::string& publicKeyInfo, DigestKind kind, const std::string& data,
                         const std::string& signature);

// The same for an RSA signature over the bare digest, without the DigestInfo
// that names its algorithm: what early time-stamping authorities wrote into
// legacy countersignatures, and Windows accepts.
bool VerifyBareDigest(const std::string& publicKeyInfo, DigestKind kind, const std::string& data,
                      const std::string& signature);

// What a machine says about a catalog, asked read-only; each answer none
// where it cannot be known. Windows answers; the tests script a stand-in.
class TrustView {
 public:
  virtual ~TrustView() = default;
  // WinVerifyTrust on the catalog file: no UI, no network retrieval.
  virtual std::optional<bool> CatalogTrusted(const std::string& catalogPath) const = 0;
  // Whether `certificate` (DER) is in the machine's TrustedPublisher store.
  virtual std::optional<bool> InTrustedPublisher(const std::string& certificate) const = 0;
  // This Windows as OSAttr writes it, "6.1" or "10.0".
  virtual std::optional<std::string> OsVersion() const = 0;
  // Whether the firmware booted with Secure Boot on (the registry's
  // SecureBoot\State\UEFISecureBootEnabled).
  virtual std::optional<bool> SecureBootOn() const = 0;
  // Whether Windows started with test signing on (SystemStartOptions).
  virtual std::optional<bool> TestSigningOn() const = 0;
  // Whether Windows runs in S mode (WldpQueryWindowsLockdownMode: locked
  // or trial).
  virtual std::optional<bool> InSMode() const = 0;
  // SetupVerifyInfFile on `infPath`: "signed", the name of its error, or
  // none where Windows does not answer (Wine does not implement it).
  virtual std::optional<std::string> VerifyInf(const std::string& infPath) const = 0;
};

// Whether `osAttr` ("2:6.1,2:10.0") names `version` ("10.0").
bool OsAttrCovers(const std::string& osAttr, const std::string& version);

}  // namespace varnoll::package
