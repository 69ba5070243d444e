// The Linux check tool, for vendors who assemble driver folders on Linux
// build machines: the same pass over real files, with no devices to see.
#include "check_tool.h"
#include "tool_platform.h"

int main(int argc, char** argv) {
  return varnoll::check::RunCheckTool(std::vector<std::string>(argv + 1, argv + argc),
                                      varnoll::ThisToolPlatform());
}
