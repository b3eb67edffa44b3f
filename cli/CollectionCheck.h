#pragma once
#include <functional>
#include <string>

#include "cli/CommandLine.h"

// Where a run writes, and what it may assume of the terminal.
struct Console {
  std::function<void(const std::string&)> output;  // standard output
  std::function<void(const std::string&)> error;   // standard error
  bool progress = false;                           // standard error is a terminal: show a progress line
  bool outputOnTerminal = false;                   // standard output is one too: clear the line before output
};

constexpr int exitOk = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;
constexpr int exitInterrupted = 130;  // as a shell reports a process ended by Ctrl+C

// Reads the files (and folders) of a command line that asks for reports and
// writes them in order as they become ready; then a summary on standard
// error for any number of files but one. interrupted is asked while the
// files are read. Returns the exit status: exitOk when every file was read,
// exitFailed when a file or folder could not be, exitInterrupted when
// stopped, with the output written so far complete (a JSON document is
// closed).
int checkCollection(const CommandLine& line, const Console& console, const std::function<bool()>& interrupted);
