// libFuzzer target: bytes through the catalog reader and the signature
// check. Besides crashes and sanitizer reports it checks what must hold
// whatever the bytes: a catalog read holds no more members than the input
// has bytes, and every member's digest lies within the input.
#include "catalog.h"
#include "signature.h"

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
  return 0;
}
