// The device services for code that only looks (the tools' list of present
// devices): the same Windows headers as the installer's side, with every
// call that changes devices or the driver store refused at compile time.
// The device headers' folder is not on this code's include path; this file
// reaches them by its own place in the tree.
#pragma once

#include "../devices/platform_devices.h"

// Installing, staging, removing and re-enumerating: only src/devinst/ calls
// them. A use anywhere after this point is a compile error that names it.
#pragma GCC poison UpdateDriverForPlugAndPlayDevicesA UpdateDriverForPlugAndPlayDevicesW
#pragma GCC poison SetupCopyOEMInfA SetupCopyOEMInfW SetupUninstallOEMInfA SetupUninstallOEMInfW
#pragma GCC poison DiInstallDriverA DiInstallDriverW DiUninstallDriverA DiUninstallDriverW
#pragma GCC poison DiInstallDevice DiUninstallDevice DiRollbackDriver
#pragma GCC poison CM_Reenumerate_DevNode CM_Reenumerate_DevNode_Ex
#pragma GCC poison SetupDiInstallDevice SetupDiCallClassInstaller SetupDiRemoveDevice
