// The installer application.
#pragma once

#include "windowless_app.h"

namespace varnoll {

// Handles no commands and shows nothing: its whole work is the install pass.
class CVarnollApp : public CWindowlessApp {
 public:
  // Installs or pre-installs the driver of every INF file beside the
  // executable, then re-enumerates the device tree once if anything was
  // pre-installed. Every failure only skips a file. The 32-bit build on
  // 64-bit Windows hands all of this to the 64-bit build instead. Always
  // returns true.
  bool RunInstallPass() override;
};

}  // namespace varnoll
