// A driver catalog (.cat) as Windows reads it: a PKCS#7 SignedData whose
// content is a certificate trust list, one entry per file with the hash
// Windows looks the file up by.
#pragma once

#include "certificate.h"
#include "digest.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoll::package {

struct CatalogMember {
  std::string tag;                          // the entry's name (UTF-8)
  std::optional<DigestKind> kind;           // none: an algorithm we do not know
  std::string digest;                       // raw bytes
  bool peImage = false;                     // hashed as a PE image (Authenticode)
};

// What the signature covers and who made it; the platform checks it.
struct CatalogSigner {
  std::string subject;         // "CN=..., O=..."
  std::string notAfter;        // ISO 8601, UTC
  std::string certificate;     // the signer's certificate, DER
  std::optional<DigestKind> digestKind;
  std::string signedAttributes;  // DER as signed: a SET (0x31)
  std::string messageDigest;     // the signed attribute, raw
  std::string signature;
  std::string unsignedAttributes;  // the whole [1] element, where time stamps live; empty without
};

struct Catalog {
  std::vector<CatalogMember> members;
  std::optional<std::string> osAttr;  // "2:6.1,2:10.0", as written
  std::string content;                // the trust list's contents octets, which are hashed
  std::optional<CatalogSigner> signer;  // none: unsigned, or no certificate for the signer
  std::vector<trust::Certificate> certificates;  // every certificate that came with the signature
};

// The largest catalog read; larger files are reported, not read.
constexpr size_t kMaxCatalogBytes = 64u << 20;

// Reads `der`; false with `problem` (a few words) when it is no catalog.
// `catalog` is left alone on failure.
bool ReadCatalog(std::string_view der, Catalog& catalog, std::string& problem);

}  // namespace varnoll::package
