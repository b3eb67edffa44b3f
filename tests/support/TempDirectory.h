#pragma once
#include <filesystem>
#include <string>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes.
class TempDirectory {
 public:
  TempDirectory();
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of name inside the folder, both in UTF-8 as WindowsFile takes
  // them (on Linux, bytes as they are).
  std::string file(const std::string& name) const;
  // A copy of the file at source (UTF-8) inside the folder, under name: its
  // path. Throws std::runtime_error when it can't be made.
  std::string copyOf(const std::string& source, const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// Writes bytes to path (UTF-8), replacing it.
void writeFile(const std::string& path, const void* data, std::size_t size);
// The whole file at path (UTF-8); throws std::runtime_error naming the path
// when it can't be read.
std::string readFile(const std::string& path);

}  // namespace testing_support
