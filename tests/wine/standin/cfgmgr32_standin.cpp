// Test-only cfgmgr32.dll: locating the root and re-enumerating succeed, or
// return the CONFIGRET values VARNOLL_STANDIN_LOCATE and
// VARNOLL_STANDIN_REENUMERATE name.
#define _CFGMGR32_
#include "standin_log.h"

#include <cfgmgr32.h>

// The real header declares the function, so that a signature that differs
// from it fails to compile; exporting it here is then a redeclaration.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wdll-attribute-on-redeclaration"
#endif

namespace {
constexpr DEVINST kRoot = 0x2A;
}

extern "C" __declspec(dllexport) CONFIGRET WINAPI
    CM_Locate_DevNodeA(PDEVINST devInst, DEVINSTID_A deviceId, ULONG flags) {
  using namespace standin_dll;
  const CONFIGRET result = HexSetting("VARNOLL_STANDIN_LOCATE", CR_SUCCESS);
  if (result == CR_SUCCESS && devInst) *devInst = kRoot;
  LogReturned("cfgmgr32",
              "CM_Locate_DevNodeA(" + Ptr(devInst) + ", " + Str(deviceId) + ", " + Hex(flags) + ")", result);
  return result;
}

extern "C" __declspec(dllexport) CONFIGRET WINAPI CM_Reenumerate_DevNode(DEVINST devInst, ULONG flags) {
  using namespace standin_dll;
  const CONFIGRET result = HexSetting("VARNOLL_STANDIN_REENUMERATE", CR_SUCCESS);
  LogReturned("cfgmgr32", "CM_Reenumerate_DevNode(" + Hex(devInst) + ", " + Hex(flags) + ")", result);
  return result;
}
