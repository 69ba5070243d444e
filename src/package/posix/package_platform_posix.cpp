// On Linux the package is judged for every architecture Windows runs the
// installer on, and for every Windows; the failures of x64 (the
// installer's main build) count unless --arch names others, the rest are
// warnings. There is no machine trust to ask.
#include "package_check.h"

namespace varnoll::package {

PackageContext ThisMachine(const std::vector<Arch>& asked) {
  PackageContext context;
  context.arches = {Arch::kX86, Arch::kAmd64, Arch::kArm64};
  context.counted = asked.empty() ? std::vector<Arch>{Arch::kAmd64} : asked;
  context.catalogArch = Counts(context, Arch::kAmd64) ? Arch::kAmd64 : context.counted.front();
  return context;
}

}  // namespace varnoll::package
