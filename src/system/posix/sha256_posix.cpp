// SHA-256 through OpenSSL's libcrypto.
#include "sha256.h"

#include "ascii.h"

#include <openssl/evp.h>

namespace varnoll {

struct CSha256::State {
  struct Free {
    void operator()(EVP_MD_CTX* owned) const { EVP_MD_CTX_free(owned); }
  };
  std::unique_ptr<EVP_MD_CTX, Free> context;
};

CSha256::CSha256() : state_(new State) {
  state_->context.reset(EVP_MD_CTX_new());
  if (state_->context && EVP_DigestInit_ex(state_->context.get(), EVP_sha256(), nullptr) != 1) {
    state_->context.reset();
  }
}

CSha256::~CSha256() = default;

bool CSha256::IsValid() const { return state_->context != nullptr; }

void CSha256::Update(const void* data, size_t size) {
  if (state_->context && EVP_DigestUpdate(state_->context.get(), data, size) != 1) state_->context.reset();
}

std::string CSha256::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!state_->context || EVP_DigestFinal_ex(state_->context.get(), digest, &length) != 1)
    return std::string();
  state_->context.reset();
  return HexBytes(digest, length);
}

}  // namespace varnoll
