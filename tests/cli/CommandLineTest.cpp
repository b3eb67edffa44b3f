#include <gtest/gtest.h>

#include "cli/CommandLine.h"

namespace {

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
  EXPECT_FALSE(defaults.recursive || defaults.brief || defaults.failedOnly);
  EXPECT_EQ(defaults.jobs, 0u);

  const CommandLine line = parseCommandLine({"-r", "archive", "--brief", "--failed-only", "-j", "3", "b.avi"});
  EXPECT_TRUE(line.recursive && line.brief && line.failedOnly);
  EXPECT_EQ(line.jobs, 3u);
  EXPECT_EQ(line.paths, (std::vector<std::string>{"archive", "b.avi"}));
  EXPECT_TRUE(parseCommandLine({"--recursive", "x"}).recursive);

  const std::vector<std::pair<std::vector<std::string>, unsigned>> jobs = {
      {{"-j1", "x"}, 1}, {{"--jobs", "16", "x"}, 16}, {{"--jobs=256", "x"}, 256}, {{"x", "-j", "2", "-j", "5"}, 5}};
  for (const auto& [arguments, count] : jobs) EXPECT_EQ(parseCommandLine(arguments).jobs, count);
}

TEST(CommandLine, JobCountsOutOfRangeAreUsageErrors) {
  const std::vector<std::vector<std::string>> mistakes = {
      {"-j", "0", "x"},           {"-j257", "x"}, {"--jobs=", "x"}, {"--jobs", "two", "x"}, {"-j", "-1", "x"},
      {"-j", "99999999999", "x"}, {"x", "-j"},    {"-j4x", "x"}};
  for (const std::vector<std::string>& arguments : mistakes) {
    EXPECT_THROW(parseCommandLine(arguments), UsageError) << arguments[0] << " " << arguments[1];
  }
  try {
    parseCommandLine({"-j", "0", "x"});
  } catch (const UsageError& e) {
    EXPECT_STREQ(e.what(), "-j needs a number of jobs from 1 to 256, not '0'");
  }
  // "-j" after "--" is a file.
  EXPECT_EQ(parseCommandLine({"--", "-j"}).paths, std::vector<std::string>{"-j"});
}

TEST(CommandLine, HelpAndVersionNeedNoFile) {
  EXPECT_TRUE(parseCommandLine({"--help"}).help);
  EXPECT_TRUE(parseCommandLine({"-h"}).help);
  EXPECT_TRUE(parseCommandLine({"--version"}).version);
}

TEST(CommandLine, MistakesAreUsageErrors) {
  EXPECT_THROW(parseCommandLine({}), UsageError);
  EXPECT_THROW(parseCommandLine({"--json"}), UsageError);
  EXPECT_THROW(parseCommandLine({"--"}), UsageError);
  try {
    parseCommandLine({"a.avi", "--jsn"});
    FAIL() << "unknown option accepted";
  } catch (const UsageError& e) {
    EXPECT_STREQ(e.what(), "unknown option '--jsn'");
  }
  // A lone dash is a file name, not an option.
  EXPECT_EQ(parseCommandLine({"-"}).paths, std::vector<std::string>{"-"});
}

}  // namespace
