#include "base/RegistryKey.h"

#include "base/Unicode.h"
#include "base/WindowsError.h"

namespace brix {

RegistryKey::RegistryKey(HKEY parent, const char* path, REGSAM access) {
  const LONG result = RegOpenKeyExA(parent, path, 0, access, &key_);
  if (result == ERROR_FILE_NOT_FOUND) throw WindowsError(ERROR_FILE_NOT_FOUND, "Registry key not found");
  if (result != ERROR_SUCCESS) throw WindowsError(static_cast<DWORD>(result), "");
  owned_ = true;
}

RegistryKey::~RegistryKey() {
  if (owned_) RegCloseKey(key_);
}

void RegistryKey::create(HKEY parent, const char* path, const char* className, DWORD options, REGSAM access,
                         SECURITY_ATTRIBUTES* security, DWORD* disposition) {
  if (owned_) {
    const LONG closed = RegCloseKey(key_);
    if (closed != ERROR_SUCCESS) throw WindowsError(static_cast<DWORD>(closed), "");
    owned_ = false;
    key_ = nullptr;
  }
  HKEY created = nullptr;
  const LONG result =
      RegCreateKeyExA(parent, path, 0, const_cast<char*>(className), options, access, security, &created, disposition);
  if (result != ERROR_SUCCESS) throw WindowsError(static_cast<DWORD>(result), "");
  key_ = created;
  owned_ = true;
}

std::uint32_t RegistryKey::queryDWORD(const char* name) {
  unsigned char data[4] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  const LONG result = RegQueryValueExA(key_, name, nullptr, &type, data, &size);
  if (result != ERROR_SUCCESS) throw WindowsError(static_cast<DWORD>(result), "");
  return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
         static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

void RegistryKey::setDWORD(const char* name, std::uint32_t number) {
  const unsigned char data[4] = {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
                                 static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
  setValue(name, data, sizeof data, REG_DWORD);
}

void RegistryKey::setValue(const char* name, const void* data, DWORD size, DWORD type) {
  const LONG result = RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size);
  if (result != ERROR_SUCCESS) throw WindowsError(static_cast<DWORD>(result), "");
}

void RegistryKey::setString(const char* name, std::string_view text) {
  const std::wstring wide = toWide(text);
  const auto* bytes = reinterpret_cast<const BYTE*>(wide.c_str());
  setStored(name, {REG_SZ, std::vector<BYTE>(bytes, bytes + (wide.size() + 1) * sizeof(wchar_t))});
}

std::optional<StoredValue> RegistryKey::queryStored(const char* name) {
  const std::wstring wideName = toWide(name);
  StoredValue value;
  DWORD size = 0;
  LONG result = RegQueryValueExW(key_, wideName.c_str(), nullptr, &value.type, nullptr, &size);
  // The value may grow between asking for its size and reading it.
  while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
    value.data.resize(size);
    result = RegQueryValueExW(key_, wideName.c_str(), nullptr, &value.type, value.data.data(), &size);
    if (result == ERROR_SUCCESS) {
      value.data.resize(size);
      return value;
    }
  }
  if (result == ERROR_FILE_NOT_FOUND) return std::nullopt;
  throw WindowsError(static_cast<DWORD>(result), "");
}

void RegistryKey::setStored(const char* name, const StoredValue& value) {
  const LONG result = RegSetValueExW(key_, toWide(name).c_str(), 0, value.type, value.data.data(),
                                     static_cast<DWORD>(value.data.size()));
  if (result != ERROR_SUCCESS) throw WindowsError(static_cast<DWORD>(result), "");
}

bool RegistryKey::deleteValue(const char* name) {
  const LONG result = RegDeleteValueA(key_, name);
  if (result == ERROR_FILE_NOT_FOUND) return false;
  if (result != ERROR_SUCCESS) throw WindowsError(static_cast<DWORD>(result), "");
  return true;
}

bool RegistryKey::empty() {
  DWORD subKeys = 0, values = 0;
  const LONG result = RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                                       nullptr, nullptr, nullptr);
  if (result != ERROR_SUCCESS) throw WindowsError(static_cast<DWORD>(result), "");
  return subKeys == 0 && values == 0;
}

bool RegistryKey::deleteKey(HKEY parent, const char* path) {
  const LONG result = RegDeleteKeyA(parent, path);
  if (result == ERROR_FILE_NOT_FOUND) return false;
  if (result != ERROR_SUCCESS) throw WindowsError(static_cast<DWORD>(result), "");
  return true;
}

}  // namespace brix
