#include "certificate.h"

#include "der.h"

#include <algorithm>

namespace varnoll::trust {

namespace {

const char kExtendedKeyUsage[] = "2.5.29.37";

const char* AttributeName(const std::string& oid) {
  if (oid == "2.5.4.3") return "CN";
  if (oid == "2.5.4.10") return "O";
  if (oid == "2.5.4.11") return "OU";
  if (oid == "2.5.4.6") return "C";
  if (oid == "2.5.4.7") return "L";
  if (oid == "2.5.4.8") return "S";
  return nullptr;
}

void ReadUsages(const DerReader& outer, const DerElement& value, Certificate& certificate) {
  DerReader wrapped = outer.Enter(value);
  DerElement list;
  if (!wrapped.NextIf(kDerSequence, list)) return;
  DerReader each = wrapped.Enter(list);
  DerElement usage;
  while (each.Next(usage)) certificate.usages.push_back(OidOf(usage));
}

// extensions [3] { SEQUENCE OF SEQUENCE { oid, critical?, OCTET STRING } }
void ReadExtensions(const DerReader& outer, const DerElement& tagged, Certificate& certificate) {
  DerReader explicitTag = outer.Enter(tagged);
  DerElement list;
  if (!explicitTag.NextIf(kDerSequence, list)) return;
  DerReader each = explicitTag.Enter(list);
  DerElement extension;
  while (each.Next(extension)) {
    DerReader parts = each.Enter(extension);
    DerElement oid, part;
    if (!parts.Next(oid) || OidOf(oid) != kExtendedKeyUsage) continue;
    parts.NextIf(0x01, part);  // critical
    if (parts.NextIf(kDerOctetString, part)) ReadUsages(parts, part, certificate);
  }
}

// TBSCertificate: version [0]?, serial, signature, issuer, validity,
// subject, subjectPublicKeyInfo, ..., extensions [3]?
bool ReadSignedPart(const DerReader& outer, const DerElement& tbs, Certificate& certificate) {
  DerReader fields = outer.Enter(tbs);
  DerElement element;
  DerElement parts[6];  // serial, signature algorithm, issuer, validity, subject, key
  fields.NextIf(DerContext(0), element);
  for (DerElement& part : parts) {
    if (!fields.Next(part)) return false;
  }
  DerElement validity[2];
  if (parts[0].tag != kDerInteger || !SplitDer(fields, parts[3], validity)) return false;
  certificate.serial = std::string(parts[0].contents);
  certificate.issuer = std::string(parts[2].whole);
  certificate.subject = std::string(parts[4].whole);
  certificate.subjectText = NameText(parts[4].whole);
  certificate.notBefore = IsoTime(validity[0]);
  certificate.notAfter = IsoTime(validity[1]);
  certificate.publicKeyInfo = std::string(parts[5].whole);
  while (fields.Next(element)) {
    if (element.tag == DerContext(3)) ReadExtensions(fields, element, certificate);
  }
  return !fields.Failed();
}

}  // namespace

std::optional<DigestKind> DigestKindOf(const std::string& oid) {
  if (oid == "1.3.14.3.2.26") return DigestKind::kSha1;
  if (oid == "2.16.840.1.101.3.4.2.1") return DigestKind::kSha256;
  if (oid == "2.16.840.1.101.3.4.2.2") return DigestKind::kSha384;
  if (oid == "2.16.840.1.101.3.4.2.3") return DigestKind::kSha512;
  return std::nullopt;
}

std::optional<DigestKind> SignatureDigestOf(const std::string& oid) {
  // sha*WithRSAEncryption (PKCS #1) and ecdsa-with-SHA* (RFC 5758).
  if (oid == "1.2.840.113549.1.1.5" || oid == "1.2.840.10045.4.1" || oid == "1.3.14.3.2.29")
    return DigestKind::kSha1;
  if (oid == "1.2.840.113549.1.1.11" || oid == "1.2.840.10045.4.3.2") return DigestKind::kSha256;
  if (oid == "1.2.840.113549.1.1.12" || oid == "1.2.840.10045.4.3.3") return DigestKind::kSha384;
  if (oid == "1.2.840.113549.1.1.13" || oid == "1.2.840.10045.4.3.4") return DigestKind::kSha512;
  return std::nullopt;
}

namespace {

// Calls `each(oid, value)` for every attribute of a Name, in encoded order.
template <typename Each>
void ForEachAttribute(std::string_view name, Each each) {
  DerReader top(name);
  DerElement sequence;
  if (!top.NextIf(kDerSequence, sequence)) return;
  DerReader sets = top.Enter(sequence);
  DerElement set;
  while (sets.Next(set)) {
    DerReader pairs = sets.Enter(set);
    DerElement pair;
    while (pairs.Next(pair)) {
      DerElement parts[2];
      if (!SplitDer(pairs, pair, parts)) continue;
      each(OidOf(parts[0]), parts[1].tag == kDerBmpString ? Utf16ToUtf8(parts[1].contents, true)
                                                          : std::string(parts[1].contents));
    }
  }
}

}  // namespace

std::string NameText(std::string_view name) {
  std::string text;
  ForEachAttribute(name, [&](const std::string& oid, const std::string& value) {
    const char* label = AttributeName(oid);
    text += (text.empty() ? "" : ", ") + (label ? std::string(label) : oid) + "=" + value;
  });
  return text;
}

std::string NameAttribute(std::string_view name, const std::string& oid) {
  std::string found;
  ForEachAttribute(name, [&](const std::string& each, const std::string& value) {
    if (found.empty() && each == oid) found = value;
  });
  return found;
}

bool ReadCertificate(std::string_view der, Certificate& certificate) {
  DerReader top(der);
  DerElement whole;
  DerElement parts[3];  // TBSCertificate, signature algorithm, signature
  if (!top.NextIf(kDerSequence, whole) || !SplitDer(top, whole, parts)) return false;
  DerReader inside = top.Enter(whole);
  Certificate read;
  DerElement algorithm[1];
  if (parts[0].tag != kDerSequence || parts[2].tag != 0x03 || parts[2].contents.empty() ||
      !ReadSignedPart(inside, parts[0], read))
    return false;
  if (SplitDer(inside, parts[1], algorithm)) read.signatureDigest = SignatureDigestOf(OidOf(algorithm[0]));
  read.der = std::string(whole.whole);
  read.signedPart = std::string(parts[0].whole);
  read.signature = std::string(parts[2].contents.substr(1));
  certificate = std::move(read);
  return true;
}

bool HasUsage(const Certificate& certificate, const std::string& usage) {
  return std::find(certificate.usages.begin(), certificate.usages.end(), usage) != certificate.usages.end();
}

}  // namespace varnoll::trust
