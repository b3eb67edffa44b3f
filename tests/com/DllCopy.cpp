#include "tests/com/DllCopy.h"

#include <windows.h>

#include <stdexcept>

#include "base/Unicode.h"

namespace shell_host {

DllCopy::DllCopy(const std::string& dll, std::size_t minimumLength) {
  std::wstring folder = temp_.path().wstring();
  if (minimumLength >= MAX_PATH) folder = L"\\\\?\\" + folder;
  // Under 255 bytes a name also in UTF-8, as the Linux file names under
  // Wine are.
  for (std::wstring name = L"Quarnel AVI – tëst ü 日本";; name = std::wstring(100, L'ä')) {
    folder += L"\\" + name;
    if (!CreateDirectoryW(folder.c_str(), nullptr)) {
      throw std::runtime_error("can't create a folder: error " + std::to_string(GetLastError()));
    }
    folders_.push_back(folder);
    if (folder.size() >= minimumLength) break;
  }
  const std::string fileName = dll.substr(dll.find_last_of("\\/") + 1);
  const std::wstring copy = folder + L"\\" + brix::toWide(fileName);
  if (!CopyFileW(brix::toWide(dll).c_str(), copy.c_str(), FALSE)) {
    throw std::runtime_error("can't copy " + dll + ": error " + std::to_string(GetLastError()));
  }
  path_ = brix::fromWide(copy);
}

DllCopy::~DllCopy() {
  DeleteFileW(brix::toWide(path_).c_str());
  for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) RemoveDirectoryW(folder->c_str());
}

}  // namespace shell_host
