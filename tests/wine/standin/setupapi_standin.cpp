// Test-only setupapi.dll: SetupCopyOEMInfA succeeds, or fails with
// VARNOLL_STANDIN_COPY_ERROR when the scenario sets it.
#define _SETUPAPI_
#include "standin_log.h"

#include <setupapi.h>

// The real header declares the function, so that a signature that differs
// from it fails to compile; exporting it here is then a redeclaration.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wdll-attribute-on-redeclaration"
#endif

extern "C" __declspec(dllexport) BOOL WINAPI
    SetupCopyOEMInfA(PCSTR sourceInf, PCSTR mediaLocation, DWORD mediaType, DWORD copyStyle, PSTR destination,
                     DWORD destinationSize, PDWORD requiredSize, PSTR* destinationComponent) {
  using namespace standin_dll;
  const DWORD error = HexSetting("VARNOLL_STANDIN_COPY_ERROR", 0);
  Log("setupapi",
      "SetupCopyOEMInfA(" + Str(sourceInf) + ", " + Str(mediaLocation) + ", " + Hex(mediaType) + ", " +
          Hex(copyStyle) + ", " + Ptr(destination) + ", " + Hex(destinationSize) + ", " + Ptr(requiredSize) +
          ", " + Ptr(destinationComponent) + ")",
      error == 0 ? TRUE : FALSE, error);
  return error == 0 ? TRUE : FALSE;
}
