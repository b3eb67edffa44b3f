#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, FilesAndOptionsInAnyOrder) {
  const CommandLine line = parseCommandLine({"a.avi", "--json", "b.avi"});
  EXPECT_TRUE(line.json);
  EXPECT_EQ(line.files, (std::vector<std::string>{"a.avi", "b.avi"}));
}

TEST(CommandLine, DoubleDashEndsTheOptions) {
  const CommandLine line = parseCommandLine({"--", "--json", "-x"});
  EXPECT_FALSE(line.json);
  EXPECT_EQ(line.files, (std::vector<std::string>{"--json", "-x"}));
  EXPECT_EQ(parseCommandLine({"--", "--"}).files, std::vector<std::string>{"--"});
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
  EXPECT_EQ(parseCommandLine({"-"}).files, std::vector<std::string>{"-"});
}

}  // namespace
