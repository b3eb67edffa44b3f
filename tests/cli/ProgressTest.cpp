#include <gtest/gtest.h>

#include <string>

#include "cli/ProgressLine.h"
#include "cli/Tally.h"

namespace {

TEST(Tally, SummaryAndProgressTexts) {
  Tally tally;
  EXPECT_EQ(tally.summary(), "0 files: 0 Ok, 0 failed");
  tally.addFile(true);
  EXPECT_EQ(tally.summary(), "1 file: 1 Ok, 0 failed");
  EXPECT_TRUE(tally.allOk());
  for (int i = 0; i < 1229; ++i) tally.addFile(true);
  for (int i = 0; i < 4; ++i) tally.addFile(false);
  EXPECT_EQ(tally.summary(), "1,234 files: 1,230 Ok, 4 failed");
  EXPECT_FALSE(tally.allOk());
  EXPECT_EQ(tally.progress(std::nullopt, 0), "1,234 files, 4 failed");
  EXPECT_EQ(tally.progress(5000, 2.0), "1,234 / 5,000 files, 4 failed, 617 files/s");

  Tally folders;
  folders.addFile(true);
  folders.addUnreadableFolder();
  EXPECT_FALSE(folders.allOk());
  EXPECT_EQ(folders.reported(), 2u);
  EXPECT_EQ(folders.summary(), "1 file: 1 Ok, 0 failed; 1 folder could not be read");
  folders.addUnreadableFolder();
  EXPECT_EQ(folders.summary(), "1 file: 1 Ok, 0 failed; 2 folders could not be read");
  EXPECT_EQ(folders.progress(10, 0.5), "3 / 10 files, 2 failed, 6 files/s");
}

TEST(Tally, GroupsThousands) {
  const std::vector<std::pair<std::uint64_t, std::string>> numbers = {
      {0, "0"},
      {999, "999"},
      {1000, "1,000"},
      {123456, "123,456"},
      {1234567, "1,234,567"},
      {18446744073709551615u, "18,446,744,073,709,551,615"}};
  for (const auto& [number, text] : numbers) EXPECT_EQ(groupedNumber(number), text);
}

TEST(ProgressLine, WritesOverItselfAndLeavesACleanLine) {
  ProgressLine line;
  EXPECT_FALSE(line.shown());
  EXPECT_EQ(line.clear(), "");
  EXPECT_EQ(line.show("10 files"), "\r10 files");
  EXPECT_TRUE(line.shown());
  EXPECT_EQ(line.show("9 files"), "\r9 files ");  // the longer line's last character goes
  EXPECT_EQ(line.show("100 files"), "\r100 files");
  EXPECT_EQ(line.clear(), "\r         \r");
  EXPECT_FALSE(line.shown());
  EXPECT_EQ(line.show("1"), "\r1");
}

}  // namespace
