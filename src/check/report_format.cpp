#include "report_format.h"

#include "package_format.h"
#include "text_encoding.h"

#include <algorithm>
#include <charconv>

namespace varnoll::check {

namespace {

std::string Plural(int count, const char* one, const char* many) {
  return Decimal(count) + " " + (count == 1 ? one : many);
}

std::string ActionLine(const FileReport& file) {
  const Action* action = std::get_if<Action>(&file.outcome);
  if (!action) return std::string("skip (") + ReasonName(file) + ")";
  switch (*action) {
    case Action::kInstall:
      return "install, on " +
             Plural(static_cast<int>(file.devices.size()), "present device", "present devices");
    case Action::kPreinstall:
      return "pre-install into the driver store (no present device has this ID)";
    case Action::kInstallOrPreinstall:
      return "install on a present device with this ID, or pre-install if there is none";
  }
  return std::string();
}

// The state of a device in a few words.
std::string StateWords(const std::optional<DeviceState>& state) {
  if (!state) return "state unknown";
  std::string words = state->started ? "started" : "not started";
  if (state->problem) words += ", problem " + ProblemText(*state->problem);
  if (state->restartPending) words += ", restart pending";
  return words;
}

std::string DeviceLine(const DeviceMatch& device, bool systemVisible) {
  std::string line = device.instanceId + ", driver " +
                     (device.driverInf ? "from " + *device.driverInf : std::string("not installed"));
  if (!systemVisible) return line;
  if (device.usesPackage) line += " (this package)";
  return line + ", " + StateWords(device.state);
}

std::string StoreLine(const FileReport& file, bool systemVisible) {
  if (!systemVisible) return "not known here (no driver store on this system)";
  if (!file.store) return "not in the driver store";
  std::string line = "published as " + *file.store;
  std::string others;
  for (const std::string& copy : file.storeCopies) {
    if (copy != *file.store) others += (others.empty() ? "" : ", ") + copy;
  }
  return others.empty() ? line : line + " (the same bytes also as " + others + ")";
}

// A JSON list of strings in the ANSI code page.
std::string JsonList(const std::vector<std::string>& items) {
  std::string json = "[";
  for (size_t i = 0; i < items.size(); ++i) json += (i == 0 ? "" : ", ") + JsonString(AnsiToUtf8(items[i]));
  return json + "]";
}

// null, true or false.
std::string JsonBool(const std::optional<bool>& value) {
  return !value ? "null" : (*value ? "true" : "false");
}

// A logged run in a few words: "2021/09/19 16:34:59.763, FAILURE(0xe0000203)
// ERROR_NO_DRIVER_SELECTED, devices X, published oem12.inf, restart
// requested, by <cmd>".
std::string RunWords(const LoggedRun& run) {
  std::string words = run.time.empty() ? std::string("time not logged") : run.time;
  words += ", " + (run.status ? *run.status : std::string("unfinished (no footer)"));
  if (run.error) {
    const char* name = SetupErrorName(*run.error);
    if (name) words += std::string(" ") + name;
  }
  for (size_t i = 0; i < run.devices.size(); ++i) words += (i == 0 ? ", devices " : ", ") + run.devices[i];
  if (run.published) words += ", published " + *run.published;
  if (run.restart) words += ", restart requested";
  words += ", INF " + (run.infPath.empty() ? std::string("not logged") : run.infPath);
  if (run.cmd) words += ", by " + *run.cmd;
  return words;
}

// The package verdict, then one line per finding.
std::string PackageLines(const package::PackageReport& report) {
  std::string text = "  package:     " + package::PackageSummary(report) + "\n";
  for (const package::Finding& finding : report.findings) text += "  finding:     " + package::FindingLine(finding) + "\n";
  return text;
}

std::string Summary(const CheckReport& report) {
  if (report.files.empty()) return "No INF file here: nothing would be done.\n";
  const Tally tally = Count(report);
  std::string text = Plural(static_cast<int>(report.files.size()), "INF file", "INF files") + ": ";
  if (tally.either > 0) {
    text += Decimal(tally.either) + " would be installed or pre-installed";
  } else {
    text += Decimal(tally.install) + " would be installed, " + Decimal(tally.preinstall) + " pre-installed";
  }
  text += ", " + Decimal(tally.skip) + " skipped; ";
  if (!report.reenumerate) {
    text += "whether the device tree would be re-enumerated depends on the devices present.\n";
  } else if (*report.reenumerate) {
    text += "the device tree would then be re-enumerated once.\n";
  } else {
    text += "the device tree would not be re-enumerated.\n";
  }
  return text;
}

}  // namespace

std::string Decimal(long long value) {
  char digits[24];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, end.ptr);
}

std::string ProblemText(unsigned long problem) {
  const char* name = ProblemName(problem);
  return Decimal(static_cast<long long>(problem)) + (name ? std::string(" (") + name + ")" : std::string());
}

std::string FormatText(const CheckReport& report) {
  std::string text = "Folder: " + report.folder + "\n";
  if (report.logFile) {
    text += "Log:    " + *report.logFile + ", " + Decimal(static_cast<long long>(report.logSections)) +
            " sections read" +
            (report.logSections == 0
                 ? ": no section header was recognised, so this is not a setup log, or one this tool cannot read"
                 : "") +
            "\n";
  }
  text += "\n";
  for (const FileReport& file : report.files) {
    text += file.name + "\n";
    text +=
        "  hardware ID: " +
        (file.hardwareId ? (file.hardwareId->empty() ? "(empty)" : *file.hardwareId) : std::string("none")) +
        "\n";
    text += "  action:      " + ActionLine(file) + "\n";
    if (file.Qualifies()) {
      text += "  store:       " + StoreLine(file, report.systemVisible) + "\n";
      if (file.sha256) text += "  sha256:      " + *file.sha256 + "\n";
      if (file.package) text += PackageLines(*file.package);
    }
    for (const DeviceMatch& device : file.devices) {
      text += "  device:      " + DeviceLine(device, report.systemVisible) + "\n";
    }
    if (report.logFile && file.Qualifies()) {
      text +=
          "  last update: " + (file.lastUpdate ? RunWords(*file.lastUpdate) : std::string("none logged")) +
          "\n";
      text +=
          "  last staging: " + (file.lastStaging ? RunWords(*file.lastStaging) : std::string("none logged")) +
          "\n";
    }
    if (!file.note.empty()) text += "  note:        " + file.note + "\n";
    text += "\n";
  }
  return text + Summary(report);
}

namespace {

// One logged run as a JSON object, or null.
std::string RunJson(const std::optional<LoggedRun>& run) {
  if (!run) return "null";
  auto ansi = [](const std::string& text) { return JsonString(AnsiToUtf8(text)); };
  auto optional = [&](const std::optional<std::string>& text) {
    return text ? ansi(*text) : std::string("null");
  };
  const char* name = run->error ? SetupErrorName(*run->error) : nullptr;
  std::string json = "{\"time\": " + ansi(run->time) + ", \"status\": " + optional(run->status) +
                     ", \"error\": " + optional(run->error) +
                     ", \"error_name\": " + (name ? JsonString(name) : std::string("null")) +
                     ", \"devices\": [";
  for (size_t i = 0; i < run->devices.size(); ++i) json += (i == 0 ? "" : ", ") + ansi(run->devices[i]);
  return json + "], \"published\": " + optional(run->published) +
         ", \"restart\": " + (run->restart ? "true" : "false") + ", \"inf_path\": " + ansi(run->infPath) +
         ", \"cmd\": " + optional(run->cmd) + "}";
}

}  // namespace

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

std::string JsonText(const std::string& text) {
  return JsonString(IsUtf8(text) ? text : AnsiToUtf8(text));
}

std::string JsonString(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string FormatJson(const CheckReport& report, const Verdict* verdict) {
  auto ansi = [](const std::string& text) { return JsonString(AnsiToUtf8(text)); };
  std::string json = "{\"folder\": " + ansi(report.folder) + ",\n \"files\": [";
  const char* separator = "";
  for (const FileReport& file : report.files) {
    json += separator;
    separator = ",";
    json += "\n  {\"name\": " + ansi(file.name) +
            ", \"hardware_id\": " + (file.hardwareId ? ansi(*file.hardwareId) : std::string("null")) +
            ", \"qualifies\": " + (file.Qualifies() ? "true" : "false") + ", \"action\": \"" +
            ActionName(file) + "\", \"reason\": \"" + ReasonName(file) + "\", \"note\": " + ansi(file.note) +
            ", \"sha256\": " + (file.sha256 ? JsonString(*file.sha256) : std::string("null")) +
            ", \"store\": " + (file.store ? ansi(*file.store) : std::string("null")) +
            ", \"store_copies\": " + (report.systemVisible && file.Qualifies() ? JsonList(file.storeCopies) : "null");
    if (report.logRequested) {
      json += ", \"last_update\": " + RunJson(file.lastUpdate) +
              ", \"last_staging\": " + RunJson(file.lastStaging);
    }
    if (report.packageRequested && file.package) {
      json += ", \"package\": " + package::PackageJson(*file.package, JsonText) +
              ", \"driver_ver\": " + package::DriverVerJson(file.package->driverVer, JsonText);
    }
    json += ", \"devices\": [";
    const char* deviceSeparator = "";
    for (const DeviceMatch& device : file.devices) {
      json += deviceSeparator;
      deviceSeparator = ", ";
      json += "{\"instance_id\": " + ansi(device.instanceId) +
              ", \"driver_inf\": " + (device.driverInf ? ansi(*device.driverInf) : std::string("null")) +
              ", \"uses_package\": " + JsonBool(device.usesPackage);
      const std::optional<DeviceState>& state = device.state;
      json +=
          ", \"started\": " + JsonBool(state ? std::optional<bool>(state->started) : std::nullopt) +
          ", \"problem\": " +
          (state && state->problem ? Decimal(static_cast<long long>(*state->problem)) : std::string("null")) +
          ", \"restart_pending\": " +
          JsonBool(state ? std::optional<bool>(state->restartPending) : std::nullopt);
      if (report.packageRequested) {
        json += ", \"driver_version\": " + (device.driverVersion ? ansi(*device.driverVersion) : std::string("null")) +
                ", \"driver_date\": " + (device.driverDate ? ansi(*device.driverDate) : std::string("null")) +
                ", \"downgrade\": " + JsonBool(device.downgrade);
      }
      json += "}";
    }
    json += "]}";
  }
  json += report.files.empty() ? "],\n" : "\n ],\n";
  json += " \"reenumerate\": " + JsonBool(report.reenumerate);
  if (report.logRequested) {
    json += ",\n \"log\": ";
    json += report.logFile
                ? "{\"file\": " + ansi(*report.logFile) +
                      ", \"sections\": " + Decimal(static_cast<long long>(report.logSections)) +
                      ", \"recognised\": " + JsonBool(report.logSections > 0) + "}"
                : std::string("null");
  }
  if (verdict) json += ",\n \"in_place\": " + JsonBool(verdict->inPlace);
  if (report.packageRequested) {
    const bool fails = std::any_of(report.files.begin(), report.files.end(),
                                   [](const FileReport& file) { return file.package && file.package->Fails(); });
    json += ",\n \"preflight\": " + JsonBool(!fails);
  }
  return json + "}\n";
}

}  // namespace varnoll::check
