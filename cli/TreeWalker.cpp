#include "cli/TreeWalker.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "page/InspectedFile.h"
#include "page/StatusText.h"

std::string pathInFolder(const std::string& folder, const std::string& name) {
  const bool separated = !folder.empty() && (folder.back() == pathSeparator || folder.back() == '/');
  return separated ? folder + name : folder + pathSeparator + name;
}

void sortInPathOrder(std::vector<FolderEntry>& entries) {
  for (FolderEntry& entry : entries) {
    if (entry.isFolder) entry.name += pathSeparator;
  }
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  for (FolderEntry& entry : entries) {
    if (entry.isFolder) entry.name.pop_back();
  }
}

TreeWalker::TreeWalker(std::vector<std::string> paths, bool recursive)
    : paths_(std::move(paths)), recursive_(recursive) {}

std::optional<WalkItem> TreeWalker::next() {
  for (;;) {
    if (!levels_.empty()) {
      Level& level = levels_.back();
      if (level.next == level.entries.size()) {
        levels_.pop_back();
        continue;
      }
      const FolderEntry& entry = level.entries[level.next++];
      std::string path = pathInFolder(level.path, entry.name);
      if (entry.isFolder) {
        // enter() adds a level: level and entry are not to be used after it.
        if (std::optional<WalkItem> failure = enter(path)) return failure;
      } else if (hasAviExtension(entry.name)) {
        return WalkItem{std::move(path), std::nullopt};
      }
      continue;
    }
    if (nextPath_ == paths_.size()) return std::nullopt;
    std::string path = paths_[nextPath_++];
    if (!recursive_ || !isFolder(path)) return WalkItem{std::move(path), std::nullopt};
    if (std::optional<WalkItem> failure = enter(path)) return failure;
  }
}

std::optional<WalkItem> TreeWalker::enter(const std::string& path) {
  std::vector<FolderEntry> entries;
  try {
    entries = listFolder(path);
  } catch (const std::exception& e) {
    return WalkItem{path, statusText(e)};
  }
  sortInPathOrder(entries);
  levels_.push_back({path, std::move(entries), 0});
  return std::nullopt;
}
