#pragma once
#include <string>
#include <vector>

#include "tests/support/TempDirectory.h"

namespace shell_host {

// A copy of a DLL in a fresh folder whose name has spaces and characters
// beyond ASCII, so that no narrow code page can spell its path; with a
// minimum length beyond MAX_PATH, in the \\?\ form and nested folders that
// long. Removed with its folders; the copy must be unloaded by then.
class DllCopy {
 public:
  explicit DllCopy(const std::string& dll, std::size_t minimumLength = 0);
  ~DllCopy();
  DllCopy(const DllCopy&) = delete;
  DllCopy& operator=(const DllCopy&) = delete;

  // The copy's full path, in UTF-8.
  const std::string& path() const noexcept { return path_; }

 private:
  testing_support::TempDirectory temp_;
  std::vector<std::wstring> folders_;
  std::string path_;
};

}  // namespace shell_host
