#include "copied_files.h"

#include "names.h"

namespace varnoll::package {

namespace {

std::string InstallSectionFor(const InfDocument& inf, const std::string& install, Arch arch) {
  for (const std::string& name : {install + ".NT" + ArchName(arch), install + ".NT", install}) {
    if (inf.Section(name) != nullptr) return name;
  }
  return std::string();
}

void Add(std::vector<CopiedFile>& files, const std::string& source, const std::string& section) {
  if (source.empty()) return;
  for (const CopiedFile& file : files) {
    if (SameFileName(file.source, source)) return;
  }
  files.push_back({source, section});
}

// A file-list line: destination[,source[,unused[,flags]]]; the source
// defaults to the destination's name (INF CopyFiles directive).
void AddFileList(const InfDocument& inf, const std::string& list, std::vector<CopiedFile>& files) {
  const std::vector<InfLine>* lines = inf.Section(list);
  if (lines == nullptr) return;
  for (const InfLine& line : *lines) {
    if (line.key || line.fields.empty()) continue;
    Add(files, line.fields.size() > 1 && !line.fields[1].empty() ? line.fields[1] : line.fields[0], list);
  }
}

void AddCopyFiles(const InfDocument& inf, const std::string& section, std::vector<CopiedFile>& files) {
  const std::vector<InfLine>* lines = inf.Section(section);
  if (lines == nullptr) return;
  for (const InfLine& line : *lines) {
    if (!line.key || !EqualIgnoringCase(*line.key, "CopyFiles")) continue;
    for (const std::string& field : line.fields) {
      if (!field.empty() && field[0] == '@') {
        Add(files, field.substr(1), section);
      } else {
        AddFileList(inf, field, files);
      }
    }
  }
}

}  // namespace

std::vector<CopiedFile> CopiedFiles(const InfDocument& inf, const std::string& modelsSection, Arch arch,
                                    const std::string& hardwareId) {
  std::vector<CopiedFile> files;
  const std::vector<InfLine>* models = inf.Section(modelsSection);
  if (models == nullptr) return files;
  for (const InfLine& line : *models) {
    bool hasId = false;
    for (size_t i = 1; i < line.fields.size(); ++i) hasId = hasId || EqualIgnoringCase(line.fields[i], hardwareId);
    if (!hasId || line.fields.empty()) continue;
    const std::string install = InstallSectionFor(inf, line.fields[0], arch);
    if (install.empty()) continue;
    AddCopyFiles(inf, install, files);
    AddCopyFiles(inf, install + ".CoInstallers", files);
  }
  return files;
}

}  // namespace varnoll::package
