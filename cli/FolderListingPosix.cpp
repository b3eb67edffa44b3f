#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "base/FormatString.h"
#include "base/WindowsError.h"
#include "cli/FolderListing.h"
#include "platform/posix/ErrnoMapping.h"

namespace {

// Closes the folder stream whatever leaves the listing.
class FolderStream {
 public:
  explicit FolderStream(DIR* stream) : stream_(stream) {}
  ~FolderStream() {
    if (stream_ != nullptr) closedir(stream_);
  }
  FolderStream(const FolderStream&) = delete;
  FolderStream& operator=(const FolderStream&) = delete;
  DIR* get() const { return stream_; }

 private:
  DIR* stream_;
};

[[noreturn]] void throwReadError(int error, const std::string& path) {
  throw brix::WindowsError(posix::win32ErrorFromErrno(error),
                           brix::formatString("FolderListing: Can't read folder '%s'", path.c_str()));
}

bool isDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

const char pathSeparator = '/';

std::vector<FolderEntry> listFolder(const std::string& path) {
  const FolderStream folder(opendir(path.c_str()));
  if (folder.get() == nullptr) throwReadError(errno, path);
  const int descriptor = dirfd(folder.get());
  std::vector<FolderEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(folder.get());
    if (entry == nullptr) {
      if (errno != 0) throwReadError(errno, path);
      return entries;
    }
    if (isDot(entry->d_name)) continue;
    unsigned char type = entry->d_type;
    struct stat info;
    // Some file systems do not tell the type in the listing.
    if (type == DT_UNKNOWN && fstatat(descriptor, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
      type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
    }
    // A link to a folder is not followed; one that leads nowhere (or round
    // in a loop) stays an entry, whose reading then says what is wrong.
    if (type == DT_LNK && fstatat(descriptor, entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode)) continue;
    entries.push_back({entry->d_name, type == DT_DIR});
  }
}

bool isFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
