#pragma once
// The registry as lines of text that tests compare: one line per value
// ("path name = REG_SZ \"text\"", "@" for the default value) and one per key
// that holds nothing (its path alone), sorted.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace shell_host {

using RegistryLines = std::vector<std::string>;

// Everything below root, with paths relative to root.
RegistryLines registryContents(HKEY root);
// Everything below path in the given view (0, KEY_WOW64_64KEY or
// KEY_WOW64_32KEY), path itself included, with paths that begin with path;
// nothing when path does not exist. Keys named in skip are left out with
// all they hold. Throws std::runtime_error when a key can't be read.
RegistryLines registryContents(HKEY root, const std::string& path, REGSAM view,
                               const std::vector<std::string>& skip = {});

// The line of a REG_SZ value.
std::string textValueLine(const std::string& path, const std::string& name, const std::string& text);

RegistryLines sorted(RegistryLines lines);

// Creates the key path below root in the view, and sets its REG_SZ (or
// type) value name when given. Throws std::runtime_error on failure.
void putRegistryValue(HKEY root, const std::string& path, const std::optional<std::string>& name = std::nullopt,
                      const std::string& value = "", DWORD type = REG_SZ, REGSAM view = 0);

// A registry value set for the life of this object, below root in its
// usual view; what was there before comes back exactly: the old value with
// its type and bytes, no value, or no key (the key alone, when this object
// made it). name "" is the key's default value. Throws std::runtime_error
// when the key can't be made or the value can't be set.
class RegistryValueOverride {
 public:
  RegistryValueOverride(HKEY root, const std::string& path, const std::string& name, DWORD type, const void* data,
                        DWORD size);
  ~RegistryValueOverride();
  RegistryValueOverride(const RegistryValueOverride&) = delete;
  RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;

 private:
  HKEY root_;
  std::wstring path_;
  std::wstring name_;
  bool keyExisted_ = false;
  std::optional<DWORD> previousType_;
  std::vector<BYTE> previousData_;
};

}  // namespace shell_host
