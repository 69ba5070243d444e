#include "timestamp.h"

#include "signed_data.h"

namespace varnoll::trust {

namespace {

const char kCounterSignature[] = "1.2.840.113549.1.9.6";
const char kTimeStampToken[] = "1.3.6.1.4.1.311.3.3.1";
const char kTimeStampTokenCms[] = "1.2.840.113549.1.9.16.2.14";
const char kTstInfo[] = "1.2.840.113549.1.9.16.1.4";
const char kTimeStamping[] = "1.3.6.1.5.5.7.3.8";

// The authority's certificate counts only with the time-stamping usage and
// when the time it stamped lies within its own validity.
bool VerifiedBy(const SignerInfo& signer, const std::vector<Certificate>& pool, const std::string& digested,
                KeyVerifier verify, TimeStamp& stamp) {
  const Certificate* authority = FindSignerCertificate(signer, pool);
  if (authority == nullptr) return false;
  stamp.authority = authority->subjectText;
  return HasUsage(*authority, kTimeStamping) && authority->notBefore <= stamp.time &&
         stamp.time <= authority->notAfter && VerifySignerInfo(signer, *authority, digested, verify);
}

// A countersignature signs the digest of the signature value it stamps.
TimeStamp ReadCounterSignature(const DerReader& outer, const DerElement& info, const std::string& signature,
                               const std::vector<Certificate>& pool, KeyVerifier verify, KeyVerifier bareDigest) {
  TimeStamp stamp;
  SignerInfo counter;
  if (!ReadSignerInfo(outer, info, counter)) return stamp;
  stamp.time = counter.signingTime;
  stamp.verified = !stamp.time.empty() && (VerifiedBy(counter, pool, signature, verify, stamp) ||
                                           VerifiedBy(counter, pool, signature, bareDigest, stamp));
  return stamp;
}

// TSTInfo: version, policy, messageImprint { algorithm, digest }, serial,
// genTime, ...; the imprint is of the signature value it stamps.
bool ReadTstInfo(std::string_view der, const std::string& signature, std::string& time) {
  DerReader top(der);
  DerElement info, version, policy, imprint, serial, generated;
  if (!top.NextIf(kDerSequence, info)) return false;
  DerReader fields = top.Enter(info);
  DerElement imprintParts[2];
  DerElement algorithm[1];
  if (!fields.Next(version) || !fields.Next(policy) || !fields.NextIf(kDerSequence, imprint) ||
      !fields.Next(serial) || !fields.NextIf(kDerGeneralizedTime, generated) ||
      !SplitDer(fields, imprint, imprintParts) || !SplitDer(fields, imprintParts[0], algorithm))
    return false;
  time = IsoTime(generated);
  const std::optional<DigestKind> kind = DigestKindOf(OidOf(algorithm[0]));
  return kind && DigestOf(*kind, signature) == imprintParts[1].contents;
}

TimeStamp ReadToken(const DerElement& token, const std::string& signature, const std::vector<Certificate>& pool,
                    KeyVerifier verify) {
  TimeStamp stamp;
  stamp.rfc3161 = true;
  SignedData signedData;
  std::string problem;
  if (!ReadSignedData(token.whole, signedData, problem) || signedData.contentType != kTstInfo) return stamp;
  const bool imprintHolds = ReadTstInfo(signedData.digested, signature, stamp.time);
  std::vector<Certificate> certificates = signedData.certificates;
  certificates.insert(certificates.end(), pool.begin(), pool.end());
  stamp.verified = imprintHolds && signedData.signer &&
                   VerifiedBy(*signedData.signer, certificates, signedData.digested, verify, stamp);
  return stamp;
}

}  // namespace

std::optional<TimeStamp> ReadTimeStamp(std::string_view unsignedAttributes, const std::string& signature,
                                       const std::vector<Certificate>& pool, KeyVerifier verify,
                                       KeyVerifier bareDigest) {
  DerReader top(unsignedAttributes);
  DerElement tagged;
  if (!top.Next(tagged)) return std::nullopt;
  std::optional<TimeStamp> stamp;
  ForEachDerAttribute(top, tagged, [&](const std::string& oid, DerReader& values) {
    DerElement value;
    if (stamp || !values.Next(value)) return;
    if (oid == kCounterSignature) stamp = ReadCounterSignature(values, value, signature, pool, verify, bareDigest);
    if (oid == kTimeStampToken || oid == kTimeStampTokenCms) stamp = ReadToken(value, signature, pool, verify);
  });
  return stamp;
}

}  // namespace varnoll::trust
