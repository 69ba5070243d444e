#include "windowless_app.h"

#include "dll_search.h"
#include "platform_process.h"

namespace varnoll {

int CWindowlessApp::Run() {
  // First of all: nothing the program or the system loads on its behalf may
  // come from its own folder. Whether or not that worked, the run goes on.
  RestrictDllSearchToSystem32();

  // Keep the flags the parent chose and add ours: a missing disk or an
  // unreadable file must fail quietly, not stop an unattended run on a box
  // that nobody will answer.
  SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

  RunInstallPass();

  // A GUI-subsystem program is expected to take its messages: a parent that
  // starts one may wait for it with WaitForInputIdle, which returns once the
  // program first waits for input, and the setup calls may have posted
  // messages to this thread while they worked. Taking them once, and then
  // ending, answers both. With no main window nothing would ever end the
  // loop, so the quit request is posted before the loop first waits.
  PostQuitMessage(0);
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
  }
  return static_cast<int>(message.wParam);
}

}  // namespace varnoll
