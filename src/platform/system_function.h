// Finds a kernel32 function that older Windows versions lack, so that the
// program still starts there and takes another way when it is missing.
#pragma once

#include "platform_process.h"

namespace varnoll {

// The function `name` of kernel32.dll as a `Function` pointer, or null when
// this Windows does not have it. kernel32.dll is always loaded.
template <typename Function>
Function FindKernel32Function(const char* name) {
  const HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  if (kernel32 == nullptr) return nullptr;
  // FARPROC's signature is a placeholder; the caller names the real one.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(kernel32, name)));
}

}  // namespace varnoll
