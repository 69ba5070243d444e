// The signer's key through crypt32 and CNG. Only RSA signers, which is what
// driver catalogs carry; any other key reads as a broken signature.
#include "signature.h"

#include "crypt_owners.h"
#include "digest.h"

namespace varnoll::package {

bool VerifyWithCertificate(const std::string& certificate, DigestKind kind, const std::string& data,
                           const std::string& signature) {
  const CertificateOwner owner = LoadCertificate(certificate);
  BCRYPT_KEY_HANDLE imported = nullptr;
  if (!owner ||
      !CryptImportPublicKeyInfoEx2(X509_ASN_ENCODING, &owner->pCertInfo->SubjectPublicKeyInfo, 0, nullptr, &imported))
    return false;
  const KeyOwner key(imported);
  std::string digest = DigestOf(kind, data);
  BCRYPT_PKCS1_PADDING_INFO padding{kind == DigestKind::kSha1 ? BCRYPT_SHA1_ALGORITHM : BCRYPT_SHA256_ALGORITHM};
  std::string copy = signature;
  return BCryptVerifySignature(key.get(), &padding, reinterpret_cast<PUCHAR>(digest.data()),
                               static_cast<ULONG>(digest.size()), reinterpret_cast<PUCHAR>(copy.data()),
                               static_cast<ULONG>(copy.size()), BCRYPT_PAD_PKCS1) >= 0;
}

}  // namespace varnoll::package
