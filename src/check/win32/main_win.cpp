// The Windows check tool: a console program that asks for no rights and
// changes nothing.
#include "check_tool.h"
#include "dll_search.h"
#include "tool_platform.h"

int main(int argc, char** argv) {
  // As the installer does: nothing this program or the Setup API loads may
  // come from its folder.
  varnoll::RestrictDllSearchToSystem32();
  return varnoll::check::RunCheckTool(std::vector<std::string>(argv + 1, argv + argc),
                                      varnoll::ThisToolPlatform());
}
