#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/FolderListing.h"

// One thing to report on: a file to read, or a folder that could not be read.
struct WalkItem {
  std::string path;
  std::optional<std::string> folderError;  // the message, for a folder
};

// The files to read for the paths of a command line, one at a time, so
// that what is held is one listing per folder level being walked, never the
// whole tree. Paths are taken in the order given; a file is always read,
// whatever its name. With recursive, a folder given (or a link to one) is
// walked: its files named *.avi and its folders, in the order of their
// paths, and so on down, without following links to folders. A folder that
// cannot be read becomes an item of its own, and the walk goes on.
class TreeWalker {
 public:
  TreeWalker(std::vector<std::string> paths, bool recursive);

  // The next item, or none at the end.
  std::optional<WalkItem> next();

 private:
  struct Level {
    std::string path;
    std::vector<FolderEntry> entries;
    std::size_t next = 0;
  };

  // Lists a folder and goes down into it; the item for it if it cannot be read.
  std::optional<WalkItem> enter(const std::string& path);

  std::vector<std::string> paths_;
  std::size_t nextPath_ = 0;
  bool recursive_;
  std::vector<Level> levels_;
};

// name inside folder, with one separator between them.
std::string pathInFolder(const std::string& folder, const std::string& name);

// Puts the entries in the order of the paths they make: a folder sorts as
// its name with the separator after it, since everything inside it follows.
void sortInPathOrder(std::vector<FolderEntry>& entries);
