#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace {

// The message of the UsageError the arguments raise; empty when they raise none.
std::string usageErrorOf(const std::vector<std::string>& arguments) {
  try {
    parseCommandLine(arguments);
  } catch (const UsageError& e) {
    return e.what();
  }
  return "";
}

TEST(CommandLine, FilesAndOptionsInAnyOrder) {
  const CommandLine line = parseCommandLine({"a.avi", "--json", "b.avi"});
  EXPECT_TRUE(line.json);
  EXPECT_EQ(line.paths, (std::vector<std::string>{"a.avi", "b.avi"}));
}

TEST(CommandLine, DoubleDashEndsTheOptions) {
  const CommandLine line = parseCommandLine({"--", "--json", "-x"});
  EXPECT_FALSE(line.json);
  EXPECT_EQ(line.paths, (std::vector<std::string>{"--json", "-x"}));
  EXPECT_EQ(parseCommandLine({"--", "--"}).paths, std::vector<std::string>{"--"});
}

TEST(CommandLine, CollectionOptions) {
  const CommandLine defaults = parseCommandLine({"a.avi"});
  EXPECT_FALSE(defaults.recursive || defaults.brief || defaults.failedOnly || defaults.readOnline);
  EXPECT_EQ(defaults.jobs, 0u);

  const CommandLine line =
      parseCommandLine({"-r", "archive", "--brief", "--failed-only", "--read-online", "-j", "3", "b.avi"});
  EXPECT_TRUE(line.recursive && line.brief && line.failedOnly && line.readOnline);
  EXPECT_EQ(line.jobs, 3u);
  EXPECT_EQ(line.paths, (std::vector<std::string>{"archive", "b.avi"}));
  EXPECT_TRUE(parseCommandLine({"--recursive", "x"}).recursive);

  const std::vector<std::pair<std::vector<std::string>, unsigned>> jobs = {
      {{"-j1", "x"}, 1}, {{"--jobs", "16", "x"}, 16}, {{"--jobs=256", "x"}, 256}, {{"x", "-j", "2", "-j", "5"}, 5}};
  for (const auto& [arguments, count] : jobs) EXPECT_EQ(parseCommandLine(arguments).jobs, count);
}

TEST(CommandLine, HelpAndVersionNeedNoFile) {
  EXPECT_TRUE(parseCommandLine({"--help"}).help);
  EXPECT_TRUE(parseCommandLine({"-h"}).help);
  EXPECT_TRUE(parseCommandLine({"--version"}).version);
}

TEST(CommandLine, MistakesAreUsageErrorsThatSayWhatIsWrong) {
  const std::string jobRange = " needs a number of jobs from 1 to 256, not ";
  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } mistakes[] = {
      {{}, "no file given"},
      {{"--json"}, "no file given"},
      {{"--"}, "no file given"},
      {{"a.avi", "--jsn"}, "unknown option '--jsn'"},
      {{"-j", "0", "x"}, "-j" + jobRange + "'0'"},
      {{"-j257", "x"}, "-j" + jobRange + "'257'"},
      {{"--jobs=", "x"}, "--jobs" + jobRange + "''"},
      {{"--jobs", "two", "x"}, "--jobs" + jobRange + "'two'"},
      {{"-j", "-1", "x"}, "-j" + jobRange + "'-1'"},
      {{"-j", "99999999999", "x"}, "-j" + jobRange + "'99999999999'"},
      {{"x", "-j"}, "-j needs a number of jobs"},
      {{"-j4x", "x"}, "-j" + jobRange + "'4x'"},
  };
  for (const auto& mistake : mistakes) {
    EXPECT_EQ(usageErrorOf(mistake.arguments), mistake.message) << ::testing::PrintToString(mistake.arguments);
  }
  // After "--", "-j" is a file; a lone dash is a file name, not an option.
  EXPECT_EQ(parseCommandLine({"--", "-j"}).paths, std::vector<std::string>{"-j"});
  EXPECT_EQ(parseCommandLine({"-"}).paths, std::vector<std::string>{"-"});
}

}  // namespace
