// Public keys from OpenSSL; Linux has no trust store of Windows' to ask.
#include "signature.h"

#include "digest.h"

#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <memory>

namespace varnoll::package {

namespace {

struct FreeKey {
  void operator()(EVP_PKEY* owned) const { EVP_PKEY_free(owned); }
};
struct FreeKeyContext {
  void operator()(EVP_PKEY_CTX* owned) const { EVP_PKEY_CTX_free(owned); }
};
struct FreeContext {
  void operator()(EVP_MD_CTX* owned) const { EVP_MD_CTX_free(owned); }
};

const EVP_MD* MessageDigest(DigestKind kind) {
  switch (kind) {
    case DigestKind::kSha1:
      return EVP_sha1();
    case DigestKind::kSha384:
      return EVP_sha384();
    case DigestKind::kSha512:
      return EVP_sha512();
    default:
      return EVP_sha256();
  }
}

}  // namespace

bool VerifyWithPublicKey(const std::string& publicKeyInfo, DigestKind kind, const std::string& data,
                         const std::string& signature) {
  const auto* der = reinterpret_cast<const unsigned char*>(publicKeyInfo.data());
  std::unique_ptr<EVP_PKEY, FreeKey> key(d2i_PUBKEY(nullptr, &der, static_cast<long>(publicKeyInfo.size())));
  std::unique_ptr<EVP_MD_CTX, FreeContext> context(EVP_MD_CTX_new());
  if (!key || !context) return false;
  return EVP_DigestVerifyInit(context.get(), nullptr, MessageDigest(kind), nullptr, key.get()) == 1 &&
         EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()), signature.size(),
                          reinterpret_cast<const unsigned char*>(data.data()), data.size()) == 1;
}

bool VerifyBareDigest(const std::string& publicKeyInfo, DigestKind kind, const std::string& data,
                      const std::string& signature) {
  const auto* der = reinterpret_cast<const unsigned char*>(publicKeyInfo.data());
  std::unique_ptr<EVP_PKEY, FreeKey> key(d2i_PUBKEY(nullptr, &der, static_cast<long>(publicKeyInfo.size())));
  if (!key || EVP_PKEY_base_id(key.get()) != EVP_PKEY_RSA) return false;
  std::unique_ptr<EVP_PKEY_CTX, FreeKeyContext> context(EVP_PKEY_CTX_new(key.get(), nullptr));
  const std::string digest = DigestOf(kind, data);
  // No signature digest set: PKCS #1 v1.5 compares the bare bytes.
  return context && EVP_PKEY_verify_init(context.get()) == 1 &&
         EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) == 1 &&
         EVP_PKEY_verify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()), signature.size(),
                         reinterpret_cast<const unsigned char*>(digest.data()), digest.size()) == 1;
}

}  // namespace varnoll::package
