// SHA-1 and SHA-2 from the platform (Windows' CNG, OpenSSL on Linux): the
// driver store compares INFs by SHA-256, catalogs identify files by SHA-1
// or SHA-256, and signatures may use SHA-384 or SHA-512 too.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace varnoll {

enum class DigestKind { kSha1, kSha256, kSha384, kSha512 };

class CDigest {
 public:
  explicit CDigest(DigestKind kind);
  ~CDigest();
  CDigest(const CDigest&) = delete;
  CDigest& operator=(const CDigest&) = delete;

  // False when the platform could not start the hash; Update then does
  // nothing and Finish returns empty.
  bool IsValid() const;
  void Update(const void* data, size_t size);
  // The raw digest; the object is spent after it.
  std::string Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The raw digest of `bytes`, or empty when the platform cannot hash.
std::string DigestOf(DigestKind kind, const std::string& bytes);

}  // namespace varnoll
