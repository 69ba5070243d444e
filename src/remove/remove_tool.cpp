#include "remove_tool.h"

#include "native_handoff.h"
#include "removal_executor.h"
#include "tool_folder.h"
#include "tool_output.h"

#include <cstdio>

namespace varnoll::remove {

namespace {

constexpr const char kUsage[] =
    "usage: varnollremove [--] [FOLDER]\n"
    "\n"
    "Takes the driver packages of the Varnoll installer's INF files in FOLDER (by\n"
    "default the folder that holds varnollremove) out of the driver store: the\n"
    "same INF files the installer installs, each found in the store by its bytes.\n"
    "On Windows 10 1703 and later, devices that use a package get the best driver\n"
    "left; on older Windows a package that a present device uses is left in place.\n"
    "One line per INF file on standard output. Needs administrator rights.\n"
    "\n"
    "  --help   this text\n"
    "  --       ends the options: a FOLDER that starts with '-' comes after it\n"
    "\n"
    "Exit status: 0 when every package that was in the store is gone (or none\n"
    "was), 3010 when so and a restart completes the removal, 1 when a removal\n"
    "failed or a package was left, 2 for a usage error or a folder that does not\n"
    "exist or cannot be opened by its name.\n";

int UsageError(const std::string& problem) {
  return varnoll::UsageError("varnollremove", problem, kExitUsage);
}

}  // namespace

int RunRemoveTool(const std::vector<std::string>& arguments, const ToolPlatform& platform) {
  bool folderGiven = false;
  bool optionsEnded = false;
  std::string argument;
  for (const std::string& word : arguments) {
    const bool option = !optionsEnded && !word.empty() && word[0] == '-';
    if (option && word == "--") {
      optionsEnded = true;
      continue;
    }
    if (option && word == "--help") {
      Write(stdout, kUsage);
      return kExitRemoved;
    }
    if (option) return UsageError("unknown option " + word);
    if (folderGiven) return UsageError("only one FOLDER can be given");
    folderGiven = true;
    argument = word;
  }
  std::string ownFolder;
  std::string folder;
  std::string problem;
  if (!FindWorkFolder(platform, std::nullopt, ownFolder, problem) ||
      !FindWorkFolder(platform, folderGiven ? std::optional<std::string>(argument) : std::nullopt, folder,
                      problem)) {
    Write(stderr, "varnollremove: " + problem + "\n");
    return kExitUsage;
  }
  // The device calls refuse a 32-bit process on 64-bit Windows: the build
  // native to the machine does the removal, on the same folder.
  unsigned long handedOffStatus = 0;
  if (HandOffToNativeBuild(ownFolder, "varnollremove", QuoteArgument(folder), handedOffStatus)) {
    return static_cast<int>(handedOffStatus);
  }

  std::string storeFolder;
  SystemView system;
  if (!platform.systemInfFolder(storeFolder) || !LookAtSystem(storeFolder, system)) {
    Write(stdout,
          "varnollremove: the driver store and the devices cannot be seen here; nothing was removed\n");
    return kExitFailed;
  }
  const CDriverUninstaller uninstaller;
  CRemovingExecutor remover(system, storeFolder, uninstaller);
  RunPass(folder, remover);
  std::string text;
  for (const std::string& line : remover.Lines()) text += line + "\n";
  if (remover.Lines().empty()) text = "no INF file in " + folder + ": nothing to remove\n";
  Write(stdout, text);
  return remover.ExitStatus();
}

}  // namespace varnoll::remove
