// The Windows side of the platform seam: the real headers, nothing else.
// The host build puts a stand-in header of the same name on the include path
// instead, so the logic calls the platform functions by their own names on
// both sides.
#pragma once

#include <windows.h>

#include <cfgmgr32.h>
#include <newdev.h>
#include <setupapi.h>
