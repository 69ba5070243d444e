// GCC's C++ library (the x86 and x64 builds) prints a demangled exception
// name when std::terminate runs, and that one handler links the whole
// demangler: about 46 KB, a fifth of the installer. The installer has no
// console to print to, so its own handler says nothing and ends the process
// as the default one does. Defining it here keeps the library's copy, and
// the demangler with it, out of the link.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
