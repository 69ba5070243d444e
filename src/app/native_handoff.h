// Hands the run to the build native to the machine.
#pragma once

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

// Windows refuses driver installation to a WOW64 process (ERROR_IN_WOW64),
// and an emulated x64 process is no native one either. When `thisBuild` is
// not the machine's native build, starts the native build from `directory`
// (no command line, no window), waits for it to end and returns true: the
// caller must then not run its own pass. Returns false, having started
// nothing, for the native build, and when the native build is missing, is
// not a program built for the machine, or cannot be started. Only the native
// build is ever started, and it never hands off, so nothing loops.
bool HandOffToNativeBuild(const std::string& directory, Machine thisBuild = kThisBuild);

// Starts `program`'s native build from `directory` with `arguments` (null:
// no command line at all), waits for it, and gives its exit status when
// `arguments` is not null. False, having started nothing, for the native
// build itself and when the native build is missing, is not built for the
// machine, or cannot be started.
bool StartNativeBuild(const std::string& directory, const std::string& program, const std::string* arguments,
                      unsigned long& exitCode, Machine thisBuild);

// The same for a console tool named `program` ("varnollremove"): the native
// build gets `arguments` (already quoted for its command line) after its
// own path, and `exitCode` its exit status when this returns true.
bool HandOffToNativeBuild(const std::string& directory, const std::string& program,
                          const std::string& arguments, unsigned long& exitCode,
                          Machine thisBuild = kThisBuild);

// `argument` quoted for a Windows command line, so that the C runtime's
// parser gives it back unchanged (backslashes before a quote doubled).
std::string QuoteArgument(const std::string& argument);

}  // namespace varnoll
