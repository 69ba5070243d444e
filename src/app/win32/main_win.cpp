// The Windows entry point: the application object and WinMain.
#include "platform_process.h"
#include "varnoll_app.h"

static varnoll::CVarnollApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The command line is deliberately not read.
  return theApp.Run();
}
