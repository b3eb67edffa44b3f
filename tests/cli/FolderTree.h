#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli/TreeWalker.h"
#include "tests/support/TempDirectory.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

// A fresh folder for tests that walk files and folders, each named by its
// path below the root with '/' between the parts.
class FolderTree : public ::testing::Test {
 protected:
  std::string path(const std::string& relative) const {
    std::string out = root.path().string();
    std::size_t start = 0;
    for (std::size_t slash; (slash = relative.find('/', start)) != std::string::npos; start = slash + 1) {
      out = pathInFolder(out, relative.substr(start, slash - start));
    }
    return pathInFolder(out, relative.substr(start));
  }
  // Writes the file, and the folders it is in when they are missing.
  void file(const std::string& relative, const std::string& content = "") {
    const std::size_t slash = relative.rfind('/');
    if (slash != std::string::npos) folder(relative.substr(0, slash));
    testing_support::writeFile(path(relative), content.data(), content.size());
  }
  void folder(const std::string& relative) { std::filesystem::create_directories(path(relative)); }

#ifndef _WIN32
  // Root reads every folder, whatever its mode, and CI runs as root: a child
  // process that must meet an unreadable folder lets others into the tree
  // and gives up root for nobody, or ends with status 3.
  void becomeNobody() const {
    chmod(root.path().c_str(), 0755);
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::exit(3);
  }
#endif

  testing_support::TempDirectory root;
};
