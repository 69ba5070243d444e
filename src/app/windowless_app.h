// A minimal GUI-subsystem application: no window, no command line, one
// start-up hook, then a message loop that ends at once.
#pragma once

namespace varnoll {

class CWindowlessApp {
 public:
  CWindowlessApp() = default;
  CWindowlessApp(const CWindowlessApp&) = delete;
  CWindowlessApp& operator=(const CWindowlessApp&) = delete;
  virtual ~CWindowlessApp() = default;

  // Restricts the DLL search to System32, sets the error mode, runs the
  // start-up hook and the message loop, and returns the process exit
  // status: 0.
  int Run();

  // The start-up hook, called once before the message loop. Whatever it
  // returns, the application then ends, because it has no main window.
  virtual bool RunInstallPass() = 0;
};

}  // namespace varnoll
