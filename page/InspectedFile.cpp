#include "page/InspectedFile.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Spelled out: the Linux build has no Windows headers, and the Windows
// headers of this toolchain lack the two recall attributes.
constexpr std::uint32_t openNoRecall = 0x00100000;        // FILE_FLAG_OPEN_NO_RECALL
constexpr std::uint32_t offline = 0x00001000;             // FILE_ATTRIBUTE_OFFLINE: moved to offline storage
constexpr std::uint32_t recallOnOpen = 0x00040000;        // FILE_ATTRIBUTE_RECALL_ON_OPEN
constexpr std::uint32_t recallOnDataAccess = 0x00400000;  // FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS: a placeholder
#ifdef _WIN32
static_assert(openNoRecall == FILE_FLAG_OPEN_NO_RECALL);
static_assert(offline == FILE_ATTRIBUTE_OFFLINE);

// The file's attributes, looked up without opening it; none for a file the
// look-up can't find, which then gets its open error.
bool attributesOf(const std::string& path, std::uint32_t& attributes) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(brix::WindowsFile::systemPath(path.c_str()).c_str(), GetFileExInfoStandard, &data)) {
    return false;
  }
  attributes = data.dwFileAttributes;
  return true;
}
#endif

}  // namespace

const char storedOnlineStatus[] = "Not read: the file is stored online, and reading it would download it";

brix::WindowsFile openInspectedFile(const std::string& path, OnlineFiles online) {
#ifdef _WIN32
  std::uint32_t attributes = 0;
  if (online == OnlineFiles::skip && attributesOf(path, attributes) && isStoredOnline(attributes)) {
    throw std::runtime_error(storedOnlineStatus);
  }
#endif
  return brix::WindowsFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, inspectedFileFlags(online), nullptr);
}

std::uint32_t inspectedFileFlags(OnlineFiles online) {
  return FILE_ATTRIBUTE_NORMAL | (online == OnlineFiles::skip ? openNoRecall : 0);
}

bool isStoredOnline(std::uint32_t attributes) {
  return (attributes & (offline | recallOnOpen | recallOnDataAccess)) != 0;
}

bool hasAviExtension(const std::string& name) {
  static const char extension[] = ".avi";
  constexpr std::size_t length = sizeof extension - 1;
  if (name.size() < length) return false;
  return std::equal(name.end() - length, name.end(), extension, [](char c, char lower) {
    return (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == lower;
  });
}
