#include "cli/ProgramArguments.h"

#ifdef _WIN32
#include <memory>
#include <new>

#include "base/Unicode.h"
#include "base/Win32.h"
// After windows.h, which it needs.
#include <shellapi.h>
#endif

#ifdef _WIN32
std::vector<std::string> argumentsOfCommandLine(const wchar_t* commandLine) {
  int count = 0;
  const std::unique_ptr<wchar_t*, decltype(&LocalFree)> arguments(CommandLineToArgvW(commandLine, &count), &LocalFree);
  // Splitting fails only for want of memory.
  if (!arguments) throw std::bad_alloc();
  std::vector<std::string> utf8;
  for (int i = 1; i < count; ++i) utf8.push_back(brix::fromWide(arguments.get()[i]));
  return utf8;
}

std::vector<std::string> programArguments(int, char**) {
  return argumentsOfCommandLine(GetCommandLineW());
}
#else
std::vector<std::string> programArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}
#endif
