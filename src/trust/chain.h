// The signer's chain, built from the certificates a signature carries:
// each link's signature verified by the next certificate's key, up to a
// root known by its key (a trust anchor) or to the last certificate found.
// Validity periods play no part: an expired root still names who signed.
#pragma once

#include "certificate.h"

#include <optional>
#include <string>
#include <vector>

namespace varnoll::trust {

// A root, known by its public key. `pin` is the SHA-256 of the key
// (SubjectPublicKeyInfo, lowercase hex): it names the root, whatever
// certificate carries the key.
struct TrustAnchor {
  std::string name;
  std::string pin;
  std::string publicKeyInfo;  // DER: verifies what the root signed
};

// The platform's signature check: whether `publicKeyInfo` (DER) verifies
// `signature` over `data` with `kind`.
using KeyVerifier = bool (*)(const std::string& publicKeyInfo, DigestKind kind, const std::string& data,
                             const std::string& signature);

struct Chain {
  std::vector<Certificate> certificates;  // the signer first
  std::optional<std::string> anchor;      // the root reached, by its name
  bool selfSigned = false;                // the signer is its own issuer
};

// The chain from `signer` through `pool`; a certificate joins only when its
// key verifies the one below it, so a chain never holds an unverified link.
Chain BuildChain(const Certificate& signer, const std::vector<Certificate>& pool,
                 const std::vector<TrustAnchor>& anchors, KeyVerifier verify);

// The lowercase hex SHA-256 of `bytes`.
std::string Sha256Hex(const std::string& bytes);

}  // namespace varnoll::trust
