#pragma once
#include <string>

#include "base/BufferedOutputStream.h"
#include "base/SeekableInputStream.h"
#include "base/Win32.h"
#include "base/WindowsHandle.h"

namespace brix {

// A file opened with CreateFileW from a UTF-8 path (on Linux, the path's
// bytes as they are). Every stream call is one platform call, no buffering.
// Failures throw WindowsError with the platform's error code.
class WindowsFile : public SeekableInputStream, public BufferedOutputStream, public WindowsHandle {
 public:
  // Opens at once with these arguments, in this order; throws WindowsError
  // "WindowsFile::open: Can't open '<path>'", the path as given. Only a file
  // or a disk opens: a pipe, a socket, a console or another character
  // device is refused with access denied, since it would block or stream
  // without end where a positioned read is expected.
  WindowsFile(const char* path, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES securityAttributes,
              DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);

  std::uint32_t read(void* buffer, std::uint32_t count) override;
  std::uint32_t write(const void* buffer, std::uint32_t count) override;
  void flush() override;
  void close() override;

  std::int64_t seek(std::int64_t offset, int origin) override;
  std::int64_t tell() override;
  // From the file system; the position is not touched.
  std::int64_t size() override;

#ifdef _WIN32
  // The UTF-8 path as the wide file calls take it: unchanged, unless its
  // full form is MAX_PATH (260) characters or longer, which only opens in
  // its \\?\ (or, on a share, \\?\UNC\) form, made from the full path. The
  // user never sees that form.
  static std::wstring systemPath(const char* path);
#endif

 private:
  void open(const char* path, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES securityAttributes,
            DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
};

}  // namespace brix
