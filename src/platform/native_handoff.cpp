#include "native_handoff.h"

#include "platform_files.h"
#include "platform_process.h"
#include "system_function.h"
#include "unique_handle.h"

#include <cstring>

namespace varnoll {

namespace {

using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);

// For Windows without IsWow64Process2 (before 10 1709), which never runs on
// ARM64: there IsWow64Process and GetNativeSystemInfo tell the truth. On
// ARM64 they do not: an x86 or x64 process is told it runs on an x86 or x64
// machine.
Machine NativeMachineFromOlderCalls(Machine thisBuild) {
  BOOL wow64 = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &wow64)) return Machine::kUnknown;
  if (!wow64) return thisBuild;
  SYSTEM_INFO native{};
  GetNativeSystemInfo(&native);
  return native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? Machine::kX64 : Machine::kUnknown;
}

// The machine the program at `path` is built for, from its PE headers;
// unknown when it cannot be read or is no PE image.
Machine ImageMachine(const std::string& path) {
  const UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return Machine::kUnknown;
  unsigned char header[1024];
  DWORD got = 0;
  if (!ReadFile(file.Get(), header, sizeof header, &got, nullptr) || got < 0x40) return Machine::kUnknown;
  if (header[0] != 'M' || header[1] != 'Z') return Machine::kUnknown;
  // e_lfanew: where the PE signature and the file header's machine field are.
  const DWORD pe =
      header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | static_cast<DWORD>(header[0x3F]) << 24;
  if (pe > got - 6 || std::memcmp(header + pe, "PE\0\0", 4) != 0) return Machine::kUnknown;
  return static_cast<Machine>(header[pe + 4] | header[pe + 5] << 8);
}

}  // namespace

std::string BuildFileName(Machine machine, const std::string& program) {
  switch (machine) {
    case Machine::kX86:
      return program + ".exe";
    case Machine::kX64:
      return program + "64.exe";
    case Machine::kArm64:
      return program + "arm64.exe";
    case Machine::kUnknown:
      break;
  }
  return std::string();
}

Machine NativeMachine(Machine thisBuild) {
  const auto isWow64Process2 = FindKernel32Function<IsWow64Process2Function>("IsWow64Process2");
  if (isWow64Process2 == nullptr) return NativeMachineFromOlderCalls(thisBuild);
  USHORT processMachine = 0;
  USHORT nativeMachine = 0;
  if (!isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine)) {
    return Machine::kUnknown;
  }
  return static_cast<Machine>(nativeMachine);
}

HandOff HandOffToNativeBuild(const std::string& directory, const std::string& program,
                             const std::optional<std::string>& arguments, Machine thisBuild) {
  HandOff handOff;
  const Machine native = NativeMachine(thisBuild);
  // An x86 machine's native build is this one (or there is none): nothing to
  // hand to.
  if (native == thisBuild || native == Machine::kX86) {
    handOff.outcome = HandOff::Outcome::kIsNativeBuild;
    return handOff;
  }
  const std::string nativeBuild = BuildFileName(native, program);
  if (nativeBuild.empty()) return handOff;

  const std::string path = directory + nativeBuild;
  // Only a program built for this machine is started: a sibling that is
  // another build under the native build's name (or no program at all)
  // would hand off again, or fail to install, and so would never end the
  // chain in a native pass.
  if (ImageMachine(path) != native) return handOff;

  // CreateProcessA may write to the command line it is given.
  std::string commandLine = arguments ? QuoteArgument(path) + " " + *arguments : std::string();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(path.c_str(), arguments ? &commandLine[0] : nullptr, nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &started)) {
    return handOff;
  }
  const UniqueKernelHandle process(started.hProcess);
  const UniqueKernelHandle thread(started.hThread);
  WaitForSingleObject(process.Get(), INFINITE);
  handOff.outcome = HandOff::Outcome::kRanNativeBuild;
  // The installer's hand-off has no status to pass on.
  if (arguments) {
    DWORD status = 1;
    handOff.exitCode = GetExitCodeProcess(process.Get(), &status) ? status : 1;
  }
  return handOff;
}

std::string QuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
    } else {
      // Backslashes before a quote escape it: double them, and escape it.
      if (c == '"') quoted.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    quoted += c;
  }
  // The closing quote must not be escaped by the argument's own trailing
  // backslashes.
  quoted.append(backslashes, '\\');
  return quoted + "\"";
}

}  // namespace varnoll
