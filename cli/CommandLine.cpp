#include "cli/CommandLine.h"

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool options = true;
  for (const std::string& argument : arguments) {
    if (options && argument == "--") {
      options = false;
    } else if (options && argument == "--json") {
      line.json = true;
    } else if (options && (argument == "--help" || argument == "-h")) {
      line.help = true;
    } else if (options && argument == "--version") {
      line.version = true;
    } else if (options && argument.size() > 1 && argument[0] == '-') {
      throw UsageError("unknown option '" + argument + "'");
    } else {
      line.files.push_back(argument);
    }
  }
  if (!line.help && !line.version && line.files.empty()) throw UsageError("no file given");
  return line;
}

std::string usageText() {
  return "Usage: quarnel-avi [--json] [--] FILE.avi...\n"
         "Shows the main header, the OpenDML extended header and every stream header of AVI files.\n"
         "\n"
         "  --json     one JSON document instead of text\n"
         "  --help     this text\n"
         "  --version  the version\n"
         "  --         every later argument is a file\n"
         "\n"
         "Exit status: 0 when every file was read, 1 when a file could not be read, 2 for a usage error.\n";
}
