#include "cli/FileArguments.h"

#ifdef _WIN32
#include <algorithm>
#include <utility>

#include "base/Unicode.h"
#include "base/Win32.h"
#include "base/WindowsError.h"
#include "cli/FolderListing.h"
#include "cli/Wildcards.h"

namespace {

// Where the name part of an argument starts: after its last separator, or
// after the drive of a drive-relative "C:name".
std::size_t nameStart(const std::string& argument) {
  const std::size_t separator = argument.find_last_of("\\/");
  if (separator != std::string::npos) return separator + 1;
  if (argument.size() >= 2 && argument[1] == ':') return 2;
  return 0;
}

// Upper case as the system folds it, so that x.avi matches *.AVI as the file
// system takes both for the same name.
std::string foldedCase(const std::wstring& name) {
  std::wstring upper = name;
  if (!upper.empty()) CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
  return brix::fromWide(upper);
}

// The argument's matches, sorted by folded name and then by name; empty when
// nothing matches or the folder cannot be listed.
std::vector<std::string> matchingNames(const std::string& argument) {
  const std::size_t start = nameStart(argument);
  const std::string folder = argument.substr(0, start);
  const std::string pattern = foldedCase(brix::toWide(argument.substr(start)));
  if (!hasWildcards(pattern) || hasWildcards(folder)) return {};

  std::vector<FolderEntry> entries;
  try {
    entries = listFolder(folder.empty() ? "." : folder);
  } catch (const brix::WindowsError&) {
    return {};  // the argument stays a name and gets its open error
  }
  std::vector<std::pair<std::string, std::string>> matches;
  for (const FolderEntry& entry : entries) {
    std::string folded = foldedCase(brix::toWide(entry.name));
    if (matchesWildcards(pattern, folded)) matches.emplace_back(std::move(folded), folder + entry.name);
  }
  std::sort(matches.begin(), matches.end());
  std::vector<std::string> names;
  for (auto& match : matches) names.push_back(std::move(match.second));
  return names;
}

}  // namespace

std::vector<std::string> expandFileArguments(const std::vector<std::string>& files) {
  std::vector<std::string> expanded;
  for (const std::string& argument : files) {
    std::vector<std::string> names = matchingNames(argument);
    if (names.empty()) {
      expanded.push_back(argument);
    } else {
      expanded.insert(expanded.end(), names.begin(), names.end());
    }
  }
  return expanded;
}
#else
std::vector<std::string> expandFileArguments(const std::vector<std::string>& files) {
  return files;
}
#endif
