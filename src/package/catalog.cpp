#include "catalog.h"

#include "der.h"

namespace varnoll::package {

namespace {

const char kSignedData[] = "1.2.840.113549.1.7.2";
const char kTrustList[] = "1.3.6.1.4.1.311.10.1";
const char kIndirectData[] = "1.3.6.1.4.1.311.2.1.4";
const char kPeImageData[] = "1.3.6.1.4.1.311.2.1.15";
const char kNameValue[] = "1.3.6.1.4.1.311.12.2.1";
const char kMessageDigest[] = "1.2.840.113549.1.9.4";
const char kCounterSignature[] = "1.2.840.113549.1.9.6";
const char kTimeStampToken[] = "1.3.6.1.4.1.311.3.3.1";

// Reads `element` as one SEQUENCE-like level, filling `parts` in order.
template <size_t N>
bool Split(const DerReader& outer, const DerElement& element, DerElement (&parts)[N]) {
  DerReader reader = outer.Enter(element);
  for (DerElement& part : parts) {
    if (!reader.Next(part)) return false;
  }
  return true;
}

std::string OidOf(const DerElement& element) {
  return element.tag == kDerOid ? OidText(element.contents) : std::string();
}

// A name-value attribute: SEQUENCE { BMPString name, INTEGER flags, OCTET STRING value }.
bool ReadNameValue(const DerReader& outer, const DerElement& element, std::string& name, std::string& value) {
  DerElement parts[3];
  if (element.tag != kDerSequence || !Split(outer, element, parts)) return false;
  if (parts[0].tag != kDerBmpString || parts[2].tag != kDerOctetString) return false;
  name = Utf16ToUtf8(parts[0].contents, true);
  value = Utf16ToUtf8(parts[2].contents, false);
  return true;
}

// SpcIndirectDataContent: SEQUENCE { SEQUENCE { type, value }, DigestInfo }.
void ReadIndirectData(const DerReader& outer, const DerElement& element, CatalogMember& member) {
  DerElement parts[2];
  DerElement typeParts[1];
  DerElement digestParts[2];
  DerElement algorithm[1];
  if (!Split(outer, element, parts) || !Split(outer, parts[0], typeParts) || !Split(outer, parts[1], digestParts))
    return;
  member.peImage = OidOf(typeParts[0]) == kPeImageData;
  if (Split(outer, digestParts[0], algorithm)) member.kind = DigestKindOf(OidOf(algorithm[0]));
  if (digestParts[1].tag == kDerOctetString) member.digest = std::string(digestParts[1].contents);
}

void ReadMember(const DerReader& outer, const DerElement& subject, Catalog& catalog) {
  DerReader reader = outer.Enter(subject);
  DerElement identifier;
  DerElement attributes;
  if (!reader.NextIf(kDerOctetString, identifier)) return;
  CatalogMember member;
  member.tag = Utf16ToUtf8(identifier.contents, false);
  if (reader.NextIf(kDerSet, attributes)) {
    DerReader each = reader.Enter(attributes);
    DerElement attribute;
    while (each.Next(attribute)) {
      DerElement parts[2];
      DerElement value;
      if (!Split(each, attribute, parts)) continue;
      DerReader values = each.Enter(parts[1]);
      if (OidOf(parts[0]) == kIndirectData && values.Next(value)) ReadIndirectData(values, value, member);
    }
  }
  catalog.members.push_back(std::move(member));
}

// The catalog's own attributes live in the list's extensions.
void ReadExtensions(const DerReader& outer, const DerElement& element, Catalog& catalog) {
  DerReader explicitTag = outer.Enter(element);
  DerElement list;
  if (!explicitTag.Next(list)) return;
  DerReader each = explicitTag.Enter(list);
  DerElement extension;
  while (each.Next(extension)) {
    DerReader parts = each.Enter(extension);
    DerElement oid;
    DerElement part;
    if (!parts.Next(oid) || OidOf(oid) != kNameValue) continue;
    parts.NextIf(0x01, part);  // the optional "critical" flag
    if (!parts.NextIf(kDerOctetString, part)) continue;
    DerReader inner = parts.Enter(part);
    DerElement nameValue;
    std::string name;
    std::string value;
    if (inner.Next(nameValue) && ReadNameValue(inner, nameValue, name, value) && name == "OSAttr")
      catalog.osAttr = value;
  }
}

bool ReadTrustList(const DerReader& outer, const DerElement& list, Catalog& catalog) {
  DerReader reader = outer.Enter(list);
  DerElement element;
  reader.NextIf(kDerInteger, element);
  if (!reader.NextIf(kDerSequence, element)) return false;  // subject usage
  reader.NextIf(kDerOctetString, element);
  reader.NextIf(kDerInteger, element);
  if (!reader.NextIf(kDerUtcTime, element) && !reader.NextIf(kDerGeneralizedTime, element)) return false;
  if (!reader.NextIf(kDerUtcTime, element)) reader.NextIf(kDerGeneralizedTime, element);
  if (!reader.NextIf(kDerSequence, element)) return false;  // subject algorithm
  if (reader.NextIf(kDerSequence, element)) {
    DerReader subjects = reader.Enter(element);
    DerElement subject;
    while (subjects.Next(subject)) ReadMember(subjects, subject, catalog);
    if (subjects.Failed()) return false;
  }
  if (reader.NextIf(DerContext(0), element)) ReadExtensions(reader, element, catalog);
  return !reader.Failed();
}

std::string IsoTime(const DerElement& time) {
  std::string digits(time.contents);
  if (time.tag == kDerUtcTime && digits.size() >= 12) digits = (digits.substr(0, 2) < "50" ? "20" : "19") + digits;
  if (digits.size() < 14) return std::string();
  return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2) + "T" + digits.substr(8, 2) +
         ":" + digits.substr(10, 2) + ":" + digits.substr(12, 2) + "Z";
}

const char* AttributeName(const std::string& oid) {
  if (oid == "2.5.4.3") return "CN";
  if (oid == "2.5.4.10") return "O";
  if (oid == "2.5.4.11") return "OU";
  if (oid == "2.5.4.6") return "C";
  if (oid == "2.5.4.7") return "L";
  if (oid == "2.5.4.8") return "S";
  return nullptr;
}

// A distinguished name as "CN=..., O=...", in its encoded order.
std::string NameText(const DerReader& outer, const DerElement& name) {
  std::string text;
  DerReader sets = outer.Enter(name);
  DerElement set;
  while (sets.Next(set)) {
    DerReader pairs = sets.Enter(set);
    DerElement pair;
    while (pairs.Next(pair)) {
      DerElement parts[2];
      if (!Split(pairs, pair, parts)) continue;
      const char* label = AttributeName(OidOf(parts[0]));
      const std::string value = parts[1].tag == kDerBmpString ? Utf16ToUtf8(parts[1].contents, true)
                                                              : std::string(parts[1].contents);
      text += (text.empty() ? "" : ", ") + (label ? std::string(label) : OidOf(parts[0])) + "=" + value;
    }
  }
  return text;
}

// Finds the certificate issued by `issuer` with `serial` and takes its
// subject and end of validity.
bool FindCertificate(const DerReader& outer, const DerElement& certificates, const DerElement& issuer,
                     const DerElement& serial, CatalogSigner& signer) {
  DerReader each = outer.Enter(certificates);
  DerElement certificate;
  while (each.Next(certificate)) {
    DerElement tbs[1];
    if (!Split(each, certificate, tbs)) continue;
    DerReader fields = each.Enter(tbs[0]);
    DerElement field;
    DerElement parts[5];  // serial, signature algorithm, issuer, validity, subject
    fields.NextIf(DerContext(0), field);
    bool complete = true;
    for (DerElement& part : parts) complete = complete && fields.Next(part);
    if (!complete || parts[0].contents != serial.contents || parts[2].whole != issuer.whole) continue;
    DerElement validity[2];
    if (Split(fields, parts[3], validity)) signer.notAfter = IsoTime(validity[1]);
    signer.subject = NameText(fields, parts[4]);
    signer.certificate = std::string(certificate.whole);
    return true;
  }
  return false;
}

void ReadSignedAttributes(const DerReader& outer, const DerElement& attributes, CatalogSigner& signer) {
  // They are signed as a SET, though stored under an implicit [0] tag.
  signer.signedAttributes = std::string(attributes.whole);
  signer.signedAttributes[0] = static_cast<char>(kDerSet);
  DerReader each = outer.Enter(attributes);
  DerElement attribute;
  while (each.Next(attribute)) {
    DerElement parts[2];
    DerElement value;
    if (!Split(each, attribute, parts) || OidOf(parts[0]) != kMessageDigest) continue;
    DerReader values = each.Enter(parts[1]);
    if (values.NextIf(kDerOctetString, value)) signer.messageDigest = std::string(value.contents);
  }
}

bool IsTimestamp(const DerReader& outer, const DerElement& unsignedAttributes) {
  DerReader each = outer.Enter(unsignedAttributes);
  DerElement attribute;
  while (each.Next(attribute)) {
    DerElement parts[1];
    if (!Split(each, attribute, parts)) continue;
    const std::string oid = OidOf(parts[0]);
    if (oid == kCounterSignature || oid == kTimeStampToken) return true;
  }
  return false;
}

// The first signer, when its certificate is in the catalog.
void ReadSigner(const DerReader& outer, const DerElement& signerInfos, const DerElement* certificates,
                Catalog& catalog) {
  DerReader each = outer.Enter(signerInfos);
  DerElement info;
  if (!each.Next(info) || certificates == nullptr) return;
  DerReader fields = each.Enter(info);
  DerElement version, issuerSerial, digestAlgorithm, element;
  if (!fields.Next(version) || !fields.Next(issuerSerial) || !fields.Next(digestAlgorithm)) return;
  DerElement idParts[2];
  if (!Split(fields, issuerSerial, idParts)) return;
  CatalogSigner signer;
  if (!FindCertificate(outer, *certificates, idParts[0], idParts[1], signer)) return;
  DerElement algorithm[1];
  if (Split(fields, digestAlgorithm, algorithm)) signer.digestKind = DigestKindOf(OidOf(algorithm[0]));
  if (fields.NextIf(DerContext(0), element)) ReadSignedAttributes(fields, element, signer);
  if (!fields.NextIf(kDerSequence, element) || !fields.NextIf(kDerOctetString, element)) return;
  signer.signature = std::string(element.contents);
  if (fields.NextIf(DerContext(1), element)) signer.timestamped = IsTimestamp(fields, element);
  catalog.signer = std::move(signer);
}

bool ReadSignedData(const DerReader& outer, const DerElement& signedData, Catalog& catalog, std::string& problem) {
  DerReader fields = outer.Enter(signedData);
  DerElement version, digestAlgorithms, encapsulated, element, signerInfos;
  if (!fields.NextIf(kDerInteger, version) || !fields.NextIf(kDerSet, digestAlgorithms) ||
      !fields.NextIf(kDerSequence, encapsulated)) {
    problem = "not a PKCS#7 SignedData";
    return false;
  }
  DerReader content = fields.Enter(encapsulated);
  DerElement type, wrapped, list;
  if (!content.Next(type) || OidOf(type) != kTrustList || !content.NextIf(DerContext(0), wrapped)) {
    problem = "its content is not a certificate trust list";
    return false;
  }
  DerReader inner = content.Enter(wrapped);
  if (!inner.NextIf(kDerSequence, list) || !ReadTrustList(inner, list, catalog)) {
    problem = "its certificate trust list is malformed";
    return false;
  }
  catalog.content = std::string(list.contents);
  DerElement certificates;
  const bool haveCertificates = fields.NextIf(DerContext(0), certificates);
  fields.NextIf(DerContext(1), element);
  if (fields.NextIf(kDerSet, signerInfos))
    ReadSigner(fields, signerInfos, haveCertificates ? &certificates : nullptr, catalog);
  return true;
}

}  // namespace

std::optional<DigestKind> DigestKindOf(const std::string& oid) {
  if (oid == "1.3.14.3.2.26") return DigestKind::kSha1;
  if (oid == "2.16.840.1.101.3.4.2.1") return DigestKind::kSha256;
  return std::nullopt;
}

bool ReadCatalog(std::string_view der, Catalog& catalog, std::string& problem) {
  DerReader top(der);
  DerElement contentInfo;
  DerElement parts[2];
  if (!top.NextIf(kDerSequence, contentInfo) || !Split(top, contentInfo, parts) ||
      OidOf(parts[0]) != kSignedData || parts[1].tag != DerContext(0)) {
    problem = der.empty() ? "it is empty" : "it is not PKCS#7 signed data";
    return false;
  }
  DerReader explicitTag = top.Enter(parts[1]);
  DerElement signedData;
  Catalog read;
  if (!explicitTag.NextIf(kDerSequence, signedData) || !ReadSignedData(explicitTag, signedData, read, problem)) {
    if (problem.empty()) problem = "it is not PKCS#7 signed data";
    return false;
  }
  catalog = std::move(read);
  return true;
}

}  // namespace varnoll::package
