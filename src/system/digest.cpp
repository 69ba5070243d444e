#include "digest.h"

namespace varnoll {

std::string DigestOf(DigestKind kind, const std::string& bytes) {
  CDigest digest(kind);
  digest.Update(bytes.data(), bytes.size());
  return digest.Finish();
}

}  // namespace varnoll
