// A bounded walk over DER (the encoding of catalogs and certificates):
// every read checks its length against what encloses it, and nesting is
// limited, so no input can make it read outside its bytes, recurse without
// end or allocate by a length it claims.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace varnoll::package {

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

// UTF-16 big-endian (a BMPString) or little-endian bytes as UTF-8.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace varnoll::package
