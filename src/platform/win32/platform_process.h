// Process and module services on the Windows side of the seam: kernel32
// and user32, both in windows.h.
#pragma once

#include <windows.h>
