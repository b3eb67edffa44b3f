#include "tests/installer/MachineState.h"

#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <stdexcept>

#include "base/Unicode.h"

namespace installer_test {
namespace {

std::string knownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  if (FAILED(SHGetKnownFolderPath(id, 0, nullptr, &path))) throw std::runtime_error("no known folder");
  const std::string result = brix::fromWide(path);
  CoTaskMemFree(path);
  return result;
}

// Wow6432Node is the other view, read through its own eyes; "Installer" and
// "Uninstall" are the installer's own records; Perflib holds the system's
// performance counters, keys that can't be read as keys; Wine holds the
// settings of Wine itself, some of which each program rewrites as it starts
// (its font cache follows the code page, UTF-8 for the tool).
const std::vector<std::string> notCompared = {"Wow6432Node", "Installer", "Uninstall", "Perflib", "Wine"};

void addTagged(std::vector<std::string>& lines, const std::string& tag, const std::vector<std::string>& more) {
  for (const std::string& line : more) lines.push_back(tag + " " + line);
}

std::vector<std::string> filesBelow(const std::string& folder) {
  std::vector<std::string> files;
  const std::filesystem::path root = brix::toWide(folder);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    files.push_back(brix::fromWide(entry.path().lexically_relative(root).wstring()));
  }
  return files;
}

}  // namespace

std::string programFiles64() {
  return knownFolder(FOLDERID_ProgramFiles);
}

std::string programFiles32() {
  return knownFolder(FOLDERID_ProgramFilesX86);
}

MachineState MachineState::now() {
  MachineState state;
  addTagged(state.machine, "64",
            shell_host::registryContents(HKEY_LOCAL_MACHINE, "Software", KEY_WOW64_64KEY, notCompared));
  addTagged(state.machine, "32",
            shell_host::registryContents(HKEY_LOCAL_MACHINE, "Software", KEY_WOW64_32KEY, notCompared));
  state.user = shell_host::registryContents(HKEY_CURRENT_USER, "Software", 0, notCompared);
  addTagged(state.files, "64", filesBelow(programFiles64()));
  addTagged(state.files, "32", filesBelow(programFiles32()));
  std::sort(state.machine.begin(), state.machine.end());
  std::sort(state.files.begin(), state.files.end());
  return state;
}

Difference difference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::string> sortedA = a, sortedB = b;
  std::sort(sortedA.begin(), sortedA.end());
  std::sort(sortedB.begin(), sortedB.end());
  Difference d;
  std::set_difference(sortedB.begin(), sortedB.end(), sortedA.begin(), sortedA.end(), std::back_inserter(d.added));
  std::set_difference(sortedA.begin(), sortedA.end(), sortedB.begin(), sortedB.end(), std::back_inserter(d.removed));
  return d;
}

}  // namespace installer_test
