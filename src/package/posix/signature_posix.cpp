// The signer's key from OpenSSL; Linux has no trust store of Windows' to ask.
#include "signature.h"

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

namespace varnoll::package {

namespace {

struct FreeX509 {
  void operator()(X509* owned) const { X509_free(owned); }
};
struct FreeContext {
  void operator()(EVP_MD_CTX* owned) const { EVP_MD_CTX_free(owned); }
};

}  // namespace

bool VerifyWithCertificate(const std::string& certificate, DigestKind kind, const std::string& data,
                           const std::string& signature) {
  const auto* der = reinterpret_cast<const unsigned char*>(certificate.data());
  std::unique_ptr<X509, FreeX509> parsed(d2i_X509(nullptr, &der, static_cast<long>(certificate.size())));
  EVP_PKEY* key = parsed ? X509_get0_pubkey(parsed.get()) : nullptr;
  std::unique_ptr<EVP_MD_CTX, FreeContext> context(EVP_MD_CTX_new());
  if (key == nullptr || !context) return false;
  const EVP_MD* md = kind == DigestKind::kSha1 ? EVP_sha1() : EVP_sha256();
  return EVP_DigestVerifyInit(context.get(), nullptr, md, nullptr, key) == 1 &&
         EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()), signature.size(),
                          reinterpret_cast<const unsigned char*>(data.data()), data.size()) == 1;
}

}  // namespace varnoll::package
