// PKCS #7 / CMS SignedData (RFC 5652), the envelope of catalogs and of
// RFC 3161 time stamps: the content, the certificates that came with it
// and the first signer. Read only; verifying is the caller's step.
#pragma once

#include "certificate.h"
#include "chain.h"
#include "der.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoll::trust {

struct SignerInfo {
  std::string issuer;  // the signer's certificate, by issuer Name (DER)
  std::string serial;  // and serial number (contents octets)
  std::optional<DigestKind> digestKind;
  std::string signedAttributes;  // DER as signed: a SET (0x31)
  std::string messageDigest;     // the signed attribute, raw
  std::string signingTime;       // the signed attribute, ISO 8601; empty without
  std::string signature;
  std::string unsignedAttributes;  // the whole [1] element; empty without
};

struct SignedData {
  std::string contentType;   // dotted OID
  std::string_view content;  // the element inside the content's [0]
  std::string digested;      // its contents octets, which the signer's digest covers
  std::vector<Certificate> certificates;
  std::optional<SignerInfo> signer;  // the first signer
};

// Reads a ContentInfo holding SignedData from `der`, which must outlive
// `signedData.content`; false with `problem` (a few words) when it is none.
bool ReadSignedData(std::string_view der, SignedData& signedData, std::string& problem);

// Reads one SignerInfo (also a legacy countersignature, which has its form).
bool ReadSignerInfo(const DerReader& outer, const DerElement& info, SignerInfo& signer);

// The certificate of `pool` that `signer` names; none when absent.
const Certificate* FindSignerCertificate(const SignerInfo& signer, const std::vector<Certificate>& pool);

// Whether `signer` signed `digested`: its message digest is that of the
// bytes and `certificate`'s key verifies its signed attributes.
bool VerifySignerInfo(const SignerInfo& signer, const Certificate& certificate, const std::string& digested,
                      KeyVerifier verify);

}  // namespace varnoll::trust
