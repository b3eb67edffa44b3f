#include "page/InspectedFile.h"

brix::WindowsFile openInspectedFile(const std::string& path) {
  return brix::WindowsFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}
