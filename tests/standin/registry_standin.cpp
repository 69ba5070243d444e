// The host stand-in for the registry reads the machine readers make: a
// scripted HKEY_LOCAL_MACHINE that answers as the Reg*A calls do (sizes,
// ERROR_MORE_DATA, missing keys and values) and records every call.
#include "standin.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

struct VarnollRegistryKey {
  std::string path;
};

namespace standin {
namespace {

struct RegistryState {
  std::map<std::string, std::vector<RegistryValue>> keys;
  std::vector<std::string> calls;
  int open = 0;
};

RegistryState& TheRegistry() {
  static RegistryState state;
  return state;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

std::string Hex(unsigned long value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", value);
  return text;
}

// The scripted key at `path`, or null; a parent of a scripted key exists
// with no values of its own.
const std::vector<RegistryValue>* FindKey(const std::string& path, bool& exists) {
  static const std::vector<RegistryValue> kNone;
  const std::string wanted = Lower(path);
  for (const auto& [name, values] : TheRegistry().keys) {
    const std::string key = Lower(name);
    if (key == wanted) {
      exists = true;
      return &values;
    }
    if (key.size() > wanted.size() && key.compare(0, wanted.size(), wanted) == 0 &&
        key[wanted.size()] == '\\')
      exists = true;
  }
  return exists ? &kNone : nullptr;
}

const RegistryValue* FindValue(HKEY key, const char* name) {
  bool exists = false;
  const std::vector<RegistryValue>* values = FindKey(key->path, exists);
  if (values == nullptr) return nullptr;
  const std::string wanted = Lower(name ? name : "");
  const auto found = std::find_if(values->begin(), values->end(),
                                  [&](const RegistryValue& value) { return Lower(value.name) == wanted; });
  return found == values->end() ? nullptr : &*found;
}

// Copies `bytes` as the Reg* calls do: the size needed always, the bytes
// only when they fit.
LONG CopyOut(const std::string& bytes, BYTE* data, DWORD* size) {
  if (size == nullptr) return data == nullptr ? ERROR_SUCCESS : 87;  // ERROR_INVALID_PARAMETER
  const DWORD needed = static_cast<DWORD>(bytes.size());
  if (data != nullptr && *size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (data != nullptr) std::memcpy(data, bytes.data(), bytes.size());
  *size = needed;
  return ERROR_SUCCESS;
}

}  // namespace

std::map<std::string, std::vector<RegistryValue>>& RegistryKeys() { return TheRegistry().keys; }
const std::vector<std::string>& RegistryCalls() { return TheRegistry().calls; }
int OpenRegistryKeys() { return TheRegistry().open; }
void ResetRegistry() { TheRegistry() = RegistryState{}; }

void AddRegistryKey(const std::string& key) { TheRegistry().keys[key]; }

void SetRegistryDword(const std::string& key, const std::string& name, DWORD value) {
  std::string bytes(sizeof value, '\0');
  std::memcpy(&bytes[0], &value, sizeof value);
  TheRegistry().keys[key].push_back({name, REG_DWORD, bytes});
}

void SetRegistryString(const std::string& key, const std::string& name, const std::string& text) {
  TheRegistry().keys[key].push_back({name, REG_SZ, text + std::string(1, '\0')});
}

}  // namespace standin

using standin::TheRegistry;

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result) {
  const std::string path = subKey ? subKey : "";
  TheRegistry().calls.push_back("RegOpenKeyExA " + std::string(key == HKEY_LOCAL_MACHINE ? "HKLM\\" : "?\\") +
                                path + " options=" + standin::Hex(options) +
                                " access=" + standin::Hex(access));
  bool exists = false;
  if (key != HKEY_LOCAL_MACHINE || standin::FindKey(path, exists) == nullptr) return ERROR_FILE_NOT_FOUND;
  *result = new VarnollRegistryKey{path};
  ++TheRegistry().open;
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
  TheRegistry().calls.push_back("RegQueryValueExA " + key->path + " " + (name ? name : "(default)"));
  const standin::RegistryValue* value = standin::FindValue(key, name);
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  if (type != nullptr) *type = value->type;
  return standin::CopyOut(value->data, data, size);
}

LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, DWORD* type, BYTE* data,
                   DWORD* dataSize) {
  TheRegistry().calls.push_back("RegEnumValueA " + key->path + " " + std::to_string(index));
  bool exists = false;
  const std::vector<standin::RegistryValue>* values = standin::FindKey(key->path, exists);
  if (values == nullptr || index >= values->size()) return ERROR_NO_MORE_ITEMS;
  const standin::RegistryValue& value = (*values)[index];
  // The name's size is in characters, without its NUL, and must leave room
  // for it.
  if (*nameSize <= value.name.size()) {
    *nameSize = static_cast<DWORD>(value.name.size());
    return ERROR_MORE_DATA;
  }
  std::memcpy(name, value.name.c_str(), value.name.size() + 1);
  *nameSize = static_cast<DWORD>(value.name.size());
  if (type != nullptr) *type = value.type;
  return standin::CopyOut(value.data, data, dataSize);
}

LONG RegCloseKey(HKEY key) {
  TheRegistry().calls.push_back("RegCloseKey " + key->path);
  delete key;
  --TheRegistry().open;
  return ERROR_SUCCESS;
}
