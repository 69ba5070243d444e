// A bounded walk over DER (the encoding of catalogs and certificates):
// every read checks its length against what encloses it, and nesting is
// limited, so no input can make it read outside its bytes, recurse without
// end or allocate by a length it claims.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace varnoll {

// One element: its tag, its whole encoding and its contents.
struct DerElement {
  uint8_t tag = 0;
  std::string_view whole;
  std::string_view contents;

  bool IsConstructed() const { return (tag & 0x20) != 0; }
};

constexpr uint8_t kDerInteger = 0x02;
constexpr uint8_t kDerOctetString = 0x04;
constexpr uint8_t kDerOid = 0x06;
constexpr uint8_t kDerSequence = 0x30;
constexpr uint8_t kDerSet = 0x31;
constexpr uint8_t kDerBmpString = 0x1E;
constexpr uint8_t kDerUtcTime = 0x17;
constexpr uint8_t kDerGeneralizedTime = 0x18;
// [n] EXPLICIT, constructed, context-specific.
constexpr uint8_t DerContext(int n) { return static_cast<uint8_t>(0xA0 | n); }

// The deepest nesting any reader of ours follows; catalogs need about 12.
constexpr int kDerMaxDepth = 32;

// Reads the elements of one level in turn.
class DerReader {
 public:
  // `depth` is how deep `bytes` lies; past kDerMaxDepth nothing is read.
  explicit DerReader(std::string_view bytes, int depth = 0) : rest_(bytes), depth_(depth) {}

  // The next element, or false at the end or on a malformed one (then the
  // reader is spent and Failed() says so).
  bool Next(DerElement& element);
  // The next element only when it has `tag`; otherwise nothing is taken.
  bool NextIf(uint8_t tag, DerElement& element);

  // A reader over an element's contents, one level deeper.
  DerReader Enter(const DerElement& element) const { return DerReader(element.contents, depth_ + 1); }

  bool AtEnd() const { return rest_.empty(); }
  bool Failed() const { return failed_; }

 private:
  std::string_view rest_;
  int depth_;
  bool failed_ = false;
};

// The whole size (header and contents) the first element of `prefix`
// declares, from its first bytes; 0 when they are no DER header (or too few
// to tell).
size_t DeclaredDerSize(std::string_view prefix);

// Dotted text of an object identifier's contents ("1.3.6.1.4.1.311.10.1"),
// or empty when malformed.
std::string OidText(std::string_view contents);

// Reads `element` as one SEQUENCE-like level, filling `parts` in order;
// false when it holds fewer.
template <size_t N>
bool SplitDer(const DerReader& outer, const DerElement& element, DerElement (&parts)[N]) {
  DerReader reader = outer.Enter(element);
  for (DerElement& part : parts) {
    if (!reader.Next(part)) return false;
  }
  return true;
}

// The dotted text of an OID element; empty for any other element.
std::string OidOf(const DerElement& element);

// Calls `each(oid, values)` for every attribute (SEQUENCE { OID, SET })
// inside `attributes`; `values` reads the attribute's SET.
template <typename Each>
void ForEachDerAttribute(const DerReader& outer, const DerElement& attributes, Each each) {
  DerReader list = outer.Enter(attributes);
  DerElement attribute;
  while (list.Next(attribute)) {
    DerElement parts[2];
    if (!SplitDer(list, attribute, parts)) continue;
    DerReader values = list.Enter(parts[1]);
    each(OidOf(parts[0]), values);
  }
}

// A UTCTime or GeneralizedTime as ISO 8601 UTC ("2024-09-24T10:00:00Z");
// empty when it is neither or too short.
std::string IsoTime(const DerElement& time);

// UTF-16 big-endian (a BMPString) or little-endian bytes as UTF-8.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace varnoll
