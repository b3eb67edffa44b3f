#include "base/WindowsFile.h"

#include "base/FormatString.h"
#include "base/WindowsError.h"

#ifdef _WIN32
#include <string_view>

#include "base/Unicode.h"
#endif

namespace brix {
namespace {

DWORD moveMethodFor(int origin) {
  switch (origin) {
    case Seekable::Begin: return FILE_BEGIN;
    case Seekable::Current: return FILE_CURRENT;
    case Seekable::End: return FILE_END;
    default: return static_cast<DWORD>(origin);  // let the platform refuse it
  }
}

std::int64_t joinHalves(DWORD high, DWORD low) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

// Built without formatString, whose 1999 characters a long path can exceed:
// the message names the path whole.
std::string openFailure(const char* path) {
  return std::string("WindowsFile::open: Can't open '") + path + "'";
}

#ifdef _WIN32
bool startsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::wstring fullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::wstring();
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
  if (length == 0 || length >= needed) return std::wstring();
  full.resize(length);
  return full;
}

HANDLE createFile(const char* path, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES securityAttributes,
                  DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile) {
  return CreateFileW(WindowsFile::systemPath(path).c_str(), desiredAccess, shareMode, securityAttributes,
                     creationDisposition, flagsAndAttributes, templateFile);
}
#else
// Linux names are bytes, not necessarily UTF-8: passed on untouched.
HANDLE createFile(const char* path, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES securityAttributes,
                  DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile) {
  return CreateFileA(path, desiredAccess, shareMode, securityAttributes, creationDisposition, flagsAndAttributes,
                     templateFile);
}
#endif

}  // namespace

#ifdef _WIN32
std::wstring WindowsFile::systemPath(const char* path) {
  const std::wstring given = toWide(path);
  // Already in a form that the system takes as it is.
  if (startsWith(given, L"\\\\?\\") || startsWith(given, L"\\\\.\\")) return given;
  const std::wstring full = fullPath(given);
  // A short path keeps every rule of the ordinary form (devices, trailing
  // dots); one that cannot be made full gets its error from the open.
  if (full.size() < MAX_PATH) return given;
  if (startsWith(full, L"\\\\?\\") || startsWith(full, L"\\\\.\\")) return full;
  if (startsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}
#endif

WindowsFile::WindowsFile(const char* path, DWORD desiredAccess, DWORD shareMode,
                         LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                         DWORD flagsAndAttributes, HANDLE templateFile) {
  open(path, desiredAccess, shareMode, securityAttributes, creationDisposition, flagsAndAttributes, templateFile);
}

void WindowsFile::open(const char* path, DWORD desiredAccess, DWORD shareMode,
                       LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                       DWORD flagsAndAttributes, HANDLE templateFile) {
  WindowsHandle::close();
  HANDLE h = createFile(path, desiredAccess, shareMode, securityAttributes, creationDisposition, flagsAndAttributes,
                        templateFile);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    throw WindowsError(error, openFailure(path));
  }
  setHandle(h);
  // Held from here on: when the constructor throws, the WindowsHandle part
  // closes it again.
  const DWORD type = GetFileType(h);
  if (type != FILE_TYPE_DISK) {
    const DWORD error = GetLastError();
    throw WindowsError(type == FILE_TYPE_UNKNOWN && error != NO_ERROR ? error : ERROR_ACCESS_DENIED, openFailure(path));
  }
}

std::uint32_t WindowsFile::read(void* buffer, std::uint32_t count) {
  DWORD done = 0;
  if (!ReadFile(handle(), buffer, count, &done, nullptr)) {
    const DWORD error = GetLastError();
    throw WindowsError(error, formatString("WindowsFile::read: Error when reading %u bytes to %p", count, buffer));
  }
  return done;
}

std::uint32_t WindowsFile::write(const void* buffer, std::uint32_t count) {
  DWORD done = 0;
  if (!WriteFile(handle(), buffer, count, &done, nullptr)) {
    const DWORD error = GetLastError();
    throw WindowsError(error, formatString("WindowsFile::write: Error when writing %u bytes", count));
  }
  return done;
}

void WindowsFile::flush() {
  if (!FlushFileBuffers(handle())) throw WindowsError("Can't flush file buffers");
}

void WindowsFile::close() { WindowsHandle::close(); }

std::int64_t WindowsFile::seek(std::int64_t offset, int origin) {
  const auto distance = static_cast<std::uint64_t>(offset);
  LONG high = static_cast<LONG>(static_cast<DWORD>(distance >> 32));
  const DWORD low = SetFilePointer(handle(), static_cast<LONG>(static_cast<DWORD>(distance)), &high,
                                   moveMethodFor(origin));
  if (low == INVALID_SET_FILE_POINTER) {
    const DWORD error = GetLastError();
    if (error != NO_ERROR) {
      throw WindowsError(error, formatString("WindowsFile::seek: Can't seek to %I64d relative to %d",
                                             static_cast<long long>(offset), origin));
    }
  }
  return joinHalves(static_cast<DWORD>(high), low);
}

std::int64_t WindowsFile::tell() { return seek(0, Current); }

std::int64_t WindowsFile::size() {
  DWORD high = 0;
  const DWORD low = GetFileSize(handle(), &high);
  if (low == INVALID_FILE_SIZE) {
    const DWORD error = GetLastError();
    if (error != NO_ERROR) throw WindowsError(error, "Can't retrieve the file size for a windows file");
  }
  return joinHalves(high, low);
}

}  // namespace brix
