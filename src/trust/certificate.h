// An X.509 certificate as the chain builder needs it: names, validity, key,
// the signed part and its signature, the extended key usages. Read only;
// nothing here says whether the certificate is to be trusted.
#pragma once

#include "digest.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoll::trust {

struct Certificate {
  std::string der;            // the whole certificate
  std::string signedPart;     // the TBSCertificate, as signed
  std::string serial;         // the serial number's contents octets
  std::string issuer;         // the issuer Name, DER
  std::string subject;        // the subject Name, DER
  std::string subjectText;    // "CN=..., O=...", in encoded order
  std::string notBefore;      // ISO 8601, UTC
  std::string notAfter;       // ISO 8601, UTC
  std::string publicKeyInfo;  // SubjectPublicKeyInfo, DER
  std::optional<DigestKind> signatureDigest;  // none: an algorithm we do not verify
  std::string signature;      // the signature value, without the bit string's pad count
  std::vector<std::string> usages;  // extended key usage OIDs, dotted
};

// Reads one certificate; false when `der` is none. `certificate` is left
// alone on failure.
bool ReadCertificate(std::string_view der, Certificate& certificate);

// Whether `certificate` lists `usage` (an OID) among its extended key usages.
bool HasUsage(const Certificate& certificate, const std::string& usage);

// The digest of a digest algorithm's OID (SHA-1, -256, -384, -512).
std::optional<DigestKind> DigestKindOf(const std::string& oid);

// The digest of an RSA or ECDSA signature algorithm's OID.
std::optional<DigestKind> SignatureDigestOf(const std::string& oid);

// The first value of the attribute `oid` ("2.5.4.10", O) in a
// distinguished name (DER); empty without one.
std::string NameAttribute(std::string_view name, const std::string& oid);

// A distinguished name (DER) as "CN=..., O=...", in its encoded order.
std::string NameText(std::string_view name);

}  // namespace varnoll::trust
