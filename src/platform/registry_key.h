// A registry key of HKEY_LOCAL_MACHINE opened for reading values only, in
// the 64-bit view, so that an x86 tool on x64 Windows reads what Windows
// itself reads. Through the registry seam (platform_registry.h): only the
// rooms with it on their include path can use it, and none can write.
#pragma once

#include "platform_registry.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace varnoll {

// Owns an open key and closes it once. Reg* calls return their error
// instead of setting the thread's last error, so there is none to keep.
class CRegistryKey {
 public:
  // Opens HKLM\`path` for reading values; IsOpen() says whether it could.
  explicit CRegistryKey(const std::string& path) {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key_) !=
        ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;
  ~CRegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }

  bool IsOpen() const { return key_ != nullptr; }

  // A REG_DWORD value; none when it is missing or of another type.
  std::optional<DWORD> Dword(const char* name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (!IsOpen() ||
        RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
      return std::nullopt;
    }
    return value;
  }

  // A REG_SZ value up to its first NUL; none when it is missing, longer than
  // 1 KiB or of another type.
  std::optional<std::string> String(const char* name) const {
    DWORD type = 0;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    if (!IsOpen() ||
        RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return std::nullopt;
    }
    return std::string(data, strnlen(data, size));
  }

  // Whether the value holds at least one character that is not a NUL (an
  // empty REG_MULTI_SZ is NULs only, and the size asked for without a
  // buffer may be that of the wide text).
  bool HasText(const char* name) const {
    if (!IsOpen()) return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
      return false;
    std::vector<BYTE> data(size + 2, 0);
    DWORD read = size;
    const LONG result = RegQueryValueExA(key_, name, nullptr, &type, data.data(), &read);
    // Grown since it was measured: it holds something.
    if (result == ERROR_MORE_DATA) return true;
    return result == ERROR_SUCCESS &&
           std::any_of(data.begin(), data.begin() + std::min<size_t>(read, data.size()),
                       [](BYTE b) { return b != 0; });
  }

  // The string values of the key, in the order the registry gives them
  // (a policy list: "1", "2", ... each holding one ID).
  std::vector<std::string> Strings() const {
    std::vector<std::string> strings;
    std::vector<char> name(16384);
    std::vector<BYTE> data(1024);
    for (DWORD index = 0; IsOpen();) {
      DWORD nameSize = static_cast<DWORD>(name.size());
      DWORD dataSize = static_cast<DWORD>(data.size() - 2);
      DWORD type = 0;
      const LONG result =
          RegEnumValueA(key_, index, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
      if (result == ERROR_MORE_DATA && dataSize + 2 > data.size() && data.size() < (1u << 20)) {
        data.resize(dataSize + 2);
        continue;  // the same index again, with room for its data
      }
      if (result != ERROR_SUCCESS) break;
      ++index;
      if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
      // The data need not end with a NUL: stop at the first, or at its size.
      std::string text(reinterpret_cast<const char*>(data.data()), dataSize);
      text = text.substr(0, text.find('\0'));
      if (!text.empty()) strings.push_back(std::move(text));
    }
    return strings;
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace varnoll
