#pragma once
// What a per-machine package may change, as lines of text that tests
// compare: the registry below HKEY_LOCAL_MACHINE\Software in both views,
// the current user's registry, and the files and folders in both Program
// Files folders.
#include <string>
#include <vector>

#include "tests/com/RegistryContents.h"

namespace installer_test {

// Program Files of 64-bit programs, and of 32-bit ones.
std::string programFiles64();
std::string programFiles32();

struct MachineState {
  // "64 Software\..." and "32 Software\..." lines (RegistryContents.h),
  // each view read through its own eyes. The installer's own records of
  // what it installed (the "Installer" keys) and the uninstall list are
  // left out: tests read those through the installer itself.
  shell_host::RegistryLines machine;
  // HKEY_CURRENT_USER\Software, the same way.
  shell_host::RegistryLines user;
  // "64 folder\file" and "32 folder\file": every file and folder below the
  // two Program Files folders, relative to them.
  std::vector<std::string> files;

  static MachineState now();
};

// The lines of b that are not in a, and those of a not in b.
struct Difference {
  std::vector<std::string> added;
  std::vector<std::string> removed;
};
Difference difference(const std::vector<std::string>& a, const std::vector<std::string>& b);

}  // namespace installer_test
