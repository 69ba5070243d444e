#include "signer_check.h"

namespace varnoll::package {

namespace {

void Add(PackageReport& report, const char* code, bool fails, const std::string& file, const std::string& text) {
  report.findings.push_back({code, fails, file, text});
}

}  // namespace

void CheckSigner(const std::string& catalogPath, const Catalog& catalog, const PackageContext& context,
                 PackageReport& report) {
  const SignatureState state = CheckSignature(catalog);
  const std::string& name = *report.catalog;
  report.signature = state == SignatureState::kIntact ? "intact" : state == SignatureState::kBroken ? "broken" : "none";
  report.osAttr = catalog.osAttr;
  if (catalog.signer) {
    report.signedBy = catalog.signer->subject;
    report.signedUntil = catalog.signer->notAfter;
    report.timestamped = catalog.signer->timestamped;
  }
  if (state == SignatureState::kBroken)
    Add(report, "signature-broken", true, name, "the signature of " + name + " does not match its contents");
  if (state == SignatureState::kNone)
    Add(report, "signature-broken", true, name, name + " is not signed: Windows takes no unsigned catalog");
  if (context.trust == nullptr) return;
  report.trusted = context.trust->CatalogTrusted(catalogPath);
  if (catalog.signer) report.trustedPublisher = context.trust->InTrustedPublisher(catalog.signer->certificate);
  const std::optional<std::string> version = context.trust->OsVersion();
  if (version && catalog.osAttr) report.osCovered = OsAttrCovers(*catalog.osAttr, *version);
  if (report.trusted == false)
    Add(report, "not-trusted", true, name, "not trusted on this machine: " + name + "'s signer has no trusted chain here");
  if (report.trustedPublisher == false)
    Add(report, "publisher-not-trusted", true, name,
        "not trusted on this machine: " + catalog.signer->subject +
            " is not in its TrustedPublisher store, so Windows would ask, and an unattended install fails");
  if (report.osCovered == false)
    Add(report, "os-not-covered", true, name, name + "'s OSAttr (" + *catalog.osAttr + ") leaves out Windows " + *version);
}

}  // namespace varnoll::package
