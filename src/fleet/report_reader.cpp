#include "report_reader.h"

namespace varnoll::fleet {

namespace {

using check::Action;

std::optional<Action> ActionNamed(const std::string& name) {
  if (name == "install") return Action::kInstall;
  if (name == "preinstall") return Action::kPreinstall;
  if (name == "install-or-preinstall") return Action::kInstallOrPreinstall;
  return std::nullopt;
}

check::DeviceMatch DeviceFromJson(const JsonValue& json) {
  check::DeviceMatch device;
  device.instanceId = json.StringAt("instance_id").value_or(std::string());
  device.driverInf = json.StringAt("driver_inf");
  device.usesPackage = json.BoolAt("uses_package").value_or(false);
  if (const std::optional<bool> started = json.BoolAt("started")) {
    DeviceState state;
    state.started = *started;
    if (const std::optional<long long> problem = json.NumberAt("problem")) {
      state.problem = static_cast<unsigned long>(*problem);
    }
    state.restartPending = json.BoolAt("restart_pending").value_or(false);
    device.state = state;
  }
  device.driverDate = json.StringAt("driver_date");
  device.driverVersion = json.StringAt("driver_version");
  device.downgrade = json.BoolAt("downgrade");
  return device;
}

package::PackageReport PackageFromJson(const JsonValue& json, const JsonValue* driverVer) {
  package::PackageReport package;
  if (const JsonValue* findings = json.Find("findings")) {
    for (const JsonValue& item : findings->items) {
      package.findings.push_back({item.StringAt("code").value_or(std::string()),
                                  item.StringAt("severity").value_or("fails") == "fails",
                                  item.StringAt("file").value_or(std::string()),
                                  item.StringAt("text").value_or(std::string())});
    }
  }
  if (driverVer && driverVer->kind == JsonValue::Kind::kObject) {
    package.driverVer = package::DriverVer{driverVer->StringAt("date").value_or(std::string()),
                                           driverVer->StringAt("version").value_or(std::string())};
  }
  return package;
}

check::FileReport FileFromJson(const JsonValue& json, bool& storeSeen) {
  check::FileReport file;
  file.name = json.StringAt("name").value_or(std::string());
  file.hardwareId = json.StringAt("hardware_id");
  const std::optional<Action> action = ActionNamed(json.StringAt("action").value_or(std::string()));
  if (action && json.BoolAt("qualifies").value_or(false)) file.outcome = *action;
  file.store = json.StringAt("store");
  if (const JsonValue* copies = json.Find("store_copies"); copies && copies->kind == JsonValue::Kind::kArray) {
    storeSeen = true;
    for (const JsonValue& copy : copies->items) file.storeCopies.push_back(copy.text);
  }
  if (const JsonValue* devices = json.Find("devices")) {
    for (const JsonValue& device : devices->items) file.devices.push_back(DeviceFromJson(device));
  }
  if (const JsonValue* package = json.Find("package"); package && package->kind == JsonValue::Kind::kObject) {
    file.package = PackageFromJson(*package, json.Find("driver_ver"));
  }
  return file;
}

}  // namespace

bool ReportFromJson(const JsonValue& json, check::CheckReport& report) {
  const JsonValue* files = json.Find("files");
  if (json.kind != JsonValue::Kind::kObject || !files || files->kind != JsonValue::Kind::kArray) return false;
  report = check::CheckReport();
  report.folder = json.StringAt("folder").value_or(std::string());
  bool storeSeen = false;
  for (const JsonValue& file : files->items) report.files.push_back(FileFromJson(file, storeSeen));
  // Only a report made on Windows lists store copies, or says "in_place".
  report.systemVisible = storeSeen || json.Find("in_place") != nullptr;
  return true;
}

}  // namespace varnoll::fleet
