#pragma once
#include <string>
#include <vector>

struct FolderEntry {
  std::string name;  // UTF-8 on Windows; on Linux the name's bytes as they are
  bool isFolder;     // a folder itself, not a link to one
};

// The entries of one folder in the system's order, without "." and "..".
// Links to folders (on Windows every folder that is a reparse point:
// symbolic links, junctions, mount points) are left out, so that a walk
// cannot run in circles; links to anything else are entries like files.
// Throws brix::WindowsError "FolderListing: Can't read folder '<path>'".
std::vector<FolderEntry> listFolder(const std::string& path);

// Whether path names a folder, following links.
bool isFolder(const std::string& path);

// The platform's separator, used to join a folder and a name.
extern const char pathSeparator;
