#include "catalog.h"

#include "der.h"
#include "signed_data.h"

namespace varnoll::package {

namespace {

const char kTrustList[] = "1.3.6.1.4.1.311.10.1";
const char kIndirectData[] = "1.3.6.1.4.1.311.2.1.4";
const char kPeImageData[] = "1.3.6.1.4.1.311.2.1.15";
const char kNameValue[] = "1.3.6.1.4.1.311.12.2.1";

// A name-value attribute: SEQUENCE { BMPString name, INTEGER flags, OCTET STRING value }.
bool ReadNameValue(const DerReader& outer, const DerElement& element, std::string& name, std::string& value) {
  DerElement parts[3];
  if (element.tag != kDerSequence || !SplitDer(outer, element, parts)) return false;
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
  if (!SplitDer(outer, element, parts) || !SplitDer(outer, parts[0], typeParts) || !SplitDer(outer, parts[1], digestParts))
    return;
  member.peImage = OidOf(typeParts[0]) == kPeImageData;
  if (SplitDer(outer, digestParts[0], algorithm)) member.kind = trust::DigestKindOf(OidOf(algorithm[0]));
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
    ForEachDerAttribute(reader, attributes, [&](const std::string& oid, DerReader& values) {
      DerElement value;
      if (oid == kIndirectData && values.Next(value)) ReadIndirectData(values, value, member);
    });
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

// The first signer, when its certificate came with the catalog.
void ReadSigner(const trust::SignedData& signedData, Catalog& catalog) {
  if (!signedData.signer) return;
  const trust::SignerInfo& info = *signedData.signer;
  const trust::Certificate* certificate = trust::FindSignerCertificate(info, signedData.certificates);
  if (certificate == nullptr) return;
  CatalogSigner signer;
  signer.subject = certificate->subjectText;
  signer.notAfter = certificate->notAfter;
  signer.certificate = certificate->der;
  signer.digestKind = info.digestKind;
  signer.signedAttributes = info.signedAttributes;
  signer.messageDigest = info.messageDigest;
  signer.signature = info.signature;
  signer.unsignedAttributes = info.unsignedAttributes;
  catalog.signer = std::move(signer);
}

}  // namespace

bool ReadCatalog(std::string_view der, Catalog& catalog, std::string& problem) {
  trust::SignedData signedData;
  if (!trust::ReadSignedData(der, signedData, problem)) return false;
  if (signedData.contentType != kTrustList || signedData.content.empty()) {
    problem = "its content is not a certificate trust list";
    return false;
  }
  DerReader inner(signedData.content, 2);
  DerElement list;
  Catalog read;
  if (!inner.NextIf(kDerSequence, list) || !ReadTrustList(inner, list, read)) {
    problem = "its certificate trust list is malformed";
    return false;
  }
  read.content = signedData.digested;
  ReadSigner(signedData, read);
  read.certificates = std::move(signedData.certificates);
  catalog = std::move(read);
  return true;
}

}  // namespace varnoll::package
