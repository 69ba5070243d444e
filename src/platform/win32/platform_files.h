// File and directory services on the Windows side of the seam: kernel32,
// nothing else. windows.h (lean) declares no device-installation call.
#pragma once

#include <windows.h>
