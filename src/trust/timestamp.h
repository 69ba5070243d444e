// The time stamp on a signature, in either form Windows accepts: the legacy
// Authenticode countersignature (PKCS #9) and the RFC 3161 token. A valid
// time stamp proves when the signature was made, so that it stays valid
// after the signer's certificate expires.
#pragma once

#include "chain.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoll::trust {

struct TimeStamp {
  std::string time;          // ISO 8601, UTC: when the authority saw the signature
  bool verified = false;     // its signature and imprint hold, by a time-stamping certificate
  bool rfc3161 = false;      // else a legacy countersignature
  std::string authority;     // the time-stamping certificate's subject, when found
};

// The first time stamp among a signer's unsigned attributes (`unsignedAttributes`,
// the whole [1] element) over that signer's `signature` value; `pool` holds the
// certificates that came with the signature. `bareDigest` verifies the
// bare-digest signatures early authorities made. None without one.
std::optional<TimeStamp> ReadTimeStamp(std::string_view unsignedAttributes, const std::string& signature,
                                       const std::vector<Certificate>& pool, KeyVerifier verify,
                                       KeyVerifier bareDigest);

}  // namespace varnoll::trust
