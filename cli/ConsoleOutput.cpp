#include "cli/ConsoleOutput.h"

#ifdef _WIN32
#include "base/Unicode.h"
#include "base/Win32.h"
#else
#include <cstdio>
#endif

namespace {

#ifdef _WIN32
void writeTo(DWORD which, const std::string& utf8) {
  HANDLE out = GetStdHandle(which);
  if (out == INVALID_HANDLE_VALUE || out == nullptr || utf8.empty()) return;
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    const std::wstring wide = brix::toWide(utf8);
    DWORD written = 0;
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    DWORD written = 0;
    WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  }
}
#endif

}  // namespace

#ifdef _WIN32
void writeStandardOutput(const std::string& utf8) { writeTo(STD_OUTPUT_HANDLE, utf8); }
void writeStandardError(const std::string& utf8) { writeTo(STD_ERROR_HANDLE, utf8); }
#else
void writeStandardOutput(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}
void writeStandardError(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}
#endif
