#include "cli/ConsoleOutput.h"

#ifdef _WIN32
#include "base/Unicode.h"
#include "base/Win32.h"
#else
#include <unistd.h>

#include <cstdio>
#endif

namespace {

#ifdef _WIN32
bool isConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

void writeTo(DWORD which, const std::string& utf8) {
  HANDLE out = GetStdHandle(which);
  if (out == INVALID_HANDLE_VALUE || out == nullptr || utf8.empty()) return;
  DWORD written = 0;
  if (isConsole(out)) {
    const std::wstring wide = brix::toWide(utf8);
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  }
}
#endif

}  // namespace

#ifdef _WIN32
void writeStandardOutput(const std::string& utf8) {
  writeTo(STD_OUTPUT_HANDLE, utf8);
}
void writeStandardError(const std::string& utf8) {
  writeTo(STD_ERROR_HANDLE, utf8);
}
bool standardOutputIsTerminal() {
  return isConsole(GetStdHandle(STD_OUTPUT_HANDLE));
}
bool standardErrorIsTerminal() {
  return isConsole(GetStdHandle(STD_ERROR_HANDLE));
}
#else
void writeStandardOutput(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}
void writeStandardError(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}
bool standardOutputIsTerminal() {
  return isatty(STDOUT_FILENO) == 1;
}
bool standardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}
#endif
