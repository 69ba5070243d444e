// The Linux fleet reader, for admins who collect their fleet's answers on
// any machine.
#include "fleet_tool.h"
#include "tool_platform.h"

int main(int argc, char** argv) {
  return varnoll::fleet::RunFleetTool(std::vector<std::string>(argv + 1, argv + argc), varnoll::ThisToolPlatform());
}
