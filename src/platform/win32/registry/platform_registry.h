// Registry reads on the Windows side of the seam, for the code that looks
// at the machine's settings (src/machine/; on Windows also the build
// revision, Secure Boot and test signing). Only that code has this folder
// on its include path, and it may read, never write.
#pragma once

#include <windows.h>

// Creating, writing and deleting keys or values: a use after this point is
// a compile error that names the call.
#pragma GCC poison RegCreateKeyA RegCreateKeyW RegCreateKeyExA RegCreateKeyExW
#pragma GCC poison RegSetValueA RegSetValueW RegSetValueExA RegSetValueExW RegSetKeyValueA RegSetKeyValueW
#pragma GCC poison RegDeleteKeyA RegDeleteKeyW RegDeleteKeyExA RegDeleteKeyExW RegDeleteValueA RegDeleteValueW
#pragma GCC poison RegDeleteTreeA RegDeleteTreeW RegRestoreKeyA RegRestoreKeyW RegReplaceKeyA RegReplaceKeyW
