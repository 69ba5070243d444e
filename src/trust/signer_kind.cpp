#include "signer_kind.h"

namespace varnoll::trust {

namespace {

// The Windows hardware driver usages (Microsoft's "How to validate the
// Microsoft signature" and the EKUs its dashboard signs with): Windows
// Hardware Driver Verification, its Attested and Extended variants.
const char kDriverVerification[] = "1.3.6.1.4.1.311.10.3.5";
const char kAttestedVerification[] = "1.3.6.1.4.1.311.10.3.5.1";
const char kExtendedVerification[] = "1.3.6.1.4.1.311.10.3.39";

bool HasDriverUsage(const Certificate& signer) {
  return HasUsage(signer, kDriverVerification) || HasUsage(signer, kAttestedVerification) ||
         HasUsage(signer, kExtendedVerification);
}

}  // namespace

const char* SignerKindName(SignerKind kind) {
  switch (kind) {
    case SignerKind::kMicrosoft:
      return "microsoft";
    case SignerKind::kSelfSigned:
      return "self-signed";
    default:
      return "third-party";
  }
}

SignerKind Classify(const Chain& chain) {
  const Certificate& signer = chain.certificates.front();
  if (chain.selfSigned) return SignerKind::kSelfSigned;
  if (chain.anchor && HasDriverUsage(signer)) return SignerKind::kMicrosoft;
  return SignerKind::kThirdParty;
}

bool IsAttestation(const Certificate& signer) { return HasUsage(signer, kAttestedVerification); }

}  // namespace varnoll::trust
