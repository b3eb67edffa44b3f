#include "base/FormatString.h"
#include "base/Unicode.h"
#include "base/Win32.h"
#include "base/WindowsError.h"
#include "base/WindowsFile.h"
#include "cli/FolderListing.h"

namespace {

// Owner of a search handle, which FindClose releases, not CloseHandle.
class Search {
 public:
  Search(const std::wstring& pattern, WIN32_FIND_DATAW& first)
      : handle_(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &first, FindExSearchNameMatch, nullptr, 0)) {}
  ~Search() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;
  HANDLE handle() const { return handle_; }

 private:
  HANDLE handle_;
};

[[noreturn]] void throwReadError(DWORD error, const std::string& path) {
  throw brix::WindowsError(error, brix::formatString("FolderListing: Can't read folder '%s'", path.c_str()));
}

bool endsInSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/' || path.back() == ':');
}

bool isDot(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

}  // namespace

const char pathSeparator = '\\';

std::vector<FolderEntry> listFolder(const std::string& path) {
  const std::string pattern = endsInSeparator(path) ? path + "*" : path + "\\*";
  WIN32_FIND_DATAW found;
  // Folders nested past 260 characters are listed too.
  const Search search(brix::WindowsFile::systemPath(pattern.c_str()), found);
  std::vector<FolderEntry> entries;
  if (search.handle() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // Nothing matched: a drive's root folder has no "." to find.
    if (error == ERROR_FILE_NOT_FOUND) return entries;
    throwReadError(error, path);
  }
  do {
    if (isDot(found.cFileName)) continue;
    const DWORD attributes = found.dwFileAttributes;
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Symbolic links and junctions to folders are not followed.
    if (folder && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
    entries.push_back({brix::fromWide(found.cFileName), folder});
  } while (FindNextFileW(search.handle(), &found));
  const DWORD error = GetLastError();
  if (error != ERROR_NO_MORE_FILES) throwReadError(error, path);
  return entries;
}

bool isFolder(const std::string& path) {
  // A folder named past 260 characters is a folder too.
  const DWORD attributes = GetFileAttributesW(brix::WindowsFile::systemPath(path.c_str()).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
