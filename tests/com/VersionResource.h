#pragma once
// A file's version resource: the texts of its US English string table and
// its fixed part, as the system reads them.
#include <windows.h>

#include <string>
#include <vector>

namespace shell_host {

class VersionResource {
 public:
  // Throws std::runtime_error when the file has no version resource.
  explicit VersionResource(const std::string& path);

  // A text such as "ProductName" or "FileVersion"; "" when there is none.
  std::string text(const std::string& name) const;
  // The numeric versions and the file's type. Throws std::runtime_error
  // when the resource has no fixed part.
  const VS_FIXEDFILEINFO& fixed() const;
  // The language of its first translation (1033 for US English). Throws
  // std::runtime_error when it names none.
  WORD language() const;

 private:
  std::string path_;
  std::vector<BYTE> data_;
};

}  // namespace shell_host
