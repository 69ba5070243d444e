// SHA-256 through Windows' CNG (bcrypt.dll, Windows 7 and later).
#include "sha256.h"

#include "ascii.h"

#include <windows.h>

#include <bcrypt.h>

namespace varnoll {

struct CSha256::State {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;

  ~State() { Close(); }
  void Close() {
    if (hash) BCryptDestroyHash(hash);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
    hash = nullptr;
    algorithm = nullptr;
  }
};

// BCrypt calls return an NTSTATUS; 0 and the other non-negative values are
// success.
CSha256::CSha256() : state_(new State) {
  if (BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) {
    state_->algorithm = nullptr;
    return;
  }
  // Since Windows 7 the hash object may be left for CNG to allocate.
  if (BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0) < 0) state_->Close();
}

CSha256::~CSha256() = default;

bool CSha256::IsValid() const { return state_->hash != nullptr; }

void CSha256::Update(const void* data, size_t size) {
  // BCryptHashData takes a ULONG count.
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (state_->hash && size > 0) {
    const ULONG chunk = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
    if (BCryptHashData(state_->hash, const_cast<PUCHAR>(bytes), chunk, 0) < 0) state_->Close();
    bytes += chunk;
    size -= chunk;
  }
}

std::string CSha256::HexDigest() {
  unsigned char digest[32];
  if (!state_->hash || BCryptFinishHash(state_->hash, digest, sizeof digest, 0) < 0) return std::string();
  state_->Close();
  return HexBytes(digest, sizeof digest);
}

}  // namespace varnoll
