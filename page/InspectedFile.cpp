#include "page/InspectedFile.h"

#include <algorithm>

brix::WindowsFile openInspectedFile(const std::string& path) {
  return brix::WindowsFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool hasAviExtension(const std::string& name) {
  static const char extension[] = ".avi";
  constexpr std::size_t length = sizeof extension - 1;
  if (name.size() < length) return false;
  return std::equal(name.end() - length, name.end(), extension, [](char c, char lower) {
    return (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == lower;
  });
}
