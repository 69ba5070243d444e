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

// The platform's part: whether the public key of `certificate` (DER)
// verifies `signature` over `data` with `kind`.
bool VerifyWithCertificate(const std::string& certificate, DigestKind kind, const std::string& data,
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
};

// Whether `osAttr` ("2:6.1,2:10.0") names `version` ("10.0").
bool OsAttrCovers(const std::string& osAttr, const std::string& version);

}  // namespace varnoll::package
