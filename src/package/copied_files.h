// The files Windows copies when it installs the device: the CopyFiles
// directives of the install section a models line leads to.
#pragma once

#include "inf_document.h"
#include "package_rules.h"

#include <string>
#include <vector>

namespace varnoll::package {

struct CopiedFile {
  std::string source;   // the name Windows looks up in [SourceDisksFiles]
  std::string section;  // the file-list section, or the install section for "@file"
};

// The source files of every CopyFiles directive in the install sections
// that `modelsSection`'s lines for `hardwareId` name, as Windows on `arch`
// picks them: <install>.NT<arch>, else <install>.NT, else <install>
// ("Creating INF Files for Multiple Platforms and Operating Systems"), and
// its .CoInstallers section. Each name once.
std::vector<CopiedFile> CopiedFiles(const InfDocument& inf, const std::string& modelsSection, Arch arch,
                                    const std::string& hardwareId);

}  // namespace varnoll::package
