// Win32 file calls over POSIX file descriptors. A handle is the descriptor
// plus one, so that neither null nor INVALID_HANDLE_VALUE names an open file.
// The file pointer of a handle is kept beside its descriptor (FilePointers):
// reads and writes are positioned, and a seek is no system call.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/FilePointers.h"
#include "platform/posix/Win32Api.h"

namespace {

int descriptorOf(HANDLE handle) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)) - 1;
}

HANDLE handleOf(int descriptor) {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor) + 1);
}

bool isDirectory(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// Windows tells a missing file in an existing folder (2) from a missing
// folder (3); ENOENT covers both.
DWORD openErrorFor(int error, const char* path) {
  // A socket, or a FIFO opened for writing that nobody reads: no file at
  // all, refused as a folder is.
  if (error == ENXIO) return ERROR_ACCESS_DENIED;
  if (error != ENOENT) return posix::win32ErrorFromErrno(error);
  std::string folder(path);
  const auto slash = folder.find_last_of('/');
  if (slash == std::string::npos) return ERROR_FILE_NOT_FOUND;
  folder.resize(slash == 0 ? 1 : slash);
  return isDirectory(folder.c_str()) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

// A descriptor that is open but not for this direction gives access denied
// on Windows, not an invalid handle.
void setLastErrorForTransfer(int descriptor) {
  if (errno == EBADF && fcntl(descriptor, F_GETFL) != -1) {
    SetLastError(ERROR_ACCESS_DENIED);
  } else if (errno == EISDIR) {
    SetLastError(ERROR_INVALID_FUNCTION);
  } else {
    posix::setLastErrorFromErrno();
  }
}

// The size of a file or a disk; false, with the last error set, when it
// can't be had.
bool fileSize(int descriptor, std::uint64_t& size) {
  struct stat info;
  if (fstat(descriptor, &info) == -1) {
    posix::setLastErrorFromErrno();
    return false;
  }
  size = static_cast<std::uint64_t>(info.st_size);
  // A disk's size is not in its inode.
  if (S_ISBLK(info.st_mode) && ioctl(descriptor, BLKGETSIZE64, &size) == -1) {
    posix::setLastErrorFromErrno();
    return false;
  }
  return true;
}

// ReadFile and WriteFile: one transfer at the handle's file pointer, which
// then moves on by the bytes transferred, as on Windows.
template <typename Transfer>
BOOL transferAtPointer(HANDLE file, LPDWORD done, Transfer transfer) {
  if (done != nullptr) *done = 0;
  const int descriptor = descriptorOf(file);
  const std::optional<std::int64_t> pointer = posix::FilePointers::instance().get(descriptor);
  if (!pointer) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ssize_t result;
  do {
    result = transfer(descriptor, static_cast<off_t>(*pointer));
  } while (result == -1 && errno == EINTR);
  if (result == -1) {
    setLastErrorForTransfer(descriptor);
    return FALSE;
  }
  posix::FilePointers::instance().set(descriptor, *pointer + result);
  if (done != nullptr) *done = static_cast<DWORD>(result);
  return TRUE;
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD desiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD creationDisposition, DWORD, HANDLE) {
  int flags = O_CLOEXEC;
  const bool reading = desiredAccess & GENERIC_READ;
  const bool writing = desiredAccess & GENERIC_WRITE;
  flags |= reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY;
  switch (creationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
  }
  if (path == nullptr || *path == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  // Without O_NONBLOCK a FIFO waits for a writer, and some devices for a
  // carrier, before open returns; what was opened is for GetFileType to
  // tell, and the reads that follow block as usual.
  int descriptor;
  do {
    descriptor = open(path, flags | O_NONBLOCK, 0666);
  } while (descriptor == -1 && errno == EINTR);
  if (descriptor == -1) {
    SetLastError(openErrorFor(errno, path));
    return INVALID_HANDLE_VALUE;
  }
  struct stat info;
  if (fstat(descriptor, &info) == -1) {
    posix::setLastErrorFromErrno();
    close(descriptor);
    return INVALID_HANDLE_VALUE;
  }
  // O_NONBLOCK changes nothing for a file or a disk, whose reads block
  // (briefly) whatever it says; anything else reads blocking again.
  if (!S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode)) {
    const int status = fcntl(descriptor, F_GETFL);
    if (status == -1 || fcntl(descriptor, F_SETFL, status & ~O_NONBLOCK) == -1) {
      posix::setLastErrorFromErrno();
      close(descriptor);
      return INVALID_HANDLE_VALUE;
    }
  }
  // Opening a folder as a file is refused on Windows.
  if (S_ISDIR(info.st_mode)) {
    close(descriptor);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  if (!posix::FilePointers::instance().add(descriptor)) {
    close(descriptor);
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return INVALID_HANDLE_VALUE;
  }
  return handleOf(descriptor);
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED) {
  return transferAtPointer(file, done,
                           [&](int descriptor, off_t pointer) { return pread(descriptor, buffer, count, pointer); });
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED) {
  return transferAtPointer(file, done,
                           [&](int descriptor, off_t pointer) { return pwrite(descriptor, buffer, count, pointer); });
}

DWORD WINAPI SetFilePointer(HANDLE file, LONG distanceLow, PLONG distanceHigh, DWORD moveMethod) {
  std::int64_t distance;
  if (distanceHigh != nullptr) {
    distance = static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                         static_cast<DWORD>(distanceLow));
  } else {
    distance = distanceLow;
  }
  if (moveMethod != FILE_BEGIN && moveMethod != FILE_CURRENT && moveMethod != FILE_END) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  const int descriptor = descriptorOf(file);
  const std::optional<std::int64_t> pointer = posix::FilePointers::instance().get(descriptor);
  if (!pointer) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
  }
  std::int64_t origin = moveMethod == FILE_CURRENT ? *pointer : 0;
  if (moveMethod == FILE_END) {
    std::uint64_t size = 0;
    if (!fileSize(descriptor, size)) return INVALID_SET_FILE_POINTER;
    origin = static_cast<std::int64_t>(size);
  }
  // A target before the start is refused, and so is one past what 64 bits
  // hold; the pointer stays where it was.
  std::int64_t position;
  if (__builtin_add_overflow(origin, distance, &position) || position < 0) {
    SetLastError(distance < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  posix::FilePointers::instance().set(descriptor, position);
  const auto newPosition = static_cast<std::uint64_t>(position);
  if (distanceHigh != nullptr) *distanceHigh = static_cast<LONG>(newPosition >> 32);
  const auto low = static_cast<DWORD>(newPosition);
  // A position whose low half looks like the failure value is told apart
  // by a last error of 0.
  if (low == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);
  return low;
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  std::uint64_t size = 0;
  if (!fileSize(descriptorOf(file), size)) return INVALID_FILE_SIZE;
  if (sizeHigh != nullptr) *sizeHigh = static_cast<DWORD>(size >> 32);
  const auto low = static_cast<DWORD>(size);
  if (low == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
  return low;
}

// Files and disks can be positioned and sized; terminals, other character
// devices, FIFOs and sockets cannot.
DWORD WINAPI GetFileType(HANDLE file) {
  struct stat info;
  if (fstat(descriptorOf(file), &info) == -1) {
    posix::setLastErrorFromErrno();
    return FILE_TYPE_UNKNOWN;
  }
  SetLastError(NO_ERROR);
  if (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode)) return FILE_TYPE_DISK;
  if (S_ISCHR(info.st_mode)) return FILE_TYPE_CHAR;
  if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return FILE_TYPE_PIPE;
  return FILE_TYPE_UNKNOWN;
}

BOOL WINAPI FlushFileBuffers(HANDLE file) {
  const int descriptor = descriptorOf(file);
  const int mode = fcntl(descriptor, F_GETFL);
  if (mode == -1) {
    posix::setLastErrorFromErrno();
    return FALSE;
  }
  // Windows refuses to flush a handle without write access.
  if ((mode & O_ACCMODE) == O_RDONLY) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (fsync(descriptor) == -1) {
    posix::setLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE object) {
  const int descriptor = descriptorOf(object);
  posix::FilePointers::instance().remove(descriptor);
  if (close(descriptor) == -1 && errno != EINTR) {
    posix::setLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}
