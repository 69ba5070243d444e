// The trust answers Windows gives (WinVerifyTrust, the TrustedPublisher
// store, the Windows version against OSAttr), through a scripted stand-in:
// which question is asked about what, and which finding each answer makes.
// Runs on a signed package made by tests/package/fixtures.py, whose folder
// the test is given.
//   package_trust_test FIXTURES_DIR [gtest options]
#include "package_check.h"

#include <gtest/gtest.h>

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
};

std::set<std::string> Codes(const PackageReport& report) {
  std::set<std::string> codes;
  for (const Finding& finding : report.findings) codes.insert(finding.code);
  return codes;
}

PackageReport Check(const std::string& fixture, const TrustView& trust,
                    const std::optional<WindowsRelease>& windows = std::nullopt) {
  PackageContext context;
  context.arches = {Arch::kAmd64};
  context.counted = context.arches;
  context.catalogArch = Arch::kAmd64;
  context.trust = &trust;
  context.windows = windows;
  return CheckPackage(fixtures + "/" + fixture + "/", "kestrel.inf", "PCI\\VEN_1F2E&DEV_0A01", context);
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
  EXPECT_EQ(trust.asked, (std::vector<std::string>{"trust " + fixtures + "/good/kestrel.cat", "publisher 1",
                                                   "version"}));
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

TEST(PackageTrust, NothingIsAskedWithoutAReadableCatalog) {
  for (const char* fixture : {"no-catalog", "catalog-missing", "catalog-empty"}) {
    CScriptedTrust trust;
    const PackageReport report = Check(fixture, trust);
    EXPECT_TRUE(trust.asked.empty()) << fixture;
    EXPECT_FALSE(report.trusted.has_value()) << fixture;
  }
}

}  // namespace
}  // namespace varnoll::package

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  varnoll::package::fixtures = argv[1];
  return RUN_ALL_TESTS();
}
