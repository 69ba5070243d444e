#include "report_format.h"

#include "error_names.h"
#include "json_writer.h"
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

// A logged run in a few words: "2021/09/19 16:34:59.763, FAILURE(0xe0000203)
// ERROR_NO_DRIVER_SELECTED, devices X, published oem12.inf, restart
// requested, by <cmd>".
std::string RunWords(const LoggedRun& run) {
  std::string words = run.time.empty() ? std::string("time not logged") : run.time;
  words += ", " + (run.status ? *run.status : std::string("unfinished (no footer)"));
  if (run.error) {
    const char* name = ErrorName(*run.error);
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
void RunJson(CJsonWriter& json, const std::optional<LoggedRun>& run) {
  if (!run) {
    json.Null();
    return;
  }
  const char* name = run->error ? ErrorName(*run->error) : nullptr;
  json.BeginObject().Key("time").Ansi(run->time).Key("status").Ansi(run->status).Key("error").Ansi(run->error);
  json.Key("error_name");
  name ? json.String(name) : json.Null();
  json.Key("devices").AnsiList(run->devices).Key("published").Ansi(run->published);
  json.Key("restart").Bool(run->restart).Key("inf_path").Ansi(run->infPath).Key("cmd").Ansi(run->cmd);
  json.EndObject();
}

void DeviceJson(CJsonWriter& json, const DeviceMatch& device, bool versions) {
  const std::optional<DeviceState>& state = device.state;
  json.BeginObject().Key("instance_id").Ansi(device.instanceId).Key("driver_inf").Ansi(device.driverInf);
  json.Key("uses_package").Bool(device.usesPackage);
  json.Key("started").Bool(state ? std::optional<bool>(state->started) : std::nullopt);
  json.Key("problem");
  state && state->problem ? json.Number(static_cast<long long>(*state->problem)) : json.Null();
  json.Key("restart_pending").Bool(state ? std::optional<bool>(state->restartPending) : std::nullopt);
  if (versions) {
    json.Key("driver_version").Ansi(device.driverVersion).Key("driver_date").Ansi(device.driverDate);
    json.Key("downgrade").Bool(device.downgrade);
  }
  json.EndObject();
}

void FileJson(CJsonWriter& json, const CheckReport& report, const FileReport& file) {
  json.BeginObject().Key("name").Ansi(file.name).Key("hardware_id").Ansi(file.hardwareId);
  json.Key("qualifies").Bool(file.Qualifies()).Key("action").String(ActionName(file));
  json.Key("reason").String(ReasonName(file)).Key("note").Ansi(file.note);
  json.Key("sha256");
  file.sha256 ? json.String(*file.sha256) : json.Null();
  json.Key("store").Ansi(file.store).Key("store_copies");
  report.systemVisible && file.Qualifies() ? json.AnsiList(file.storeCopies) : json.Null();
  if (report.logRequested) {
    json.Key("last_update");
    RunJson(json, file.lastUpdate);
    json.Key("last_staging");
    RunJson(json, file.lastStaging);
  }
  if (file.package) {
    json.Key("package").Raw(package::PackageJson(*file.package, JsonText));
    json.Key("driver_ver").Raw(package::DriverVerJson(file.package->driverVer, JsonText));
  }
  json.Key("devices").BeginArray();
  for (const DeviceMatch& device : file.devices) DeviceJson(json, device, file.package.has_value());
  json.EndArray().EndObject();
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

std::string FormatJson(const CheckReport& report, const Verdict* verdict) {
  CJsonWriter json;
  json.BeginObject().Key("folder").Ansi(report.folder).Break(1).Key("files").BeginArray();
  for (const FileReport& file : report.files) FileJson(json.Break(2), report, file);
  if (!report.files.empty()) json.Break(1);
  json.EndArray().Break(1).Key("reenumerate").Bool(report.reenumerate);
  if (report.logRequested) {
    json.Break(1).Key("log");
    if (report.logFile) {
      json.BeginObject().Key("file").Ansi(*report.logFile);
      json.Key("sections").Number(static_cast<long long>(report.logSections));
      json.Key("recognised").Bool(report.logSections > 0).EndObject();
    } else {
      json.Null();
    }
  }
  if (verdict) json.Break(1).Key("in_place").Bool(verdict->inPlace);
  if (report.packageRequested) {
    const bool fails = std::any_of(report.files.begin(), report.files.end(),
                                   [](const FileReport& file) { return file.package && file.package->Fails(); });
    const bool any = std::any_of(report.files.begin(), report.files.end(),
                                 [](const FileReport& file) { return file.package.has_value(); });
    json.Break(1).Key("preflight").Bool(any && !fails);
  }
  return json.EndObject().Finish();
}

}  // namespace varnoll::check
