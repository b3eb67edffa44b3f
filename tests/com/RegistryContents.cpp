#include "tests/com/RegistryContents.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "base/Unicode.h"

namespace shell_host {
namespace {

void check(LONG result, const std::string& what, const std::string& path) {
  if (result != ERROR_SUCCESS) throw std::runtime_error(what + " failed for " + path + ": " + std::to_string(result));
}

std::string text(const std::vector<BYTE>& data) {
  std::wstring wide(data.size() / sizeof(wchar_t), L'\0');
  if (!wide.empty()) memcpy(&wide[0], data.data(), wide.size() * sizeof(wchar_t));
  // A string value is stored with one terminator, and only one.
  if (wide.empty() || wide.back() != L'\0') return "(unterminated) " + brix::fromWide(wide);
  wide.pop_back();
  return "\"" + brix::fromWide(wide) + "\"";
}

std::string valueLine(const std::string& path, const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
  std::string line = path + " " + (name.empty() ? "@" : brix::fromWide(name)) + " = ";
  switch (type) {
    case REG_SZ: return line + "REG_SZ " + text(data);
    case REG_EXPAND_SZ: return line + "REG_EXPAND_SZ " + text(data);
    default: return line + "type " + std::to_string(type) + ", " + std::to_string(data.size()) + " bytes";
  }
}

struct Walk {
  REGSAM view;
  const std::vector<std::string>& skip;
  RegistryLines lines;
};

std::string below(const std::string& path, const std::wstring& name) {
  return path.empty() ? brix::fromWide(name) : path + "\\" + brix::fromWide(name);
}

// Every value below key, and every key that holds nothing.
void collect(HKEY key, const std::string& path, Walk& walk) {
  DWORD subKeys = 0, values = 0, longestName = 0, longestValueName = 0;
  check(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &longestName, nullptr, &values, &longestValueName,
                         nullptr, nullptr, nullptr),
        "RegQueryInfoKey", path);
  if (subKeys == 0 && values == 0 && !path.empty()) walk.lines.push_back(path);
  std::wstring name(std::max(longestName, longestValueName) + 1, L'\0');
  for (DWORD i = 0; i < values; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size()), type = 0, size = 0;
    check(RegEnumValueW(key, i, &name[0], &nameLength, nullptr, &type, nullptr, &size), "RegEnumValue", path);
    std::vector<BYTE> data(size);
    nameLength = static_cast<DWORD>(name.size());
    check(RegEnumValueW(key, i, &name[0], &nameLength, nullptr, &type, data.data(), &size), "RegEnumValue", path);
    walk.lines.push_back(valueLine(path, name.substr(0, nameLength), type, data));
  }
  for (DWORD i = 0; i < subKeys; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    check(RegEnumKeyExW(key, i, &name[0], &nameLength, nullptr, nullptr, nullptr, nullptr), "RegEnumKeyEx", path);
    const std::wstring subName = name.substr(0, nameLength);
    if (std::find(walk.skip.begin(), walk.skip.end(), brix::fromWide(subName)) != walk.skip.end()) continue;
    HKEY sub = nullptr;
    check(RegOpenKeyExW(key, subName.c_str(), 0, KEY_READ | walk.view, &sub), "RegOpenKeyEx", below(path, subName));
    try {
      collect(sub, below(path, subName), walk);
    } catch (...) {
      RegCloseKey(sub);
      throw;
    }
    RegCloseKey(sub);
  }
}

}  // namespace

RegistryLines registryContents(HKEY root) {
  const std::vector<std::string> none;
  Walk walk{0, none, {}};
  collect(root, "", walk);
  return sorted(std::move(walk.lines));
}

RegistryLines registryContents(HKEY root, const std::string& path, REGSAM view, const std::vector<std::string>& skip) {
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExW(root, brix::toWide(path).c_str(), 0, KEY_READ | view, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return {};
  check(opened, "RegOpenKeyEx", path);
  Walk walk{view, skip, {}};
  try {
    collect(key, path, walk);
  } catch (...) {
    RegCloseKey(key);
    throw;
  }
  RegCloseKey(key);
  return sorted(std::move(walk.lines));
}

std::string textValueLine(const std::string& path, const std::string& name, const std::string& text) {
  return path + " " + (name.empty() ? "@" : name) + " = REG_SZ \"" + text + "\"";
}

RegistryLines sorted(RegistryLines lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

void putRegistryValue(HKEY root, const std::string& path, const std::optional<std::string>& name,
                      const std::string& value, DWORD type, REGSAM view) {
  HKEY key = nullptr;
  check(RegCreateKeyExW(root, brix::toWide(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
        "RegCreateKeyEx", path);
  LONG result = ERROR_SUCCESS;
  if (name) {
    const std::wstring wide = brix::toWide(value);
    result = RegSetValueExW(key, brix::toWide(*name).c_str(), 0, type, reinterpret_cast<const BYTE*>(wide.c_str()),
                            static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
  check(result, "RegSetValueEx", path);
}

RegistryValueOverride::RegistryValueOverride(HKEY root, const std::string& path, const std::string& name, DWORD type,
                                             const void* data, DWORD size)
    : root_(root), path_(brix::toWide(path)), name_(brix::toWide(name)) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  check(RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
        "RegCreateKeyEx", path);
  keyExisted_ = disposition == REG_OPENED_EXISTING_KEY;
  DWORD previousType = 0, previousSize = 0;
  if (RegQueryValueExW(key, name_.c_str(), nullptr, &previousType, nullptr, &previousSize) == ERROR_SUCCESS) {
    previousData_.resize(previousSize);
    if (RegQueryValueExW(key, name_.c_str(), nullptr, &previousType, previousData_.data(), &previousSize) ==
        ERROR_SUCCESS) {
      previousData_.resize(previousSize);
      previousType_ = previousType;
    }
  }
  const LONG result = RegSetValueExW(key, name_.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS && !keyExisted_) RegDeleteKeyW(root_, path_.c_str());
  check(result, "RegSetValueEx", path);
}

RegistryValueOverride::~RegistryValueOverride() {
  if (!keyExisted_) {
    RegDeleteTreeW(root_, path_.c_str());
  } else if (previousType_) {
    RegSetKeyValueW(root_, path_.c_str(), name_.c_str(), *previousType_, previousData_.data(),
                    static_cast<DWORD>(previousData_.size()));
  } else {
    RegDeleteKeyValueW(root_, path_.c_str(), name_.c_str());
  }
}

}  // namespace shell_host
