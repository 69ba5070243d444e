// Test-only: runs a program and prints its whole exit status. Wine hands a
// Windows exit status to Linux modulo 256, so 3010 would read as 194.
//   exit_status.exe PROGRAM [ARGUMENT]
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string commandLine = "\"" + std::string(argv[1]) + "\"";
  if (argc > 2) commandLine += " \"" + std::string(argv[2]) + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return 2;
  }
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(started.hProcess, &status);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  std::fprintf(stderr, "exit status %lu\n", static_cast<unsigned long>(status));
  return 0;
}
