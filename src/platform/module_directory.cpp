#include "module_directory.h"

#include "platform_process.h"

namespace varnoll {

bool FindModuleDirectory(std::string& directory) {
  char modulePath[MAX_PATH];
  // A result of MAX_PATH means the path was cut short, and the buffer then
  // has no terminating NUL.
  const DWORD moduleLength = GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
  if (moduleLength == 0 || moduleLength >= MAX_PATH) return false;

  char fullPath[MAX_PATH];
  char* fileName = nullptr;
  // A result of MAX_PATH or more is the size the path would need; nothing was
  // written then.
  const DWORD fullLength = GetFullPathNameA(modulePath, MAX_PATH, fullPath, &fileName);
  if (fullLength == 0 || fullLength >= MAX_PATH) return false;
  if (fileName == nullptr || fileName <= fullPath || fileName >= fullPath + fullLength) {
    return false;
  }
  *fileName = '\0';
  directory = fullPath;
  return true;
}

}  // namespace varnoll
