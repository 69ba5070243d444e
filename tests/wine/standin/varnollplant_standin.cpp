// Test-only DLL, never shipped: stands for a DLL an attacker drops beside
// the installer. Loading it is the failure the tests look for, so it says in
// the log that it was loaded, and into which program.
#include "standin_log.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    standin_dll::Append(standin_dll::Tag("varnollplant") + " loaded into " + standin_dll::Str(program));
  }
  return TRUE;
}
