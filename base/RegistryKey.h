#pragma once
#include <boost/noncopyable.hpp>
#include <cstdint>

#include "base/Win32.h"

namespace brix {

// Owner of one open registry key (Windows only), with the few operations
// that remembering a setting needs. Every failure of a registry function
// throws WindowsError carrying the code that the function returned (not the
// thread's last error):
// - open constructor: a missing key gives code 2 and "Registry key not
//   found", any other failure its code and an empty message;
// - create, queryDWORD, setValue, setDWORD: the code and an empty message.
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

  HKEY key() const noexcept { return key_; }
  bool owned() const noexcept { return owned_; }

 private:
  bool owned_ = false;
  HKEY key_ = nullptr;
};

}  // namespace brix
