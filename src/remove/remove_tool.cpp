#include "remove_tool.h"

#include "native_handoff.h"
#include "removal_executor.h"
#include "tool_arguments.h"
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
  ToolArguments split;
  std::string problem;
  if (!SplitToolArguments(arguments, split, problem)) return UsageError(problem);
  for (const std::string& option : split.options) {
    if (option != "--help") return UsageError("unknown option " + option);
    Write(stdout, kUsage);
    return kExitRemoved;
  }
  std::string ownFolder;
  std::string folder;
  if (!FindWorkFolder(platform, std::nullopt, ownFolder, problem) ||
      !FindWorkFolder(platform, split.folder, folder, problem)) {
    Write(stderr, "varnollremove: " + problem + "\n");
    return kExitUsage;
  }
  // The device calls refuse a 32-bit process on 64-bit Windows: the build
  // native to the machine does the removal, on the same folder.
  const HandOff handOff = HandOffToNativeBuild(ownFolder, "varnollremove", QuoteArgument(folder));
  if (handOff.Ran()) return static_cast<int>(handOff.exitCode);

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
