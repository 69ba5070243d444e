// Digests through Windows' CNG (bcrypt.dll, Windows 7 and later).
#include "digest.h"

#include <windows.h>

#include <bcrypt.h>

namespace varnoll {

struct CDigest::State {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  ULONG size = 0;

  ~State() { Close(); }
  void Close() {
    if (hash) BCryptDestroyHash(hash);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
    hash = nullptr;
    algorithm = nullptr;
  }
};

// BCrypt calls return an NTSTATUS: negative values are failures.
CDigest::CDigest(DigestKind kind) : state_(new State) {
  const wchar_t* name = kind == DigestKind::kSha1     ? BCRYPT_SHA1_ALGORITHM
                        : kind == DigestKind::kSha384 ? BCRYPT_SHA384_ALGORITHM
                        : kind == DigestKind::kSha512 ? BCRYPT_SHA512_ALGORITHM
                                                      : BCRYPT_SHA256_ALGORITHM;
  state_->size = kind == DigestKind::kSha1 ? 20 : kind == DigestKind::kSha384 ? 48 : kind == DigestKind::kSha512 ? 64 : 32;
  if (BCryptOpenAlgorithmProvider(&state_->algorithm, name, nullptr, 0) < 0) {
    state_->algorithm = nullptr;
    return;
  }
  if (BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0) < 0) state_->Close();
}

CDigest::~CDigest() = default;

bool CDigest::IsValid() const { return state_->hash != nullptr; }

void CDigest::Update(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (state_->hash && size > 0) {
    const ULONG chunk = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
    if (BCryptHashData(state_->hash, const_cast<PUCHAR>(bytes), chunk, 0) < 0) state_->Close();
    bytes += chunk;
    size -= chunk;
  }
}

std::string CDigest::Finish() {
  unsigned char digest[64];
  if (!state_->hash || BCryptFinishHash(state_->hash, digest, state_->size, 0) < 0) return std::string();
  const ULONG size = state_->size;
  state_->Close();
  return std::string(reinterpret_cast<const char*>(digest), size);
}

}  // namespace varnoll
