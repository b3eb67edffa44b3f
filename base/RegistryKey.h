#pragma once
#include <boost/noncopyable.hpp>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/Win32.h"

namespace brix {

// A value as the registry stores it: its type and its bytes, strings in
// UTF-16 with their terminator.
struct StoredValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  bool operator==(const StoredValue& other) const { return type == other.type && data == other.data; }
};

// Owner of one open registry key (Windows only), with the few operations
// that remembering a setting and registering a server need, each one
// registry call. Key and value names are ASCII; text values are UTF-8 here
// and UTF-16 in the registry. Every failure of a registry function throws
// WindowsError carrying the code that the function returned (not the
// thread's last error):
// - open constructor: a missing key gives code 2 and "Registry key not
//   found", any other failure its code and an empty message;
// - every other operation: the code and an empty message. Those that say so
//   answer a missing key or value instead of throwing.
class RegistryKey : private boost::noncopyable {
 public:
  // Holds no key.
  RegistryKey() noexcept = default;
  // Opens the existing key path under parent with the given rights.
  RegistryKey(HKEY parent, const char* path, REGSAM access);
  // Closes an owned key; the result of the close is ignored.
  virtual ~RegistryKey();

  // Closes the key held so far (a failing close throws and leaves the object
  // as it was), then creates or opens path under parent. After a failure the
  // object holds no key.
  void create(HKEY parent, const char* path, const char* className, DWORD options, REGSAM access,
              SECURITY_ATTRIBUTES* security, DWORD* disposition);
  // The value's 32-bit number, little-endian as stored. Data longer than 4
  // bytes fails with ERROR_MORE_DATA; shorter data is read into a cleared
  // buffer, so the missing high bytes are 0. The value's type is not checked.
  std::uint32_t queryDWORD(const char* name);
  // Writes number as a REG_DWORD.
  void setDWORD(const char* name, std::uint32_t number);
  void setValue(const char* name, const void* data, DWORD size, DWORD type);

  // Writes text as a REG_SZ in UTF-16, whatever characters it holds.
  void setString(const char* name, std::string_view text);
  // The value's type and bytes, read with the wide call so that text comes
  // back exactly as stored; none when the value does not exist.
  std::optional<StoredValue> queryStored(const char* name);
  // Writes type and bytes as they are, with the wide call.
  void setStored(const char* name, const StoredValue& value);
  // False when there was no such value.
  bool deleteValue(const char* name);
  // Whether the key holds neither values nor sub-keys.
  bool empty();
  // Deletes the key path below parent, which must hold no sub-keys (its
  // values go with it); false when there was no such key.
  static bool deleteKey(HKEY parent, const char* path);

  HKEY key() const noexcept { return key_; }
  bool owned() const noexcept { return owned_; }

 private:
  bool owned_ = false;
  HKEY key_ = nullptr;
};

}  // namespace brix
