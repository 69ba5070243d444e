#include "signer_check.h"

#include "kernel_service.h"
#include "timestamp.h"

#include <algorithm>
#include <ctime>

namespace varnoll::package {

namespace {

// Signer certificates issued before this day under a cross-signed root are
// exempt from the Microsoft signature for kernel drivers ("Driver Signing
// Policy", Windows 10 version 1607 and later).
const char kCrossSignedCutOff[] = "2015-07-29T00:00:00Z";
const char kCodeVerificationRoot[] = "Microsoft Code Verification Root";

void Add(PackageReport& report, const char* code, bool fails, const std::string& file, const std::string& text) {
  report.findings.push_back({code, fails, file, text});
}

std::string Now(const PackageContext& context) {
  if (context.now) return *context.now;
  // The tools run one thread: gmtime's shared result is safe here.
  const std::time_t now = std::time(nullptr);
  const std::tm* utc = std::gmtime(&now);
  char text[32] = "";
  if (utc != nullptr) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
  return text;
}

// Who the signer is to a person: its organisation, else its common name.
std::string DisplayName(const trust::Certificate& signer) {
  std::string name = trust::NameAttribute(signer.subject, "2.5.4.10");
  if (name.empty()) name = trust::NameAttribute(signer.subject, "2.5.4.3");
  return name.empty() ? signer.subjectText : name;
}

std::string SignerText(trust::SignerKind kind, const trust::Certificate& signer) {
  if (kind != trust::SignerKind::kMicrosoft) return DisplayName(signer);
  std::string name = trust::NameAttribute(signer.subject, "2.5.4.3");
  if (name.rfind("Microsoft ", 0) == 0) name.erase(0, 10);
  return "Microsoft (" + name + (trust::IsAttestation(signer) ? ", attestation)" : ", WHQL)");
}

// The exception for kernel drivers signed before the Microsoft signature
// became the rule: an old signer whose chain ends in a cross-certificate
// of Microsoft's code verification root.
bool CrossSignedBeforeCutOff(const trust::Chain& chain) {
  const trust::Certificate& top = chain.certificates.back();
  return chain.certificates.front().notBefore < kCrossSignedCutOff &&
         trust::NameAttribute(top.issuer, "2.5.4.3") == kCodeVerificationRoot;
}

void CheckKernelDriver(const InfDocument& inf, const std::string& hardwareId, const trust::Chain& chain,
                       const std::string& kindText, const PackageContext& context, PackageReport& report) {
  std::vector<std::string> services;
  for (Arch arch : context.arches) {
    for (const std::string& service : KernelServices(inf, arch, hardwareId)) {
      if (std::find(services.begin(), services.end(), service) == services.end()) services.push_back(service);
    }
  }
  if (services.empty()) return;
  const std::optional<bool> secureBoot = context.trust ? context.trust->SecureBootOn() : std::nullopt;
  const std::optional<bool> testSigning = context.trust ? context.trust->TestSigningOn() : std::nullopt;
  const bool exempt = CrossSignedBeforeCutOff(chain);
  const bool fails = secureBoot == true && testSigning == false && !exempt;
  const std::string where = !context.trust ? "wherever Secure Boot is on"
                      : secureBoot != true ? "were Secure Boot on (it is not here)"
                      : testSigning != false ? "unless test signing stays on (it is on here)"
                                             : "here (Secure Boot on, test signing off)";
  Add(report, "kernel-driver-not-microsoft-signed", fails, *report.catalog,
      "the package adds the kernel-mode service " + services.front() + " under a " + kindText +
          " signature: from Windows 10 version 1607 Windows loads a new kernel driver only when Microsoft signed it, " +
          where + ", else Device Manager code 52; the exceptions are Secure Boot off, test signing on, and a signer "
          "certificate issued before 29 July 2015 under a cross-signed root" +
          (exempt ? " (this signer's is such a certificate)" : ""));
}

// What a third party's or the signer's own signature means on each machine.
void CheckNotMicrosoft(const InfDocument& inf, const std::string& hardwareId, const trust::Chain& chain,
                       trust::SignerKind kind, const PackageContext& context, PackageReport& report) {
  const std::string kindText = trust::SignerKindName(kind);
  const std::string& name = report.signerText;
  if (context.trust == nullptr)
    Add(report, "needs-trusted-publisher", false, *report.catalog,
        kindText + " signature (" + name + "): Windows asks unless " + name +
            " is a trusted publisher (its root trusted and its certificate in TrustedPublisher, in practice on test "
            "machines or ones an admin prepared); never on ARM64 or in S mode");
  std::vector<std::string> where;
  if (Counts(context, Arch::kArm64)) where.push_back("on ARM64");
  if (context.trust && context.trust->InSMode() == true) where.push_back("in S mode");
  if (!where.empty())
    Add(report, "needs-microsoft-signature", true, *report.catalog,
        kindText + " signature (" + name + "): Windows " + where.front() + (where.size() > 1 ? " and " + where[1] : "") +
            " installs only driver packages Microsoft signed");
  CheckKernelDriver(inf, hardwareId, chain, kindText, context, report);
}

void AskTrust(const std::string& catalogPath, const Catalog& catalog, bool microsoft, const PackageContext& context,
              PackageReport& report) {
  const std::string& name = *report.catalog;
  report.trusted = context.trust->CatalogTrusted(catalogPath);
  // Nobody's TrustedPublisher holds Microsoft's certificate, and no
  // Microsoft signature needs it.
  if (catalog.signer && !microsoft) report.trustedPublisher = context.trust->InTrustedPublisher(catalog.signer->certificate);
  const std::optional<std::string> version = context.trust->OsVersion();
  if (version && catalog.osAttr) report.osCovered = OsAttrCovers(*catalog.osAttr, *version);
  if (report.trusted == false)
    Add(report, "not-trusted", true, name, "not trusted on this machine: " + name + "'s signer has no trusted chain here");
  if (report.trustedPublisher == false)
    Add(report, "publisher-not-trusted", true, name,
        "not trusted on this machine: " + report.signerKind.value_or("unknown") + " signature (" +
            report.signerText + "): " + catalog.signer->subject +
            " is not in its TrustedPublisher store, so Windows would ask, and an unattended install fails");
  if (report.osCovered == false)
    Add(report, "os-not-covered", true, name, name + "'s OSAttr (" + *catalog.osAttr + ") leaves out Windows " + *version);
}

// Who signed, and whether the signature still holds; returns the kind.
std::optional<trust::SignerKind> JudgeSigner(const Catalog& catalog, const InfDocument& inf,
                                             const std::string& hardwareId, const PackageContext& context,
                                             PackageReport& report) {
  const CatalogSigner& signer = *catalog.signer;
  trust::Certificate certificate;
  if (!trust::ReadCertificate(signer.certificate, certificate)) return std::nullopt;
  const std::optional<trust::TimeStamp> stamp =
      trust::ReadTimeStamp(signer.unsignedAttributes, signer.signature, catalog.certificates, VerifyWithPublicKey,
                           VerifyBareDigest);
  report.timestamped = stamp.has_value();
  // A time stamp holds the signature valid past its certificate only when
  // it was made while the certificate was valid.
  const bool stampHolds = stamp && stamp->verified && certificate.notBefore <= stamp->time &&
                          stamp->time <= certificate.notAfter;
  if (stampHolds) report.timestampedAt = stamp->time;
  const trust::Chain chain =
      trust::BuildChain(certificate, catalog.certificates, context.microsoftRoots, VerifyWithPublicKey);
  const trust::SignerKind kind = trust::Classify(chain);
  report.signerKind = trust::SignerKindName(kind);
  for (const trust::Certificate& link : chain.certificates) report.signerChain.push_back(link.subjectText);
  report.signerText = SignerText(kind, certificate);
  if (certificate.notAfter < Now(context) && !stampHolds)
    Add(report, "signature-expired", true, *report.catalog,
        "the signer's certificate (" + report.signerText + ") expired on " + certificate.notAfter.substr(0, 10) +
            (stamp ? " and the time stamp does not hold (" + std::string(stamp->verified ? "made outside its validity" : "it does not verify") + ")"
                   : " and the signature has no time stamp") +
            ", so Windows no longer takes the signature");
  if (kind != trust::SignerKind::kMicrosoft) CheckNotMicrosoft(inf, hardwareId, chain, kind, context, report);
  return kind;
}

bool IsSigningFinding(const Finding& finding, const std::string& infName) {
  static const char* const kCodes[] = {"no-catalog", "catalog-missing", "catalog-unreadable", "signature-broken",
                                       "signature-expired", "not-trusted", "publisher-not-trusted",
                                       "needs-microsoft-signature", "os-not-covered"};
  if (finding.code == "not-in-catalog") return finding.file == infName;
  return std::any_of(std::begin(kCodes), std::end(kCodes), [&](const char* code) { return finding.code == code; });
}

}  // namespace

void CheckSigner(const std::string& catalogPath, const Catalog& catalog, const InfDocument& inf,
                 const std::string& hardwareId, const PackageContext& context, PackageReport& report) {
  const SignatureState state = CheckSignature(catalog);
  const std::string& name = *report.catalog;
  report.signature = state == SignatureState::kIntact ? "intact" : state == SignatureState::kBroken ? "broken" : "none";
  report.osAttr = catalog.osAttr;
  if (catalog.signer) {
    report.signedBy = catalog.signer->subject;
    report.signedUntil = catalog.signer->notAfter;
  }
  if (state == SignatureState::kBroken)
    Add(report, "signature-broken", true, name, "the signature of " + name + " does not match its contents");
  if (state == SignatureState::kNone)
    Add(report, "signature-broken", true, name, name + " is not signed: Windows takes no unsigned catalog");
  std::optional<trust::SignerKind> kind;
  if (catalog.signer) kind = JudgeSigner(catalog, inf, hardwareId, context, report);
  if (context.trust != nullptr) AskTrust(catalogPath, catalog, kind == trust::SignerKind::kMicrosoft, context, report);
}

void PutReachLast(PackageReport& report) {
  std::stable_partition(report.findings.begin(), report.findings.end(), [](const Finding& finding) {
    return finding.code != "needs-trusted-publisher" && finding.code != "needs-microsoft-signature" &&
           finding.code != "kernel-driver-not-microsoft-signed";
  });
}

void AskWindows(const std::string& infPath, const PackageContext& context, PackageReport& report) {
  if (context.trust == nullptr) return;
  report.windowsSays = context.trust->VerifyInf(infPath);
  if (!report.windowsSays) return;
  const std::string infName = infPath.substr(infPath.find_last_of("\\/") + 1);
  const auto ours = std::find_if(report.findings.begin(), report.findings.end(), [&](const Finding& finding) {
    return finding.fails && IsSigningFinding(finding, infName);
  });
  // A valid third-party signature is an error to SetupVerifyInfFile, which
  // names the TrustedPublisher answer ("Using SetupAPI to Verify Driver
  // Authenticode Signatures").
  const bool windowsTakes =
      *report.windowsSays == "signed" || *report.windowsSays == "ERROR_AUTHENTICODE_TRUSTED_PUBLISHER";
  if (windowsTakes == (ours == report.findings.end())) return;
  Add(report, "windows-disagrees", false, infName,
      "Windows (SetupVerifyInfFile) says " + *report.windowsSays + ", this check says " +
          (ours == report.findings.end() ? std::string("the signature holds") : ours->code));
}

}  // namespace varnoll::package
