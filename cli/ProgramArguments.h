#pragma once
#include <string>
#include <vector>

// The arguments after the program name, in UTF-8. On Windows they are read
// from the UTF-16 command line, so that a name outside the ANSI code page
// arrives intact; elsewhere they are argv's bytes, as the shell gave them.
std::vector<std::string> programArguments(int argc, char** argv);

#ifdef _WIN32
// The arguments of a UTF-16 command line after the program name, split by
// the system's rules for quotes and backslashes.
std::vector<std::string> argumentsOfCommandLine(const wchar_t* commandLine);
#endif
