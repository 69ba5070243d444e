// libFuzzer target: bytes through the catalog reader, the signature check,
// the time stamp reader and the chain builder. Besides crashes and
// sanitizer reports it checks what must hold whatever the bytes: a catalog
// read holds no more members than the input has bytes, every member's
// digest lies within the input, and a chain is never longer than the
// certificates it is built from.
#include "catalog.h"
#include "chain.h"
#include "signature.h"
#include "timestamp.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "catalog reader: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  varnoll::package::Catalog catalog;
  std::string problem;
  if (!varnoll::package::ReadCatalog(bytes, catalog, problem)) {
    Require(!problem.empty(), "a refusal without a reason");
    return 0;
  }
  Require(catalog.members.size() <= size, "more members than bytes");
  for (const varnoll::package::CatalogMember& member : catalog.members) {
    Require(member.digest.size() <= size && bytes.find(member.digest) != std::string::npos,
            "a digest that is not in the input");
  }
  Require(catalog.content.size() <= size, "content longer than the input");
  varnoll::package::CheckSignature(catalog);
  // A verifier that accepts every link lets the builder walk whatever the
  // names allow, loops of cross-signatures included.
  const varnoll::trust::KeyVerifier any = [](const std::string&, varnoll::DigestKind, const std::string&,
                                             const std::string&) { return true; };
  for (const varnoll::trust::Certificate& certificate : catalog.certificates) {
    const varnoll::trust::Chain chain = varnoll::trust::BuildChain(certificate, catalog.certificates, {}, any);
    Require(chain.certificates.size() <= catalog.certificates.size() + 1, "a chain longer than its certificates");
  }
  if (catalog.signer)
    varnoll::trust::ReadTimeStamp(catalog.signer->unsignedAttributes, catalog.signer->signature, catalog.certificates,
                                  any, any);
  return 0;
}
