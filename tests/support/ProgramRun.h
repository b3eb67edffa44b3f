#pragma once
// Windows only: a program started as a user starts it, with a UTF-16 command
// line, its standard output collected.
#include <string>
#include <vector>

#include "base/Win32.h"

namespace testing_support {

struct ProgramRun {
  DWORD exitCode;
  std::string output;
};

// Runs program with these arguments (UTF-8, each quoted as the C runtime
// splits them back), waits for it and returns its exit code and standard
// output; its standard error goes where this program's goes. Throws
// std::runtime_error when it can't be started.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace testing_support
