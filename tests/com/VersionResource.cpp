#include "tests/com/VersionResource.h"

#include <stdexcept>

#include "base/Unicode.h"

namespace shell_host {

VersionResource::VersionResource(const std::string& path) : path_(path) {
  const std::wstring file = brix::toWide(path);
  DWORD ignored = 0;
  data_.resize(GetFileVersionInfoSizeW(file.c_str(), &ignored));
  if (data_.empty() || !GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data_.size()), data_.data())) {
    throw std::runtime_error("no version resource in " + path);
  }
}

std::string VersionResource::text(const std::string& name) const {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring query = L"\\StringFileInfo\\040904B0\\" + brix::toWide(name);
  if (!VerQueryValueW(data_.data(), query.c_str(), &value, &length)) return {};
  return brix::fromWide(static_cast<const wchar_t*>(value));
}

const VS_FIXEDFILEINFO& VersionResource::fixed() const {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data_.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
    throw std::runtime_error("no fixed version information in " + path_);
  }
  return *static_cast<const VS_FIXEDFILEINFO*>(value);
}

WORD VersionResource::language() const {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 2 * sizeof(WORD)) {
    throw std::runtime_error("no translation in the version resource of " + path_);
  }
  return *static_cast<const WORD*>(value);
}

}  // namespace shell_host
