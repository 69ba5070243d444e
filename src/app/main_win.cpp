// The Windows entry point: the two process-wide objects and WinMain.
#include "inf_discovery.h"
#include "platform_api.h"
#include "varnoll_app.h"

// Defined in this order in one file, so the list is built before the
// application object and destroyed after it.
std::vector<std::string> varnoll::InfFileList;
static varnoll::CVarnollApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The command line is deliberately not read.
  return theApp.Run();
}
