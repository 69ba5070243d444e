// Device installation on the POSIX side of the seam. Only the code that may
// install drivers (src/devinst/) has this folder on its include path; Linux
// has no such services, and only the tests' stand-in defines them.
#pragma once

#include "platform_types.h"

using DEVINST = DWORD;
using CONFIGRET = DWORD;

constexpr DWORD INSTALLFLAG_FORCE = 0x1;
constexpr DWORD SPOST_PATH = 1;
constexpr DWORD ERROR_NO_SUCH_DEVINST = 0xE000020B;
constexpr ULONG CM_LOCATE_DEVNODE_NORMAL = 0;
constexpr ULONG CM_REENUMERATE_NORMAL = 0;
constexpr CONFIGRET CR_SUCCESS = 0;

BOOL UpdateDriverForPlugAndPlayDevicesA(HWND parent, const char* hardwareId, const char* fullInfPath,
                                        DWORD installFlags, BOOL* rebootRequired);
BOOL SetupCopyOEMInfA(const char* sourceInf, const char* mediaLocation, DWORD mediaType, DWORD copyStyle,
                      char* destination, DWORD destinationSize, DWORD* requiredSize,
                      char** destinationComponent);
constexpr DWORD SUOI_FORCEDELETE = 0x1;
BOOL SetupUninstallOEMInfA(const char* infFileName, DWORD flags, void* reserved);

CONFIGRET CM_Locate_DevNodeA(DEVINST* devInst, char* deviceId, ULONG flags);
CONFIGRET CM_Reenumerate_DevNode(DEVINST devInst, ULONG flags);
