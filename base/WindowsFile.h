#pragma once
#include "base/BufferedOutputStream.h"
#include "base/SeekableInputStream.h"
#include "base/Win32.h"
#include "base/WindowsHandle.h"

namespace brix {

// A file opened with CreateFileA. Every stream call is one platform call, no
// buffering. Failures throw WindowsError with the platform's error code.
class WindowsFile : public SeekableInputStream, public BufferedOutputStream, public WindowsHandle {
 public:
  // Opens at once with CreateFileA and these arguments, in this order;
  // throws WindowsError "WindowsFile::open: Can't open '<path>'". Only a file
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

 private:
  void open(const char* path, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES securityAttributes,
            DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
};

}  // namespace brix
