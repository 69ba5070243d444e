// The trust answers Windows gives (WinVerifyTrust, the TrustedPublisher
// store, the Windows version against OSAttr, Secure Boot, test signing, S
// mode, SetupVerifyInfFile), through a scripted stand-in: which question is
// asked about what, and which finding each answer makes. Also who signed,
// with the fixtures' own test root given as Microsoft's. Runs on the signed
// packages made by tests/package/fixtures.py, whose folder the test is given.
//   package_trust_test FIXTURES_DIR [gtest options]
#include "chain.h"
#include "package_check.h"
#include "package_format.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace varnoll::package {
namespace {

std::string fixtures;

class CScriptedTrust : public TrustView {
 public:
  std::optional<bool> trusted;
  std::optional<bool> publisher;
  std::optional<std::string> version;
  std::optional<bool> secureBoot;
  std::optional<bool> testSigning;
  std::optional<bool> sMode;
  std::optional<std::string> windowsSays;
  mutable std::vector<std::string> asked;

  std::optional<bool> CatalogTrusted(const std::string& catalogPath) const override {
    asked.push_back("trust " + catalogPath);
    return trusted;
  }
  std::optional<bool> InTrustedPublisher(const std::string& certificate) const override {
    asked.push_back("publisher " + std::to_string(certificate.size() > 100 && certificate[0] == 0x30));
    return publisher;
  }
  std::optional<std::string> OsVersion() const override {
    asked.push_back("version");
    return version;
  }
  std::optional<bool> SecureBootOn() const override {
    asked.push_back("secure boot");
    return secureBoot;
  }
  std::optional<bool> TestSigningOn() const override {
    asked.push_back("test signing");
    return testSigning;
  }
  std::optional<bool> InSMode() const override {
    asked.push_back("s mode");
    return sMode;
  }
  std::optional<std::string> VerifyInf(const std::string& infPath) const override {
    asked.push_back("verify " + infPath);
    return windowsSays;
  }
};

std::set<std::string> Codes(const PackageReport& report) {
  std::set<std::string> codes;
  for (const Finding& finding : report.findings) codes.insert(finding.code);
  return codes;
}

// The fixtures' root, in place of Microsoft's.
std::vector<trust::TrustAnchor> TestRoots() {
  std::ifstream file(fixtures + "/pki/hwroot.spki", std::ios::binary);
  const std::string key((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return {{"Varnoll Test Root Authority", trust::Sha256Hex(key), key}};
}

// A Windows x64 machine with `trust`'s answers (none: Linux) and its Windows.
PackageContext Machine(const TrustView* trust, bool testRoots = false,
                       const std::optional<WindowsRelease>& windows = std::nullopt) {
  PackageContext context;
  context.arches = {Arch::kAmd64};
  context.counted = context.arches;
  context.catalogArch = Arch::kAmd64;
  context.trust = trust;
  context.windows = windows;
  if (testRoots) context.microsoftRoots = TestRoots();
  return context;
}

PackageReport Check(const std::string& fixture, const PackageContext& context) {
  return CheckPackage(fixtures + "/" + fixture + "/", "kestrel.inf", "PCI\\VEN_1F2E&DEV_0A01", context);
}

PackageReport Check(const std::string& fixture, const TrustView& trust,
                    const std::optional<WindowsRelease>& windows = std::nullopt) {
  return Check(fixture, Machine(&trust, false, windows));
}

// A stand-in that trusts everything it is asked about.
struct CTrustingMachine : CScriptedTrust {
  CTrustingMachine() {
    trusted = true;
    publisher = true;
    version = "10.0";
  }
};

const Finding* Find(const PackageReport& report, const std::string& code) {
  for (const Finding& finding : report.findings) {
    if (finding.code == code) return &finding;
  }
  return nullptr;
}

TEST(PackageTrust, EachAnswerMakesItsFinding) {
  const struct {
    std::optional<bool> trusted;
    std::optional<bool> publisher;
    std::optional<std::string> version;
    std::set<std::string> codes;
  } cases[] = {
      {true, true, std::string("10.0"), {}},
      {false, true, std::string("10.0"), {"not-trusted"}},
      {true, false, std::string("10.0"), {"publisher-not-trusted"}},
      {true, true, std::string("6.3"), {"os-not-covered"}},
      {std::nullopt, std::nullopt, std::nullopt, {}},  // unknown is no finding
      {false, false, std::string("6.2"), {"not-trusted", "publisher-not-trusted", "os-not-covered"}},
  };
  for (const auto& row : cases) {
    CScriptedTrust trust;
    trust.trusted = row.trusted;
    trust.publisher = row.publisher;
    trust.version = row.version;
    const PackageReport report = Check("good", trust);
    EXPECT_EQ(Codes(report), row.codes) << row.version.value_or("?");
    EXPECT_EQ(report.trusted, row.trusted);
    EXPECT_EQ(report.trustedPublisher, row.publisher);
    EXPECT_EQ(report.osCovered, row.version ? std::optional<bool>(row.version != "6.3" && row.version != "6.2")
                                            : std::nullopt);
    for (const Finding& finding : report.findings) EXPECT_TRUE(finding.fails) << finding.code;
  }
}

TEST(PackageTrust, AsksAboutTheCatalogFileAndTheSignerCertificateOnly) {
  CScriptedTrust trust;
  trust.trusted = true;
  trust.publisher = true;
  trust.version = "10.0";
  Check("good", trust);
  EXPECT_EQ(trust.asked, (std::vector<std::string>{"s mode", "trust " + fixtures + "/good/kestrel.cat",
                                                   "publisher 1", "version",
                                                   "verify " + fixtures + "/good/kestrel.inf"}));
}

TEST(PackageModels, TheRunningWindowsPicksTheModelsSection) {
  // The one x64 models section needs build 22000.
  const struct {
    std::optional<WindowsRelease> windows;
    std::optional<std::string> section;
    std::set<std::string> codes;
  } cases[] = {
      {WindowsRelease{10, 0, 19045, 1, 0x100}, std::nullopt, {"models-need-newer-windows"}},
      {WindowsRelease{6, 1, 7601, 1, 0x100}, std::nullopt, {"models-need-newer-windows"}},
      {WindowsRelease{10, 0, 22000, 1, 0x100}, std::string("Tarvelix.NTamd64.10.0...22000"), {}},
      {WindowsRelease{10, 0, 26100, 3, 0x110}, std::string("Tarvelix.NTamd64.10.0...22000"), {}},
  };
  for (const auto& row : cases) {
    CScriptedTrust trust;
    trust.trusted = trust.publisher = true;
    const PackageReport report = Check("newer-build-models", trust, row.windows);
    const std::string build = std::to_string(row.windows->build);
    EXPECT_EQ(Codes(report), row.codes) << build;
    ASSERT_EQ(report.architectures.size(), 1u);
    EXPECT_EQ(report.architectures[0].section, row.section) << build;
    for (const Finding& finding : report.findings) {
      EXPECT_TRUE(finding.fails) << build;
      EXPECT_NE(finding.text.find("(" + std::to_string(row.windows->major) + "." +
                                  std::to_string(row.windows->minor) + "." + build + ")"),
                std::string::npos)
          << finding.text;
    }
  }
}

TEST(PackageTrust, WithoutAReadableCatalogOnlyWindowsOwnAnswerIsAsked) {
  for (const char* fixture : {"no-catalog", "catalog-missing", "catalog-empty"}) {
    CScriptedTrust trust;
    const PackageReport report = Check(fixture, trust);
    EXPECT_EQ(trust.asked, std::vector<std::string>{"verify " + fixtures + "/" + fixture + "/kestrel.inf"})
        << fixture;
    EXPECT_FALSE(report.trusted.has_value()) << fixture;
    EXPECT_FALSE(report.signerKind.has_value()) << fixture;
  }
}

TEST(SignerKind, FollowsTheChainAndTheRootsGiven) {
  const struct {
    const char* fixture;
    bool testRoots;
    std::optional<std::string> kind;
    size_t chain;
  } cases[] = {
      {"microsoft-like", true, "microsoft", 2},
      {"microsoft-like", false, "third-party", 2},  // Microsoft's own roots: not theirs
      {"kernel-service-microsoft", true, "microsoft", 2},
      {"good", true, "third-party", 1},              // no driver usage, another root
      {"sha384-signature", true, "third-party", 1},
      {"self-signed", true, "self-signed", 1},
      {"no-catalog", true, std::nullopt, 0},
  };
  for (const auto& row : cases) {
    const PackageReport report = Check(row.fixture, Machine(nullptr, row.testRoots));
    EXPECT_EQ(report.signerKind, row.kind) << row.fixture << " " << row.testRoots;
    EXPECT_EQ(report.signerChain.size(), row.chain) << row.fixture;
  }
}

TEST(SignerKind, AMicrosoftSignatureAsksNoTrustedPublisherAndNeedsNone) {
  CScriptedTrust trust;
  trust.trusted = true;
  trust.publisher = false;  // nobody's store holds Microsoft's certificate
  trust.version = "10.0";
  trust.sMode = true;
  const PackageReport report = Check("microsoft-like", Machine(&trust, true));
  EXPECT_EQ(Codes(report), std::set<std::string>{});
  EXPECT_FALSE(report.trustedPublisher.has_value());
  for (const std::string& question : trust.asked) EXPECT_NE(question.rfind("publisher", 0), 0u) << question;
  const PackageReport linux = Check("microsoft-like", Machine(nullptr, true));
  EXPECT_EQ(Codes(linux), std::set<std::string>{});
}

TEST(SignerKind, OnlyMicrosoftsSignatureServesArm64AndSMode) {
  const struct {
    const char* fixture;
    bool arm64;
    std::optional<bool> sMode;
    bool needs;
  } cases[] = {
      {"good", false, false, false},      {"good", true, false, true},
      {"good", false, true, true},        {"good", false, std::nullopt, false},
      {"self-signed", true, false, true}, {"microsoft-like", true, true, false},
  };
  for (const auto& row : cases) {
    CTrustingMachine trust;
    trust.sMode = row.sMode;
    PackageContext context = Machine(&trust, true);
    if (row.arm64) context.counted.push_back(Arch::kArm64);
    const PackageReport report = Check(row.fixture, context);
    const Finding* needs = Find(report, "needs-microsoft-signature");
    EXPECT_EQ(needs != nullptr, row.needs) << row.fixture << " arm64 " << row.arm64;
    if (needs) {
      EXPECT_TRUE(needs->fails);
    }
  }
}

TEST(SignerKind, AKernelDriverFailsOnlyWithSecureBootOnAndTestSigningOff) {
  const struct {
    const char* fixture;
    std::optional<bool> secureBoot;
    std::optional<bool> testSigning;
    const char* expected;  // "fails", "warning" or "" for none
  } cases[] = {
      {"kernel-service", true, false, "fails"},
      {"kernel-service", false, false, "warning"},
      {"kernel-service", true, true, "warning"},
      {"kernel-service", std::nullopt, std::nullopt, "warning"},
      {"kernel-service-microsoft", true, false, ""},
      {"good", true, false, ""},  // no service
  };
  for (const auto& row : cases) {
    CTrustingMachine trust;
    trust.secureBoot = row.secureBoot;
    trust.testSigning = row.testSigning;
    const PackageReport report = Check(row.fixture, Machine(&trust, true));
    const Finding* kernel = Find(report, "kernel-driver-not-microsoft-signed");
    ASSERT_EQ(kernel != nullptr, *row.expected != '\0') << row.fixture;
    if (!kernel) continue;
    EXPECT_EQ(kernel->fails ? "fails" : "warning", std::string(row.expected)) << row.fixture;
    EXPECT_NE(kernel->text.find("kestrel"), std::string::npos) << kernel->text;
    EXPECT_NE(kernel->text.find("29 July 2015"), std::string::npos) << kernel->text;
  }
  // Linux cannot know the machine: a warning.
  const PackageReport linux = Check("kernel-service", Machine(nullptr));
  const Finding* warning = Find(linux, "kernel-driver-not-microsoft-signed");
  ASSERT_NE(warning, nullptr);
  EXPECT_FALSE(warning->fails);
}

TEST(SignerKind, ASignerPastItsValidityNeedsATimeStampMadeWithinIt) {
  const struct {
    const char* fixture;
    bool expired;
    bool stampHolds;
  } cases[] = {
      {"good", true, false},             // no time stamp
      {"timestamped", false, true},      // stamped while valid
      {"microsoft-like", false, true},
      {"expired-signer", true, false},   // stamped after it ended
      {"timestamp-broken", true, false}, // its signature does not verify
  };
  for (const auto& row : cases) {
    PackageContext context = Machine(nullptr, true);
    context.now = "2100-01-01T00:00:00Z";
    const PackageReport report = Check(row.fixture, context);
    const Finding* expired = Find(report, "signature-expired");
    EXPECT_EQ(expired != nullptr, row.expired) << row.fixture;
    if (expired) {
      EXPECT_TRUE(expired->fails);
    }
    EXPECT_EQ(report.timestampedAt.has_value(), row.stampHolds) << row.fixture;
  }
  // Judged today, only the certificate that has really ended fails.
  EXPECT_EQ(Find(Check("good", Machine(nullptr)), "signature-expired"), nullptr);
}

TEST(WindowsSays, ADifferentAnswerIsAWarningNamingBoth) {
  const struct {
    const char* fixture;
    std::optional<std::string> says;
    bool disagrees;
  } cases[] = {
      {"good", std::string("signed"), false},
      {"good", std::string("ERROR_AUTHENTICODE_TRUSTED_PUBLISHER"), false},
      {"good", std::string("ERROR_AUTHENTICODE_TRUST_NOT_ESTABLISHED"), true},
      {"inf-changed", std::string("signed"), true},
      {"inf-changed", std::string("ERROR_FILE_HASH_NOT_IN_CATALOG"), false},
      {"good", std::nullopt, false},  // Wine: no answer
  };
  for (const auto& row : cases) {
    CTrustingMachine trust;
    trust.windowsSays = row.says;
    const PackageReport report = Check(row.fixture, trust);
    EXPECT_EQ(report.windowsSays, row.says) << row.fixture;
    const Finding* disagrees = Find(report, "windows-disagrees");
    ASSERT_EQ(disagrees != nullptr, row.disagrees) << row.fixture << " " << row.says.value_or("-");
    if (!disagrees) continue;
    EXPECT_FALSE(disagrees->fails);
    EXPECT_NE(disagrees->text.find(*row.says), std::string::npos) << disagrees->text;
  }
}

TEST(PackageText, NamesTheSignerAsAPersonKnowsIt) {
  CTrustingMachine trust;
  const PackageReport microsoft = Check("microsoft-like", Machine(&trust, true));
  ASSERT_TRUE(microsoft.timestampedAt.has_value());
  EXPECT_EQ(PackageSummary(microsoft),
            "ok: kestrel.cat, signed by Microsoft (Varnoll Windows Hardware Compatibility Publisher, attestation), "
            "time-stamped " + microsoft.timestampedAt->substr(0, 10) + ", covers the INF and 2 files");
  EXPECT_EQ(PackageSummary(Check("good", trust)),
            "ok: kestrel.cat, signed by Varnoll Test (third-party), covers the INF and 2 files");
  const PackageReport linux = Check("good", Machine(nullptr));
  const Finding* needs = Find(linux, "needs-trusted-publisher");
  ASSERT_NE(needs, nullptr);
  EXPECT_EQ(needs->text.rfind("third-party signature (Varnoll Test): Windows asks unless Varnoll Test is a trusted "
                              "publisher", 0), 0u) << needs->text;
}

}  // namespace
}  // namespace varnoll::package

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  varnoll::package::fixtures = argv[1];
  return RUN_ALL_TESTS();
}
