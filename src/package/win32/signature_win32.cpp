// Public keys through crypt32 and CNG. Only RSA keys, which is what driver
// catalogs and their chains carry; any other key does not verify.
#include "signature.h"

#include "crypt_owners.h"
#include "digest.h"

namespace varnoll::package {

namespace {

const wchar_t* AlgorithmName(DigestKind kind) {
  switch (kind) {
    case DigestKind::kSha1:
      return BCRYPT_SHA1_ALGORITHM;
    case DigestKind::kSha384:
      return BCRYPT_SHA384_ALGORITHM;
    case DigestKind::kSha512:
      return BCRYPT_SHA512_ALGORITHM;
    default:
      return BCRYPT_SHA256_ALGORITHM;
  }
}

// `algorithm` null: the signature holds the bare digest.
bool Verify(const std::string& publicKeyInfo, const wchar_t* algorithm, DigestKind kind, const std::string& data,
            const std::string& signature) {
  CERT_PUBLIC_KEY_INFO* decoded = nullptr;
  DWORD size = 0;
  if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO,
                           reinterpret_cast<const BYTE*>(publicKeyInfo.data()), static_cast<DWORD>(publicKeyInfo.size()),
                           CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded, &size))
    return false;
  const LocalOwner info(decoded);
  BCRYPT_KEY_HANDLE imported = nullptr;
  if (!CryptImportPublicKeyInfoEx2(X509_ASN_ENCODING, decoded, 0, nullptr, &imported)) return false;
  const KeyOwner key(imported);
  std::string digest = DigestOf(kind, data);
  BCRYPT_PKCS1_PADDING_INFO padding{algorithm};
  std::string copy = signature;
  return BCryptVerifySignature(key.get(), &padding, reinterpret_cast<PUCHAR>(digest.data()),
                               static_cast<ULONG>(digest.size()), reinterpret_cast<PUCHAR>(copy.data()),
                               static_cast<ULONG>(copy.size()), BCRYPT_PAD_PKCS1) >= 0;
}

}  // namespace

bool VerifyWithPublicKey(const std::string& publicKeyInfo, DigestKind kind, const std::string& data,
                         const std::string& signature) {
  return Verify(publicKeyInfo, AlgorithmName(kind), kind, data, signature);
}

bool VerifyBareDigest(const std::string& publicKeyInfo, DigestKind kind, const std::string& data,
                      const std::string& signature) {
  return Verify(publicKeyInfo, nullptr, kind, data, signature);
}

}  // namespace varnoll::package
