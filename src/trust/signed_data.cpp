#include "signed_data.h"

namespace varnoll::trust {

namespace {

const char kSignedData[] = "1.2.840.113549.1.7.2";
const char kMessageDigest[] = "1.2.840.113549.1.9.4";
const char kSigningTime[] = "1.2.840.113549.1.9.5";

void ReadSignedAttributes(const DerReader& outer, const DerElement& attributes, SignerInfo& signer) {
  // They are signed as a SET, though stored under an implicit [0] tag.
  signer.signedAttributes = std::string(attributes.whole);
  signer.signedAttributes[0] = static_cast<char>(kDerSet);
  ForEachDerAttribute(outer, attributes, [&](const std::string& oid, DerReader& values) {
    DerElement value;
    if (oid == kMessageDigest && values.NextIf(kDerOctetString, value)) signer.messageDigest = std::string(value.contents);
    if (oid == kSigningTime && values.Next(value)) signer.signingTime = IsoTime(value);
  });
}

void ReadCertificates(const DerReader& outer, const DerElement& set, std::vector<Certificate>& certificates) {
  DerReader each = outer.Enter(set);
  DerElement element;
  while (each.Next(element)) {
    Certificate certificate;
    if (ReadCertificate(element.whole, certificate)) certificates.push_back(std::move(certificate));
  }
}

bool ReadContent(const DerReader& outer, const DerElement& encapsulated, SignedData& signedData) {
  DerReader content = outer.Enter(encapsulated);
  DerElement type, wrapped, inner;
  if (!content.Next(type)) return false;
  signedData.contentType = OidOf(type);
  if (!content.NextIf(DerContext(0), wrapped)) return true;
  DerReader explicitTag = content.Enter(wrapped);
  if (!explicitTag.Next(inner)) return false;
  signedData.content = inner.whole;
  signedData.digested = std::string(inner.contents);
  return true;
}

}  // namespace

bool ReadSignerInfo(const DerReader& outer, const DerElement& info, SignerInfo& signer) {
  DerReader fields = outer.Enter(info);
  DerElement version, issuerSerial, digestAlgorithm, element;
  DerElement idParts[2];
  DerElement algorithm[1];
  if (!fields.NextIf(kDerInteger, version) || !fields.NextIf(kDerSequence, issuerSerial) ||
      !fields.Next(digestAlgorithm) || !SplitDer(fields, issuerSerial, idParts))
    return false;
  SignerInfo read;
  read.issuer = std::string(idParts[0].whole);
  read.serial = std::string(idParts[1].contents);
  if (SplitDer(fields, digestAlgorithm, algorithm)) read.digestKind = DigestKindOf(OidOf(algorithm[0]));
  if (fields.NextIf(DerContext(0), element)) ReadSignedAttributes(fields, element, read);
  if (!fields.NextIf(kDerSequence, element) || !fields.NextIf(kDerOctetString, element)) return false;
  read.signature = std::string(element.contents);
  if (fields.NextIf(DerContext(1), element)) read.unsignedAttributes = std::string(element.whole);
  signer = std::move(read);
  return true;
}

bool ReadSignedData(std::string_view der, SignedData& signedData, std::string& problem) {
  DerReader top(der);
  DerElement contentInfo, body, element, encapsulated;
  DerElement parts[2];
  if (!top.NextIf(kDerSequence, contentInfo) || !SplitDer(top, contentInfo, parts) ||
      OidOf(parts[0]) != kSignedData || parts[1].tag != DerContext(0)) {
    problem = der.empty() ? "it is empty" : "it is not PKCS#7 signed data";
    return false;
  }
  DerReader explicitTag = top.Enter(parts[1]);
  SignedData read;
  if (!explicitTag.NextIf(kDerSequence, body)) {
    problem = "it is not PKCS#7 signed data";
    return false;
  }
  DerReader fields = explicitTag.Enter(body);
  if (!fields.NextIf(kDerInteger, element) || !fields.NextIf(kDerSet, element) ||
      !fields.NextIf(kDerSequence, encapsulated) || !ReadContent(fields, encapsulated, read)) {
    problem = "not a PKCS#7 SignedData";
    return false;
  }
  if (fields.NextIf(DerContext(0), element)) ReadCertificates(fields, element, read.certificates);
  fields.NextIf(DerContext(1), element);  // revocation lists
  DerElement infos, info;
  if (fields.NextIf(kDerSet, infos)) {
    DerReader each = fields.Enter(infos);
    SignerInfo signer;
    if (each.Next(info) && ReadSignerInfo(each, info, signer)) read.signer = std::move(signer);
  }
  signedData = std::move(read);
  return true;
}

const Certificate* FindSignerCertificate(const SignerInfo& signer, const std::vector<Certificate>& pool) {
  for (const Certificate& certificate : pool) {
    if (certificate.serial == signer.serial && certificate.issuer == signer.issuer) return &certificate;
  }
  return nullptr;
}

bool VerifySignerInfo(const SignerInfo& signer, const Certificate& certificate, const std::string& digested,
                      KeyVerifier verify) {
  if (!signer.digestKind || signer.signedAttributes.empty() || signer.signature.empty()) return false;
  if (DigestOf(*signer.digestKind, digested) != signer.messageDigest) return false;
  return verify(certificate.publicKeyInfo, *signer.digestKind, signer.signedAttributes, signer.signature);
}

}  // namespace varnoll::trust
