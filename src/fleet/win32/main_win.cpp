// The Windows fleet reader: a console program that asks for no rights and
// reads only.
#include "dll_search.h"
#include "fleet_tool.h"
#include "tool_platform.h"

int main(int argc, char** argv) {
  varnoll::RestrictDllSearchToSystem32();
  return varnoll::fleet::RunFleetTool(std::vector<std::string>(argv + 1, argv + argc), varnoll::ThisToolPlatform());
}
