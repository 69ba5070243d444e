// The package check's pieces on their own: the INF reader's syntax rules,
// the bounded DER walk, the catalog reader on bad input, the PE layout,
// the decoration rules, OSAttr and DriverVer order, kernel services, the
// certificate reader and Microsoft's pinned roots.
#include "catalog.h"
#include "copied_files.h"
#include "der.h"
#include "file_hash.h"
#include "digest.h"
#include "inf_document.h"
#include "kernel_service.h"
#include "models_rules.h"
#include "package_check.h"
#include "package_rules.h"
#include "signature.h"
#include "signer_kind.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

namespace varnoll::package {
namespace {

// The fields of the first line of [S], joined by '|', with "key=" first.
std::string FirstLine(const std::string& text) {
  const InfDocument inf = ReadInfDocument(DecodeInfText(text));
  const std::vector<InfLine>* lines = inf.Section("s");
  if (lines == nullptr || lines->empty()) return "(none)";
  const InfLine& line = lines->front();
  std::string joined = line.key ? *line.key + "=" : std::string();
  for (size_t i = 0; i < line.fields.size(); ++i) joined += (i ? "|" : "") + line.fields[i];
  return joined;
}

TEST(InfDocument, ReadsLinesByWindowsSyntaxRules) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"[S]\na = b, c\n", "a=b|c"},
      {"[s]\r\na=b\r\n", "a=b"},                                  // section names ignore case
      {"[S]\na = \"b, c\" ; comment\n", "a=b, c"},                 // quotes keep commas
      {"[S]\na = \"say \"\"hi\"\"\"\n", "a=say \"hi\""},           // "" is a quote
      {"[S]\na = \" padded \"\n", "a= padded "},                   // quoted blanks stay
      {"[S]\na = b, \\\n  c\n", "a=b|c"},                          // \ continues the line
      {"[S]\na = b\\c\n", "a=b\\c"},                               // a \ inside stays
      {"[S]\n; only a comment\na=1\n", "a=1"},
      {"[S]\na = %T%\n[Strings]\nT=\"tok en\"\n", "a=tok en"},     // %strkey%
      {"[S]\na = %t%\n[strings]\nT=x\n", "a=x"},                   // keys ignore case
      {"[S]\na = 100%%\n[Strings]\n", "a=100%"},                   // %% is %
      {"[S]\na = %missing%\n[Strings]\n", "a=%missing%"},
      {"[S]\nplain, two\n", "plain|two"},                          // no key
      {"[S]\na =\n", "a="},
      {"\xEF\xBB\xBF[S]\na=b\n", "a=b"},                           // UTF-8 BOM
      {"[S]\n\"a=b\" = c\n", "a=b=c"},                             // a quoted = is no separator
  };
  for (const auto& row : cases) {
    EXPECT_EQ(FirstLine(row.text), row.expected) << "INF: " << row.text;
  }
}

TEST(InfDocument, DecodesUtf16WithItsByteOrderMark) {
  const std::u16string text = u"[S]\r\na = \u00e9t\u00e9, x\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  EXPECT_EQ(FirstLine(bytes), "a=\xC3\xA9t\xC3\xA9|x");
}

TEST(InfDocument, MergesSectionsOfTheSameNameAndIgnoresLinesBeforeAny) {
  const InfDocument inf = ReadInfDocument("x=1\n[A]\np=1\n[B]\n[a]\nq=2\n");
  ASSERT_NE(inf.Section("A"), nullptr);
  EXPECT_EQ(inf.Section("A")->size(), 2u);
  EXPECT_EQ(inf.Value("a", "Q"), "2");
  EXPECT_EQ(inf.SectionNames(), (std::vector<std::string>{"A", "B"}));
  EXPECT_FALSE(inf.Value("A", "x").has_value());
}

TEST(Der, RefusesLengthsPastTheBytesAndDepthPastTheLimit) {
  DerElement element;
  const std::string truncatedBytes("\x30\x05\x02\x01", 4);
  const std::string hugeBytes("\x04\x84\xFF\xFF\xFF\xFF", 6);
  const std::string emptyBytes("\x30\x00", 2);
  const std::string fineBytes("\x02\x01\x05", 3);
  DerReader truncated(truncatedBytes);
  EXPECT_FALSE(truncated.Next(element));
  EXPECT_TRUE(truncated.Failed());
  DerReader huge(hugeBytes);
  EXPECT_FALSE(huge.Next(element));
  DerReader deep(emptyBytes, kDerMaxDepth + 1);
  EXPECT_FALSE(deep.Next(element));
  EXPECT_GE(DeclaredDerSize(hugeBytes), size_t{0xFFFFFFFF});
  EXPECT_EQ(DeclaredDerSize(truncatedBytes), 7u);
  EXPECT_EQ(DeclaredDerSize("\x1F"), 0u);
  DerReader fine(fineBytes);
  ASSERT_TRUE(fine.Next(element));
  EXPECT_EQ(element.contents, "\x05");
  EXPECT_TRUE(fine.AtEnd());
}

TEST(Der, OidText) {
  EXPECT_EQ(OidText(std::string("\x2A\x86\x48\x86\xF7\x0D\x01\x07\x02", 9)), "1.2.840.113549.1.7.2");
  EXPECT_EQ(OidText(std::string("\x2A\x86", 2)), "");  // cut in the middle of a number
}

TEST(Catalog, BadInputIsReportedAndLeavesTheCatalogAlone) {
  std::string nested;
  for (int i = 0; i < 10000 && nested.size() < 100; ++i) nested = "\x30" + std::string(1, static_cast<char>(nested.size())) + nested;
  const struct {
    std::string bytes;
    const char* problem;
  } cases[] = {
      {"", "it is empty"},
      {"\x30\x03\x06\x01\x2A", "it is not PKCS#7 signed data"},
      {nested, "it is not PKCS#7 signed data"},
      {std::string(1000, '\xFF'), "it is not PKCS#7 signed data"},
  };
  for (const auto& row : cases) {
    Catalog catalog;
    catalog.osAttr = "untouched";
    std::string problem;
    EXPECT_FALSE(ReadCatalog(row.bytes, catalog, problem)) << row.problem;
    EXPECT_EQ(problem, row.problem);
    EXPECT_EQ(catalog.osAttr, "untouched");
  }
}

std::string Sha256(const std::string& bytes) {
  CDigest digest(DigestKind::kSha256);
  digest.Update(bytes.data(), bytes.size());
  return digest.Finish();
}

TEST(FileHash, LineEndingsAreTurnedAcrossTheReadBlocks) {
  // The file is read in 1 MiB blocks: a CR LF is split between two, and a
  // lone CR ends the file.
  std::string text(1u << 20, 'x');
  text[(1u << 20) - 1] = '\r';
  text += "\nline\nlast\r\n\r";
  const std::string path = ::testing::TempDir() + "line-endings.txt";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file), text.size());
  std::fclose(file);
  std::string lf = text.substr(0, (1u << 20) - 1) + "\nline\nlast\n\r";
  std::string crlf = text.substr(0, (1u << 20) - 1) + "\r\nline\r\nlast\r\n\r";
  EXPECT_EQ(HashPackageFile(path, false, true, LineEndings::kLf).sha256, Sha256(lf));
  EXPECT_EQ(HashPackageFile(path, false, true, LineEndings::kCrlf).sha256, Sha256(crlf));
  EXPECT_EQ(HashPackageFile(path, false, true).sha256, Sha256(text));
  std::remove(path.c_str());
}

TEST(PeLayout, FindsTheChecksumAndCertificateEntryOfPe32AndPe32Plus) {
  for (const bool plus : {false, true}) {
    std::string image(0x200, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3C] = 0x40;
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    image[0x40 + 20] = static_cast<char>(plus ? 240 : 224);  // SizeOfOptionalHeader
    const size_t optional = 0x40 + 24;
    image[optional] = 0x0B;
    image[optional + 1] = plus ? 0x02 : 0x01;
    const size_t directories = plus ? 112 : 96;
    image[optional + directories - 4] = 16;
    image[optional + directories + 32] = 0x10;  // certificate table at 0x110, 8 bytes
    image[optional + directories + 33] = 0x01;
    image[optional + directories + 36] = 8;
    PeLayout layout;
    ASSERT_TRUE(ReadPeLayout(reinterpret_cast<const unsigned char*>(image.data()), image.size(), layout)) << plus;
    EXPECT_EQ(layout.checksum, optional + 64);
    EXPECT_EQ(layout.certEntry, optional + directories + 32);
    EXPECT_EQ(layout.certTable, 0x110u);
    EXPECT_EQ(layout.certSize, 8u);
    image[0x41] = 'X';  // "PX": no PE signature
    EXPECT_FALSE(ReadPeLayout(reinterpret_cast<const unsigned char*>(image.data()), image.size(), layout));
  }
}

TEST(PackageRules, ModelsSectionPerArchitectureFollowsTheDecorations) {
  const struct {
    const char* manufacturer;
    const char* x86;
    const char* amd64;
    const char* arm64;
  } cases[] = {
      {"%M%=T", "T", "", ""},                                    // undecorated: x86 only
      {"%M%=T,NTamd64,NTarm64", "T", "T.NTamd64", "T.NTarm64"},
      {"%M%=T,ntAMD64.10.0", "T", "T.ntAMD64.10.0", ""},
      {"%M%=T,NT", "T.NT", "T.NT", "T.NT"},                     // no architecture: every one
      {"%M%=T,NTx86", "T.NTx86", "", ""},
      {"%M%=T,NTia64", "T", "", ""},                            // named but absent sections do not count
  };
  for (const auto& row : cases) {
    const std::string text = std::string("[Manufacturer]\n") + row.manufacturer +
                             "\n[T]\nm=i,PCI\\VEN_1\n[T.NTamd64]\nm=i,PCI\\VEN_1\n[T.NTarm64]\nm=i,pci\\ven_1\n"
                             "[T.ntAMD64.10.0]\nm=i,PCI\\VEN_1\n[T.NT]\nm=i,PCI\\VEN_1\n[T.NTx86]\nm=i,PCI\\VEN_1\n";
    const InfDocument inf = ReadInfDocument(text);
    const Arch arches[] = {Arch::kX86, Arch::kAmd64, Arch::kArm64};
    const char* expected[] = {row.x86, row.amd64, row.arm64};
    for (int i = 0; i < 3; ++i) {
      const ModelsChoice choice = ModelsFor(inf, arches[i], "PCI\\VEN_1");
      EXPECT_EQ(choice.section.value_or(""), expected[i]) << row.manufacturer << " on " << ArchName(arches[i]);
      EXPECT_EQ(choice.hasId, choice.section.has_value()) << row.manufacturer;
    }
  }
}

TEST(PackageRules, CatalogFileTakesTheDecoratedEntryFirst) {
  const InfDocument inf =
      ReadInfDocument("[Version]\nCatalogFile=all.cat\nCatalogFile.NTamd64=x64.cat\nCatalogFile.NT=nt.cat\n");
  EXPECT_EQ(CatalogFileFor(inf, Arch::kAmd64), "x64.cat");
  EXPECT_EQ(CatalogFileFor(inf, Arch::kArm64), "nt.cat");
  EXPECT_FALSE(CatalogFileFor(ReadInfDocument("[Version]\nSignature=x\n"), Arch::kX86).has_value());
}

TEST(PackageRules, ListedFilesAreFoundWhereTheDiskAndSubdirectoryPutThem) {
  // Windows on amd64 reads the .amd64 sections first, line by line: disk 1
  // is x64 for every file, a.sys comes from the platform section.
  const InfDocument inf = ReadInfDocument(
      "[SourceDisksNames]\n1=d,,,\\disk1\n2=d\n[SourceDisksNames.amd64]\n1=d,,,x64\n"
      "[SourceDisksFiles]\na.sys=1,sub\nb.dll=2\nc.sys=2,..\\..\nf.sys=7\n[SourceDisksFiles.amd64]\nd.sys=1\nA.SYS=2\n"
      "[SourceDisksFiles.arm64]\ne.sys=1\n");
  const struct {
    Arch arch;
    std::vector<std::string> paths;
  } cases[] = {
      {Arch::kAmd64, {"x64\\d.sys", "A.SYS", "b.dll", "..\\..\\c.sys", "f.sys"}},
      {Arch::kX86, {"disk1\\sub\\a.sys", "b.dll", "..\\..\\c.sys", "f.sys"}},
      {Arch::kArm64, {"disk1\\e.sys", "disk1\\sub\\a.sys", "b.dll", "..\\..\\c.sys", "f.sys"}},
  };
  for (const auto& row : cases) {
    const std::vector<ListedFile> files = ListedFiles(inf, row.arch);
    ASSERT_EQ(files.size(), row.paths.size()) << ArchName(row.arch);
    for (size_t i = 0; i < files.size(); ++i) {
      const bool outside = row.paths[i].rfind("..", 0) == 0;
      EXPECT_EQ(files[i].outside, outside) << ArchName(row.arch) << " " << files[i].name;
      if (!outside) {
        EXPECT_EQ(files[i].path, row.paths[i]) << ArchName(row.arch);
      }
      EXPECT_EQ(files[i].diskDefined, files[i].name != "f.sys") << files[i].name;
    }
  }
  std::string path;
  EXPECT_FALSE(JoinInsideFolder("C:\\Windows\\x.cat", path));
  EXPECT_TRUE(JoinInsideFolder("a\\..\\b.cat", path));
  EXPECT_EQ(path, "b.cat");
}

TEST(PackageRules, TargetOsVersionIsReadInFull) {
  const struct {
    const char* decoration;
    bool read;
    std::optional<Arch> arch;
    unsigned long major, minor, productType, suiteMask, build;
  } cases[] = {
      {"NTamd64", true, Arch::kAmd64, 0, 0, 0, 0, 0},
      {"ntAMD64.10.0...22000", true, Arch::kAmd64, 10, 0, 0, 0, 22000},
      {"NT.6.1", true, std::nullopt, 6, 1, 0, 0, 0},
      {"NTx86.6.0.0x00000001.0x00000010", true, Arch::kX86, 6, 0, 1, 0x10, 0},
      {"NTarm64.10.0.1.0.16299", true, Arch::kArm64, 10, 0, 1, 0, 16299},
      {"NTia64", false, std::nullopt, 0, 0, 0, 0, 0},
      {"Win95", false, std::nullopt, 0, 0, 0, 0, 0},
  };
  for (const auto& row : cases) {
    TargetOs target;
    target.major = 99;
    ASSERT_EQ(ParseTargetOs(row.decoration, target), row.read) << row.decoration;
    if (!row.read) {
      EXPECT_EQ(target.major, 99u) << row.decoration;  // left alone
      continue;
    }
    EXPECT_EQ(target.arch, row.arch) << row.decoration;
    EXPECT_EQ(std::make_tuple(target.major, target.minor, target.productType, target.suiteMask, target.build),
              std::make_tuple(row.major, row.minor, row.productType, row.suiteMask, row.build))
        << row.decoration;
  }
}

TEST(PackageRules, WindowsTakesTheModelsSectionClosestToItsOwnVersion) {
  const InfDocument inf = ReadInfDocument(
      "[Manufacturer]\n%M%=T,NTamd64,NTamd64.10.0...22000,NTamd64.6.1.3,NT.10.0\n"
      "[T.NTamd64]\nm=i,PCI\\VEN_1\n[T.NTamd64.10.0...22000]\nm=i,PCI\\VEN_2\n"
      "[T.NTamd64.6.1.3]\nm=i,PCI\\VEN_3\n[T.NT.10.0]\nm=i,PCI\\VEN_4\n");
  const struct {
    WindowsRelease windows;
    const char* section;
  } cases[] = {
      {{6, 1, 7601, 1, 0}, "T.NTamd64"},                // Windows 7: the plain one
      {{6, 1, 7601, 3, 0}, "T.NTamd64.6.1.3"},          // Server 2008 R2: its product type
      {{10, 0, 19045, 1, 0}, "T.NT.10.0"},              // Windows 10: the 10.0 section, whatever its platform
      {{10, 0, 22000, 1, 0}, "T.NTamd64.10.0...22000"},  // Windows 11: never one for a newer build
      {NewestWindows(), "T.NTamd64.10.0...22000"},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(ModelsFor(inf, Arch::kAmd64, "PCI\\VEN_1", row.windows).section.value_or(""), row.section)
        << row.windows.major << "." << row.windows.minor << "." << row.windows.build;
  }
  const std::vector<ModelsCandidate> candidates = ModelsCandidates(inf, Arch::kAmd64, "PCI\\VEN_2");
  ASSERT_EQ(candidates.size(), 4u);
  EXPECT_EQ(FromText(candidates[1].target), "10.0.22000");
  EXPECT_TRUE(candidates[1].hasId);
  EXPECT_EQ(FromText(candidates[0].target), "");
}

TEST(PackageRules, CopiedFilesComeFromThePlatformInstallSection) {
  const InfDocument inf = ReadInfDocument(
      "[T.NTamd64]\nm=Inst,PCI\\VEN_1\nother=Other,PCI\\VEN_9\n"
      "[Inst]\nCopyFiles=Old\n[Inst.NTamd64]\nCopyFiles=List,@direct.sys\n[Inst.NTamd64.CoInstallers]\nCopyFiles=Co\n"
      "[List]\nk.sys\nnew.sys,old.sys\nK.SYS\n[Co]\nco.dll\n[Old]\nold-only.sys\n[Other]\nCopyFiles=@nine.sys\n");
  std::vector<std::string> sources;
  for (const CopiedFile& file : CopiedFiles(inf, "T.NTamd64", Arch::kAmd64, "PCI\\VEN_1")) sources.push_back(file.source);
  EXPECT_EQ(sources, (std::vector<std::string>{"k.sys", "old.sys", "direct.sys", "co.dll"}));
  sources.clear();
  for (const CopiedFile& file : CopiedFiles(inf, "T.NTamd64", Arch::kX86, "PCI\\VEN_1")) sources.push_back(file.source);
  EXPECT_EQ(sources, (std::vector<std::string>{"old-only.sys"}));
}

TEST(PackageRules, OnlyTheTwoDocumentedSignaturesMakeAnInf) {
  const struct {
    const char* version;
    bool valid;
  } cases[] = {
      {"Signature=\"$Windows NT$\"", true},
      {"signature=$CHICAGO$", true},
      {"Signature=\"$Windows 95$\"", false},
      {"Signature=\"$Foo Bar$\"", false},
      {"Class=Modem", false},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(ValidInfSignature(ReadInfDocument(std::string("[Version]\n") + row.version + "\n")), row.valid)
        << row.version;
  }
}

TEST(PackageRules, DriverVerOrderIsDateFirstThenVersion) {
  const struct {
    DriverVer a;
    DriverVer b;
    int sign;
  } cases[] = {
      {{"12/01/2026", "1.0.0.0"}, {"11/30/2026", "9.0.0.0"}, 1},  // a later date wins over any version
      {{"12/01/2026", "1.0.0.10"}, {"12/01/2026", "1.0.0.9"}, 1},
      {{"12-01-2026", "1.0"}, {"12/01/2026", "1.0.0.0"}, 0},
      {{"bad", "9.9.9.9"}, {"01/01/2000", "1.0.0.0"}, -1},
  };
  for (const auto& row : cases) {
    const int got = CompareDriverVer(row.a, row.b);
    EXPECT_EQ((got > 0) - (got < 0), row.sign) << row.a.date << "," << row.a.version;
  }
}

TEST(Signature, OsAttrNamesVersions) {
  EXPECT_TRUE(OsAttrCovers("2:6.1,2:6.2,2:10.0", "10.0"));
  EXPECT_TRUE(OsAttrCovers("2:6.1", "6.1"));
  EXPECT_FALSE(OsAttrCovers("2:6.1,2:6.2", "10.0"));
  EXPECT_FALSE(OsAttrCovers("", "10.0"));
}

TEST(Signature, AnUnsignedCatalogHasNoSignature) {
  EXPECT_EQ(CheckSignature(Catalog()), SignatureState::kNone);
}

}  // namespace
}  // namespace varnoll::package

namespace varnoll::package {
namespace {

TEST(PackageDowngrade, OnlyAnOlderPackageIsADowngradeAndOnlyAWarning) {
  const struct {
    DriverVer current;
    bool downgrade;
  } cases[] = {
      {{"12-2-2026", "1.0.0.0"}, true},    // the device's driver is a day newer
      {{"12-1-2026", "1.0.0.1"}, true},    // same day, newer version
      {{"12-1-2026", "1.0.0.0"}, false},   // the same driver
      {{"11-30-2026", "9.9.9.9"}, false},  // older date wins over a higher version
  };
  for (const auto& row : cases) {
    PackageReport report;
    report.driverVer = DriverVer{"12/01/2026", "1.0.0.0"};
    EXPECT_EQ(AddDowngrade(report, "a.inf", "PCI\\X\\1", row.current), row.downgrade) << row.current.date;
    ASSERT_EQ(report.findings.size(), row.downgrade ? 1u : 0u);
    if (row.downgrade) {
      EXPECT_EQ(report.findings[0].code, "downgrade");
      EXPECT_FALSE(report.findings[0].fails);
      EXPECT_FALSE(report.Fails());
    }
  }
  PackageReport unknown;
  EXPECT_FALSE(AddDowngrade(unknown, "a.inf", "PCI\\X\\1", {"12-2-2026", "1.0.0.0"}));
  EXPECT_TRUE(unknown.findings.empty());
}

}  // namespace
}  // namespace varnoll::package

namespace varnoll::package {
namespace {

TEST(MicrosoftRoots, EachPinIsTheSha256OfItsKey) {
  const std::vector<trust::TrustAnchor>& roots = trust::MicrosoftRoots();
  ASSERT_EQ(roots.size(), 4u);
  for (const trust::TrustAnchor& root : roots) {
    EXPECT_EQ(trust::Sha256Hex(root.publicKeyInfo), root.pin) << root.name;
    EXPECT_EQ(root.publicKeyInfo[0], '\x30') << root.name;  // a SubjectPublicKeyInfo SEQUENCE
  }
}

TEST(KernelServices, FollowTheDecoratedInstallSectionAndServiceType) {
  const std::string head =
      "[Manufacturer]\n%M%=T,NTamd64\n[T.NTamd64]\nm=Inst,PCI\\VEN_1\n[T]\nm=Inst,PCI\\VEN_1\n"
      "[Strings]\nM=m\nKERNEL=1\n";
  const struct {
    const char* sections;
    Arch arch;
    std::vector<std::string> services;
  } cases[] = {
      {"[Inst.NTamd64]\n[Inst.NTamd64.Services]\nAddService=k,2,S\n[S]\nServiceType=1\n", Arch::kAmd64, {"k"}},
      {"[Inst.NTamd64]\n[Inst.NTamd64.Services]\nAddService=k,2,S\n[S]\nServiceType=%KERNEL%\n", Arch::kAmd64, {"k"}},
      {"[Inst.NTamd64]\n[Inst.NTamd64.Services]\nAddService=k,2,S\n[S]\nServiceType=0x00000002\n", Arch::kAmd64, {"k"}},
      {"[Inst.NTamd64]\n[Inst.NTamd64.Services]\nAddService=k,2,S\n[S]\nServiceType=0x10\n", Arch::kAmd64, {}},  // a process
      {"[Inst.NTamd64.Services]\nAddService=k,2,S\n[S]\nServiceType=1\n", Arch::kX86, {}},  // x86 takes [Inst]
      {"[Inst.Services]\nAddService=k,2,S\n[S]\nServiceType=1\n", Arch::kX86, {"k"}},
      {"[Inst.NTamd64]\n[Inst.Services]\nAddService=k,2,S\n[S]\nServiceType=1\n", Arch::kAmd64, {}},
      {"[Inst.NT.Services]\nAddService=k,2,S\n[S]\nServiceType=1\n", Arch::kAmd64, {}},  // no [Inst.NT]
      {"[Inst.NT]\n[Inst.NT.Services]\nAddService=k,2,S\n[S]\nServiceType=1\n", Arch::kArm64, {}},  // no models
      {"[Inst.NTamd64.Services]\nAddService=k,2\n", Arch::kAmd64, {}},  // no service section
  };
  for (const auto& row : cases) {
    const InfDocument inf = ReadInfDocument(head + row.sections);
    EXPECT_EQ(KernelServices(inf, row.arch, "pci\\ven_1"), row.services)
        << row.sections << " on " << ArchName(row.arch);
  }
}

TEST(Certificate, BadInputIsNoCertificateAndLeavesTheOutputAlone) {
  const std::string cases[] = {"", std::string("\x30\x03\x02\x01\x01", 5), std::string(300, '\x30'),
                               std::string("\x30\x80", 2)};
  for (const std::string& bytes : cases) {
    trust::Certificate certificate;
    certificate.subjectText = "untouched";
    EXPECT_FALSE(trust::ReadCertificate(bytes, certificate)) << bytes.size();
    EXPECT_EQ(certificate.subjectText, "untouched");
  }
}

TEST(Certificate, AlgorithmsByTheirIdentifiers) {
  EXPECT_EQ(trust::DigestKindOf("2.16.840.1.101.3.4.2.2"), DigestKind::kSha384);
  EXPECT_EQ(trust::DigestKindOf("2.16.840.1.101.3.4.2.3"), DigestKind::kSha512);
  EXPECT_FALSE(trust::DigestKindOf("1.2.840.113549.2.5").has_value());  // MD5
  EXPECT_EQ(trust::SignatureDigestOf("1.2.840.113549.1.1.12"), DigestKind::kSha384);
  EXPECT_EQ(trust::SignatureDigestOf("1.2.840.113549.1.1.5"), DigestKind::kSha1);
  EXPECT_FALSE(trust::SignatureDigestOf("1.2.840.113549.1.1.4").has_value());  // MD5 with RSA
  EXPECT_EQ(DigestOf(DigestKind::kSha384, "abc").size(), 48u);
  EXPECT_EQ(DigestOf(DigestKind::kSha512, "abc").size(), 64u);
}

}  // namespace
}  // namespace varnoll::package
