#include "base/RegistryKey.h"

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

}  // namespace brix
