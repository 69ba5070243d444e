// What a HANDLE points to on the POSIX side of the seam.
#pragma once

#include "platform_types.h"

namespace varnoll::posix {

// Every HANDLE that CloseHandle closes is one of these; CloseHandle deletes
// it. Searches have their own kind, which FindClose deletes.
struct Handle {
  Handle();
  virtual ~Handle();
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
};

// How many handles (of either kind) are open now: tests check that every
// path closes what it opened.
int OpenHandleCount();

// Called with every CreateFileA request before it is carried out; tests use
// it to see what was opened, and how. Null: nobody is told.
using OpenObserver = void (*)(const char* path, DWORD access, DWORD share, DWORD disposition);
void SetOpenObserver(OpenObserver observer);

}  // namespace varnoll::posix
