// SHA-256 of a stream of bytes, from the platform's own implementation
// (Windows' CNG, OpenSSL on Linux).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace varnoll {

class CSha256 {
 public:
  CSha256();
  ~CSha256();
  CSha256(const CSha256&) = delete;
  CSha256& operator=(const CSha256&) = delete;

  // False when the platform could not start a hash; Update and HexDigest
  // then do nothing and return empty.
  bool IsValid() const;

  void Update(const void* data, size_t size);

  // The digest as 64 lower-case hex digits; the object is spent after it.
  std::string HexDigest();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace varnoll
