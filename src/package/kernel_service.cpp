#include "kernel_service.h"

#include "ascii.h"

#include <cstdlib>

namespace varnoll::package {

namespace {

// The first line of the models section that names `hardwareId`: its first
// field is the install section.
std::optional<std::string> InstallSectionOf(const InfDocument& inf, const std::string& models,
                                            const std::string& hardwareId) {
  const std::vector<InfLine>* lines = inf.Section(models);
  if (lines == nullptr) return std::nullopt;
  for (const InfLine& line : *lines) {
    for (size_t i = 1; i < line.fields.size(); ++i) {
      if (EqualIgnoringCase(line.fields[i], hardwareId) && !line.fields[0].empty()) return line.fields[0];
    }
  }
  return std::nullopt;
}

std::string Decorated(const InfDocument& inf, const std::string& section, Arch arch) {
  for (const std::string& name : {section + ".NT" + ArchName(arch), section + ".NT"}) {
    if (inf.Section(name) != nullptr) return name;
  }
  return section;
}

bool IsKernelMode(const InfDocument& inf, const std::string& serviceSection) {
  const std::optional<std::string> type = inf.Value(serviceSection, "ServiceType");
  if (!type) return false;
  const unsigned long value = std::strtoul(type->c_str(), nullptr, 0);
  return value == 1 || value == 2;
}

}  // namespace

std::vector<std::string> KernelServices(const InfDocument& inf, Arch arch, const std::string& hardwareId) {
  std::vector<std::string> services;
  const ModelsChoice models = ModelsFor(inf, arch, hardwareId);
  if (!models.section) return services;
  const std::optional<std::string> install = InstallSectionOf(inf, *models.section, hardwareId);
  if (!install) return services;
  const std::vector<InfLine>* lines = inf.Section(Decorated(inf, *install, arch) + ".Services");
  if (lines == nullptr) return services;
  for (const InfLine& line : *lines) {
    if (line.key && EqualIgnoringCase(*line.key, "AddService") && line.fields.size() >= 3 &&
        IsKernelMode(inf, line.fields[2]))
      services.push_back(line.fields[0]);
  }
  return services;
}

}  // namespace varnoll::package
