#include "cli/CommandLine.h"

#include <cstddef>

namespace {

unsigned jobCount(const std::string& option, const std::string& text) {
  unsigned jobs = 0;
  bool valid = !text.empty() && text.size() <= 3;
  for (const char c : text) {
    valid = valid && c >= '0' && c <= '9';
    jobs = jobs * 10 + static_cast<unsigned>(c - '0');
  }
  if (!valid || jobs == 0 || jobs > maximumJobs) {
    throw UsageError(option + " needs a number of jobs from 1 to " + std::to_string(maximumJobs) + ", not '" + text +
                     "'");
  }
  return jobs;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool options = true;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options && argument == "--") {
      options = false;
    } else if (options && argument == "--json") {
      line.json = true;
    } else if (options && (argument == "--recursive" || argument == "-r")) {
      line.recursive = true;
    } else if (options && argument == "--brief") {
      line.brief = true;
    } else if (options && argument == "--failed-only") {
      line.failedOnly = true;
    } else if (options && argument == "--read-online") {
      line.readOnline = true;
    } else if (options && argument == "--verify") {
      line.verify = true;
    } else if (options && (argument == "--jobs" || argument == "-j")) {
      if (i + 1 == arguments.size()) throw UsageError(argument + " needs a number of jobs");
      line.jobs = jobCount(argument, arguments[++i]);
    } else if (options && argument.rfind("--jobs=", 0) == 0) {
      line.jobs = jobCount("--jobs", argument.substr(7));
    } else if (options && argument.rfind("-j", 0) == 0) {
      line.jobs = jobCount("-j", argument.substr(2));
    } else if (options && (argument == "--help" || argument == "-h")) {
      line.help = true;
    } else if (options && argument == "--version") {
      line.version = true;
    } else if (options && argument.size() > 1 && argument[0] == '-') {
      throw UsageError("unknown option '" + argument + "'");
    } else {
      line.paths.push_back(argument);
    }
  }
  if (!line.help && !line.version && line.paths.empty()) throw UsageError("no file given");
  return line;
}

std::string usageText() {
  return "Usage: quarnel-avi [OPTION]... [--] FILE.avi|FOLDER...\n"
         "Shows the main header, the OpenDML extended header and every stream header of AVI files.\n"
         "\n"
         "  -r, --recursive  read every file named *.avi in the folders given and below them\n"
         "                   (links to folders are not followed); files given are always read\n"
         "  --brief          one line per file: its path and its status\n"
         "  --failed-only    only the files that could not be read\n"
         "  -j, --jobs N     read N files at once (default: one per CPU)\n"
         "  --read-online    read files stored online too, which downloads them (Windows); without\n"
         "                   it a cloud placeholder or an offline file is reported as not read\n"
         "  --verify         read every byte of each file instead: check every chunk, the sizes of\n"
         "                   the lists and forms, and every idx1 and OpenDML index entry against\n"
         "                   the chunk it names; report \"Ok\" or the first problem and its byte\n"
         "                   position, and what each stream holds that is sound\n"
         "  --json           one JSON document instead of text\n"
         "  --help           this text\n"
         "  --version        the version\n"
         "  --               every later argument is a file\n"
         "\n"
         "Files are reported in the order given, the files of a folder in the order of their paths.\n"
         "With more than one file a summary goes to standard error, and on a terminal a progress line.\n"
         "\n"
         "Exit status: 0 when every file was read (with --verify: found sound), 1 when a file or\n"
         "folder could not be read (or was stored online and not read, or with --verify has a\n"
         "problem), 2 for a usage error, 130 when interrupted (Ctrl+C).\n";
}
