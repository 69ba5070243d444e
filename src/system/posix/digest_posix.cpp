// Digests through OpenSSL's libcrypto.
#include "digest.h"

#include <openssl/evp.h>

namespace varnoll {

struct CDigest::State {
  struct Free {
    void operator()(EVP_MD_CTX* owned) const { EVP_MD_CTX_free(owned); }
  };
  std::unique_ptr<EVP_MD_CTX, Free> context;
};

CDigest::CDigest(DigestKind kind) : state_(new State) {
  state_->context.reset(EVP_MD_CTX_new());
  const EVP_MD* md = kind == DigestKind::kSha1     ? EVP_sha1()
                     : kind == DigestKind::kSha384 ? EVP_sha384()
                     : kind == DigestKind::kSha512 ? EVP_sha512()
                                                   : EVP_sha256();
  if (state_->context && EVP_DigestInit_ex(state_->context.get(), md, nullptr) != 1) state_->context.reset();
}

CDigest::~CDigest() = default;

bool CDigest::IsValid() const { return state_->context != nullptr; }

void CDigest::Update(const void* data, size_t size) {
  if (state_->context && EVP_DigestUpdate(state_->context.get(), data, size) != 1) state_->context.reset();
}

std::string CDigest::Finish() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!state_->context || EVP_DigestFinal_ex(state_->context.get(), digest, &length) != 1) return std::string();
  state_->context.reset();
  return std::string(reinterpret_cast<const char*>(digest), length);
}

}  // namespace varnoll
