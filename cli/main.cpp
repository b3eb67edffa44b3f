// quarnel-avi: prints the structure rows of AVI files, as the "AVI" page of
// the Properties dialog shows them, or checks whole folders of them.
#include <exception>
#include <string>
#include <vector>

#include "cli/CollectionCheck.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleOutput.h"
#include "cli/FileArguments.h"
#include "cli/InterruptFlag.h"
#include "cli/ProgramArguments.h"
#include "quarnel/Version.h"

namespace {

int run(const CommandLine& line) {
  if (line.help) {
    writeStandardOutput(usageText());
    return exitOk;
  }
  if (line.version) {
    writeStandardOutput("quarnel-avi " QUARNEL_VERSION "\n");
    return exitOk;
  }
  Console console{writeStandardOutput, writeStandardError, standardErrorIsTerminal(), standardOutputIsTerminal()};
  InterruptFlag::install();
  return checkCollection(line, console, InterruptFlag::raised);
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  try {
    line = parseCommandLine(programArguments(argc, argv));
    line.paths = expandFileArguments(line.paths);
  } catch (const UsageError& e) {
    writeStandardError(std::string("quarnel-avi: ") + e.what() + "\n" + usageText());
    return exitUsage;
  }
  try {
    return run(line);
  } catch (const std::exception& e) {
    writeStandardError(std::string("quarnel-avi: ") + e.what() + "\n");
    return exitFailed;
  }
}
