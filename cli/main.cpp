// quarnel-avi: prints the structure rows of AVI files, as the "AVI" page of
// the Properties dialog shows them.
#include <exception>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/ConsoleOutput.h"
#include "cli/FileArguments.h"
#include "cli/ProgramArguments.h"
#include "page/FileReport.h"
#include "page/JsonReport.h"
#include "page/TextReport.h"
#include "quarnel/Version.h"

namespace {

constexpr int exitOk = 0;
constexpr int exitFileFailed = 1;
constexpr int exitUsage = 2;

int run(const CommandLine& line) {
  if (line.help) {
    writeStandardOutput(usageText());
    return exitOk;
  }
  if (line.version) {
    writeStandardOutput("quarnel-avi " QUARNEL_VERSION "\n");
    return exitOk;
  }
  bool allOk = true;
  std::vector<FileReport> reports;
  for (std::size_t i = 0; i < line.files.size(); ++i) {
    FileReport report = readFileReport(line.files[i]);
    allOk = allOk && report.ok;
    if (line.json) {
      reports.push_back(std::move(report));
    } else {
      // Each file as soon as it is read; a blank line between files.
      writeStandardOutput((i > 0 ? "\n" : "") + textReport(report));
    }
  }
  if (line.json) writeStandardOutput(jsonReport(reports));
  return allOk ? exitOk : exitFileFailed;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  try {
    line = parseCommandLine(programArguments(argc, argv));
    line.files = expandFileArguments(line.files);
  } catch (const UsageError& e) {
    writeStandardError(std::string("quarnel-avi: ") + e.what() + "\n" + usageText());
    return exitUsage;
  }
  try {
    return run(line);
  } catch (const std::exception& e) {
    writeStandardError(std::string("quarnel-avi: ") + e.what() + "\n");
    return exitFileFailed;
  }
}
