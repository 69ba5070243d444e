// Move-only owners for the two handle families the program opens.
#pragma once

#include "platform_files.h"

#include <utility>

namespace varnoll {

// Owns a handle whose empty value is `Traits::Invalid()` and closes it with
// `Traits::Close`. Closing keeps the thread's last error as it was, so a
// caller may return early and still read the error of the call that failed.
template <typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  bool IsValid() const { return handle_ != Traits::Invalid(); }
  HANDLE Get() const { return handle_; }

  HANDLE Release() { return std::exchange(handle_, Traits::Invalid()); }

  void Reset(HANDLE handle = Traits::Invalid()) {
    HANDLE old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) {
      const DWORD lastError = GetLastError();
      Traits::Close(old);
      SetLastError(lastError);
    }
  }

 private:
  HANDLE handle_ = Traits::Invalid();
};

// CreateFileA and FindFirstFileA both report failure as INVALID_HANDLE_VALUE,
// not NULL.
struct FileHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};

struct FindHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { FindClose(handle); }
};

// Process and thread handles are NULL when empty.
struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};

using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;

}  // namespace varnoll
