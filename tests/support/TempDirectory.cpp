#include "tests/support/TempDirectory.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

namespace testing_support {

TempDirectory::TempDirectory() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() / ("quarnel-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("TempDirectory: can't create a folder");
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDirectory::file(const std::string& name) const {
  return (path_ / std::filesystem::u8path(name)).u8string();
}

std::string TempDirectory::copyOf(const std::string& source, const std::string& name) const {
  const std::string bytes = readFile(source);
  const std::string copy = file(name);
  writeFile(copy, bytes.data(), bytes.size());
  return copy;
}

void writeFile(const std::string& path, const void* data, std::size_t size) {
  std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) throw std::runtime_error("writeFile: can't write " + path);
}

std::string readFile(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  if (!in) throw std::runtime_error("readFile: can't read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testing_support
