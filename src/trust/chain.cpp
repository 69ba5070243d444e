#include "chain.h"

#include "digest.h"

namespace varnoll::trust {

namespace {

// Catalogs carry a handful of certificates; a loop of cross-signatures
// stops here.
constexpr size_t kLongestChain = 8;

bool Signs(const std::string& publicKeyInfo, const Certificate& below, KeyVerifier verify) {
  return below.signatureDigest && verify(publicKeyInfo, *below.signatureDigest, below.signedPart, below.signature);
}

const TrustAnchor* AnchorOf(const Certificate& certificate, const std::vector<TrustAnchor>& anchors) {
  const std::string pin = Sha256Hex(certificate.publicKeyInfo);
  for (const TrustAnchor& anchor : anchors) {
    if (anchor.pin == pin) return &anchor;
  }
  return nullptr;
}

bool InChain(const Chain& chain, const Certificate& candidate) {
  for (const Certificate& certificate : chain.certificates) {
    if (certificate.der == candidate.der) return true;
  }
  return false;
}

// The certificate of `pool` that issued `below`, its signature verified.
const Certificate* IssuerIn(const Certificate& below, const std::vector<Certificate>& pool, const Chain& chain,
                            KeyVerifier verify) {
  for (const Certificate& candidate : pool) {
    if (candidate.subject == below.issuer && !InChain(chain, candidate) &&
        Signs(candidate.publicKeyInfo, below, verify))
      return &candidate;
  }
  return nullptr;
}

}  // namespace

std::string Sha256Hex(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (const char byte : DigestOf(DigestKind::kSha256, bytes)) {
    hex += kHex[(static_cast<unsigned char>(byte) >> 4) & 0xF];
    hex += kHex[static_cast<unsigned char>(byte) & 0xF];
  }
  return hex;
}

Chain BuildChain(const Certificate& signer, const std::vector<Certificate>& pool,
                 const std::vector<TrustAnchor>& anchors, KeyVerifier verify) {
  Chain chain;
  chain.certificates.push_back(signer);
  chain.selfSigned = signer.issuer == signer.subject;
  while (chain.certificates.size() < kLongestChain) {
    const Certificate& top = chain.certificates.back();
    if (const TrustAnchor* anchor = AnchorOf(top, anchors)) {
      chain.anchor = anchor->name;
      break;
    }
    if (top.issuer == top.subject) break;
    if (const Certificate* issuer = IssuerIn(top, pool, chain, verify)) {
      chain.certificates.push_back(*issuer);
      continue;
    }
    // The root itself is seldom in a catalog: its key comes from the anchor.
    for (const TrustAnchor& anchor : anchors) {
      if (Signs(anchor.publicKeyInfo, top, verify)) chain.anchor = anchor.name;
    }
    break;
  }
  return chain;
}

}  // namespace varnoll::trust
