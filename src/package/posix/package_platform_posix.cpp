// On Linux the package is judged for every architecture Windows runs the
// installer on; the catalog and files are those of x64, the installer's
// main build. There is no machine trust to ask.
#include "package_check.h"

namespace varnoll::package {

PackageContext ThisMachine() {
  PackageContext context;
  context.arches = {Arch::kX86, Arch::kAmd64, Arch::kArm64};
  context.counted = context.arches;
  context.catalogArch = Arch::kAmd64;
  return context;
}

}  // namespace varnoll::package
