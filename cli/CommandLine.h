#pragma once
#include <stdexcept>
#include <string>
#include <vector>

// A mistake on the command line; what() is a one-line explanation.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CommandLine {
  bool json = false;
  bool help = false;
  bool version = false;
  bool recursive = false;
  bool brief = false;
  bool failedOnly = false;
  // Files stored online are read too, which downloads them.
  bool readOnline = false;
  // Every byte of each file is read and its chunks and indexes checked,
  // instead of the headers being shown.
  bool verify = false;
  // Files read at once; 0 means one per CPU.
  unsigned jobs = 0;
  // Files, and with recursive also folders, in the order given.
  std::vector<std::string> paths;
};

constexpr unsigned maximumJobs = 256;

// The arguments after the program name. "--" ends the options, so a file
// may be called "--json". Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();
