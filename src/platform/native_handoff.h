// Hands the run to the build native to the machine.
#pragma once

#include <optional>
#include <string>

namespace varnoll {

// Machines as Windows names them (IMAGE_FILE_MACHINE_*).
enum class Machine : unsigned short {
  kUnknown = 0,
  kX86 = 0x014C,
  kX64 = 0x8664,
  kArm64 = 0xAA64,
};

#if defined(_M_ARM64) || defined(__aarch64__)
constexpr Machine kThisBuild = Machine::kArm64;
#elif defined(_M_X64) || defined(__x86_64__)
constexpr Machine kThisBuild = Machine::kX64;
#else
constexpr Machine kThisBuild = Machine::kX86;
#endif

// The file name of `program`'s build for `machine` (varnoll.exe,
// varnoll64.exe, varnollarm64.exe for "varnoll"), or empty when there is
// none.
std::string BuildFileName(Machine machine, const std::string& program = "varnoll");

// The machine Windows itself runs on, for a process of `thisBuild`; for an
// emulated or WOW64 process, that is not the one it was built for. Unknown
// when Windows cannot say.
Machine NativeMachine(Machine thisBuild = kThisBuild);

// What a hand-off came to.
struct HandOff {
  enum class Outcome {
    kRanNativeBuild,  // the native build ran: the caller must not run its own pass
    kIsNativeBuild,   // this is the build native to the machine: nothing started
    kNoNativeBuild,   // none beside it that is built for the machine, or it
                      // could not be started: nothing started
  };
  Outcome outcome = Outcome::kNoNativeBuild;
  unsigned long exitCode = 0;  // the native build's, when it ran with arguments

  bool Ran() const { return outcome == Outcome::kRanNativeBuild; }
};

// Windows refuses driver installation to a WOW64 process (ERROR_IN_WOW64),
// and an emulated x64 process is no native one either. When `thisBuild` is
// not the machine's native build, starts `program`'s native build ("varnoll"
// gives varnoll64.exe, ...) from `directory`, with no window, and waits for
// it to end. The installer passes no `arguments` (no command line at all); a
// console tool passes its own, already quoted, which follow the native
// build's path, and gets its exit status. Only a native build is ever
// started, and it never hands off, so nothing loops.
HandOff HandOffToNativeBuild(const std::string& directory, const std::string& program,
                             const std::optional<std::string>& arguments, Machine thisBuild = kThisBuild);

// `argument` quoted for a Windows command line, so that the C runtime's
// parser gives it back unchanged (backslashes before a quote doubled).
std::string QuoteArgument(const std::string& argument);

}  // namespace varnoll
