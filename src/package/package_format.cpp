#include "package_format.h"

namespace varnoll::package {

namespace {

std::string Optional(const std::optional<std::string>& text, JsonQuote quote) {
  return text ? quote(*text) : std::string("null");
}

std::string Bool(const std::optional<bool>& value) { return !value ? "null" : *value ? "true" : "false"; }

std::string FilesJson(const PackageReport& report, JsonQuote quote) {
  std::string json = "[";
  for (size_t i = 0; i < report.files.size(); ++i) {
    const PackageFile& file = report.files[i];
    json += (i == 0 ? "" : ", ") + std::string("{\"name\": ") + quote(file.name) + ", \"path\": " + quote(file.path) +
            ", \"present\": " + Bool(file.present) + ", \"in_catalog\": " + Bool(file.inCatalog) + "}";
  }
  return json + "]";
}

std::string ArchListJson(const std::vector<Arch>& arches, JsonQuote quote) {
  std::string json = "[";
  for (size_t i = 0; i < arches.size(); ++i) json += (i == 0 ? "" : ", ") + quote(ArchName(arches[i]));
  return json + "]";
}

std::string CandidatesJson(const ArchModels& arch, JsonQuote quote) {
  std::string json = "[";
  for (size_t i = 0; i < arch.candidates.size(); ++i) {
    const ModelsSection& candidate = arch.candidates[i];
    json += (i == 0 ? "" : ", ") + std::string("{\"models\": ") + quote(candidate.section) +
            ", \"from\": " + (candidate.from.empty() ? std::string("null") : quote(candidate.from)) +
            ", \"has_id\": " + Bool(candidate.hasId) + "}";
  }
  return json + "]";
}

std::string ArchitecturesJson(const PackageReport& report, JsonQuote quote) {
  std::string json = "{";
  for (size_t i = 0; i < report.architectures.size(); ++i) {
    const ArchModels& arch = report.architectures[i];
    json += (i == 0 ? "" : ", ") + quote(ArchName(arch.arch)) + ": {\"models\": " + Optional(arch.section, quote) +
            ", \"has_id\": " + Bool(arch.hasId) + ", \"counted\": " + Bool(arch.counted) +
            ", \"catalog\": " + Optional(arch.catalog, quote) + ", \"signature\": " + Optional(arch.signature, quote) +
            ", \"candidates\": " + CandidatesJson(arch, quote) + "}";
  }
  return json + "}";
}

std::string ChainJson(const PackageReport& report, JsonQuote quote) {
  std::string json = "[";
  for (size_t i = 0; i < report.signerChain.size(); ++i) json += (i == 0 ? "" : ", ") + quote(report.signerChain[i]);
  return json + "]";
}

std::string FindingsJson(const PackageReport& report, JsonQuote quote) {
  std::string json = "[";
  for (size_t i = 0; i < report.findings.size(); ++i) {
    const Finding& finding = report.findings[i];
    json += (i == 0 ? "" : ", ") + std::string("{\"code\": ") + quote(finding.code) +
            ", \"severity\": " + quote(finding.fails ? "fails" : "warning") +
            ", \"file\": " + (finding.file.empty() ? std::string("null") : quote(finding.file)) +
            ", \"text\": " + quote(finding.text) + ", \"arches\": " + ArchListJson(finding.arches, quote) + "}";
  }
  return json + "]";
}

}  // namespace

std::string PackageJson(const PackageReport& report, JsonQuote quote) {
  return "{\"catalog\": " + Optional(report.catalog, quote) + ", \"signed_by\": " + Optional(report.signedBy, quote) +
         ", \"signed_until\": " + Optional(report.signedUntil, quote) + ", \"timestamped\": " +
         Bool(report.timestamped) + ", \"signature\": " + Optional(report.signature, quote) +
         ", \"trusted\": " + Bool(report.trusted) + ", \"trusted_publisher\": " + Bool(report.trustedPublisher) +
         ", \"os_covered\": " + Bool(report.osCovered) + ", \"os_attr\": " + Optional(report.osAttr, quote) +
         ", \"files\": " + FilesJson(report, quote) + ", \"architectures\": " + ArchitecturesJson(report, quote) +
         ", \"findings\": " + FindingsJson(report, quote) + ", \"judged_for\": " + ArchListJson(report.judgedFor, quote) +
         ", \"signer_kind\": " + Optional(report.signerKind, quote) + ", \"signer_chain\": " + ChainJson(report, quote) +
         ", \"timestamped_at\": " + Optional(report.timestampedAt, quote) +
         ", \"windows_says\": " + Optional(report.windowsSays, quote) + "}";
}

std::string DriverVerJson(const std::optional<DriverVer>& driverVer, JsonQuote quote) {
  if (!driverVer) return "null";
  return "{\"date\": " + quote(driverVer->date) + ", \"version\": " + quote(driverVer->version) + "}";
}

std::string PackageSummary(const PackageReport& report) {
  for (const bool fails : {true, false}) {
    for (const Finding& finding : report.findings) {
      if (finding.fails == fails) return std::string(fails ? "fails: " : "warning: ") + finding.text;
    }
  }
  const size_t others = report.catalogCovers;
  std::string signer = report.signerText.empty() ? report.signedBy.value_or("nobody") : report.signerText;
  if (report.signerKind && *report.signerKind != "microsoft") signer += " (" + *report.signerKind + ")";
  return "ok: " + report.catalog.value_or("no catalog") + ", signed by " + signer +
         (report.timestampedAt ? ", time-stamped " + report.timestampedAt->substr(0, 10) : std::string()) +
         ", covers the INF" +
         (others == 0 ? std::string() : " and " + std::to_string(others) + (others == 1 ? " file" : " files"));
}

std::string FindingLine(const Finding& finding) {
  return std::string("[") + (finding.fails ? "fails" : "warning") + "] " + finding.code + ": " + finding.text;
}

}  // namespace varnoll::package
