// The removal program: a console program for deployment tools and admins.
#include "dll_search.h"
#include "remove_tool.h"
#include "tool_platform.h"

int main(int argc, char** argv) {
  // First of all, as the installer does: nothing this program or the device
  // installation services load may come from its folder.
  varnoll::RestrictDllSearchToSystem32();
  return varnoll::remove::RunRemoveTool(std::vector<std::string>(argv + 1, argv + argc),
                                        varnoll::ThisToolPlatform());
}
