#include "signature.h"

#include "certificate.h"
#include "digest.h"

namespace varnoll::package {

SignatureState CheckSignature(const Catalog& catalog) {
  if (!catalog.signer) return SignatureState::kNone;
  const CatalogSigner& signer = *catalog.signer;
  if (!signer.digestKind || signer.signedAttributes.empty() || signer.signature.empty())
    return SignatureState::kBroken;
  // The signed digest covers the trust list's contents octets, without
  // its own tag and length, as PKCS#7 hashes a content other than data.
  if (DigestOf(*signer.digestKind, catalog.content) != signer.messageDigest) return SignatureState::kBroken;
  trust::Certificate certificate;
  return trust::ReadCertificate(signer.certificate, certificate) &&
                 VerifyWithPublicKey(certificate.publicKeyInfo, *signer.digestKind, signer.signedAttributes,
                                     signer.signature)
             ? SignatureState::kIntact
             : SignatureState::kBroken;
}

bool OsAttrCovers(const std::string& osAttr, const std::string& version) {
  size_t start = 0;
  while (start <= osAttr.size()) {
    size_t end = osAttr.find(',', start);
    if (end == std::string::npos) end = osAttr.size();
    std::string entry = osAttr.substr(start, end - start);
    const size_t colon = entry.find(':');
    if (colon != std::string::npos) entry = entry.substr(colon + 1);
    while (!entry.empty() && entry.front() == ' ') entry.erase(entry.begin());
    while (!entry.empty() && entry.back() == ' ') entry.pop_back();
    if (entry == version) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace varnoll::package
