// Who signed a driver catalog, as Windows' driver signing policy sorts it:
// Microsoft (through the hardware dashboard: WHQL or attestation), a third
// party, or the signer itself.
#pragma once

#include "chain.h"

#include <string>
#include <vector>

namespace varnoll::trust {

enum class SignerKind { kMicrosoft, kThirdParty, kSelfSigned };

// "microsoft", "third-party", "self-signed".
const char* SignerKindName(SignerKind kind);

// Microsoft when the chain reaches an anchor and the signer carries a
// Windows hardware driver usage; self-signed when the signer is its own
// issuer; any other chain is a third party's.
SignerKind Classify(const Chain& chain);

// Whether the signer's usages mark an attestation signature (rather than
// one after hardware certification tests).
bool IsAttestation(const Certificate& signer);

// Microsoft's roots that sign Windows hardware driver catalogs, pinned by
// their keys: the production anchors.
const std::vector<TrustAnchor>& MicrosoftRoots();

}  // namespace varnoll::trust
