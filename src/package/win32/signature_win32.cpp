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

// The key of a SubjectPublicKeyInfo (DER), decoded by crypt32; empty
// when it is none.
LocalOwner DecodeKeyInfo(const std::string& publicKeyInfo) {
  CERT_PUBLIC_KEY_INFO* decoded = nullptr;
  DWORD size = 0;
  if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO,
                           reinterpret_cast<const BYTE*>(publicKeyInfo.data()), static_cast<DWORD>(publicKeyInfo.size()),
                           CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded, &size))
    return LocalOwner();
  return LocalOwner(decoded);
}

}  // namespace

bool VerifyWithPublicKey(const std::string& publicKeyInfo, DigestKind kind, const std::string& data,
                         const std::string& signature) {
  const LocalOwner info = DecodeKeyInfo(publicKeyInfo);
  auto* decoded = static_cast<CERT_PUBLIC_KEY_INFO*>(info.get());
  BCRYPT_KEY_HANDLE imported = nullptr;
  if (decoded == nullptr || !CryptImportPublicKeyInfoEx2(X509_ASN_ENCODING, decoded, 0, nullptr, &imported)) return false;
  const KeyOwner key(imported);
  std::string digest = DigestOf(kind, data);
  BCRYPT_PKCS1_PADDING_INFO padding{AlgorithmName(kind)};
  std::string copy = signature;
  return BCryptVerifySignature(key.get(), &padding, reinterpret_cast<PUCHAR>(digest.data()),
                               static_cast<ULONG>(digest.size()), reinterpret_cast<PUCHAR>(copy.data()),
                               static_cast<ULONG>(copy.size()), BCRYPT_PAD_PKCS1) >= 0;
}

// CNG's PKCS #1 padding without an algorithm is what Windows documents for
// this, but Wine's CNG does not verify it; CryptoAPI's CRYPT_NOHASHOID does
// the same on both, so the Windows tools agree with the Linux one.
bool VerifyBareDigest(const std::string& publicKeyInfo, DigestKind kind, const std::string& data,
                      const std::string& signature) {
  const LocalOwner info = DecodeKeyInfo(publicKeyInfo);
  auto* decoded = static_cast<CERT_PUBLIC_KEY_INFO*>(info.get());
  const ALG_ID algorithm = kind == DigestKind::kSha1     ? CALG_SHA1
                           : kind == DigestKind::kSha384 ? CALG_SHA_384
                           : kind == DigestKind::kSha512 ? CALG_SHA_512
                                                         : CALG_SHA_256;
  ProviderOwner provider;
  LegacyKeyOwner key;
  HashOwner hash;
  if (decoded == nullptr || !CryptAcquireContextW(provider.Receive(), nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) ||
      !CryptImportPublicKeyInfo(provider.Get(), X509_ASN_ENCODING, decoded, key.Receive()) ||
      !CryptCreateHash(provider.Get(), algorithm, 0, 0, hash.Receive()) ||
      !CryptHashData(hash.Get(), reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()), 0))
    return false;
  // CryptoAPI takes the signature little-endian.
  const std::string reversed(signature.rbegin(), signature.rend());
  return CryptVerifySignatureW(hash.Get(), reinterpret_cast<const BYTE*>(reversed.data()),
                               static_cast<DWORD>(reversed.size()), key.Get(), nullptr, CRYPT_NOHASHOID) != FALSE;
}

}  // namespace varnoll::package
