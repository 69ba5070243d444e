// Device installation on the Windows side of the seam. Only the code that
// may install drivers (src/devinst/) and the check tool's read-only device
// enumeration have this folder on their include path.
#pragma once

#include <windows.h>

#include <cfgmgr32.h>
#include <newdev.h>
#include <setupapi.h>
