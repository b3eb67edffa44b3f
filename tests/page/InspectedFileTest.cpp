#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "page/FileReport.h"
#include "page/InspectedFile.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/TempDirectory.h"

using namespace testing_support;

namespace {

// A recording in progress: a whole file that others still write, move and
// delete while it is inspected. Windows enforces the share modes; Linux has
// none, so there these cases check the reading alone.
class InspectedFileTest : public ::testing::Test {
 protected:
  InspectedFileTest() {
    AviLayout layout;
    layout.streams = {videoStream()};
    addMovieChunks(layout, "00dc", 4, 100);
    bytes = aviBytes(layout);
    writeFile(path, bytes.data(), bytes.size());
  }
  static std::filesystem::path native(const std::string& utf8) { return std::filesystem::u8path(utf8); }

  TempDirectory dir;
  const std::string path = dir.file("recording.avi");
  Bytes bytes;
};

TEST_F(InspectedFileTest, OthersMayWriteRenameAndDeleteTheFileWhileItIsRead) {
  brix::WindowsFile file = openInspectedFile(path);
  {
    std::ofstream writer(native(path), std::ios::binary | std::ios::in | std::ios::out);
    ASSERT_TRUE(writer.is_open()) << "a writer was locked out";
  }
  const std::string moved = dir.file("moved.avi");
  std::filesystem::rename(native(path), native(moved));
  std::filesystem::remove(native(moved));
  // The open handle still reads what the file held.
  const FileReport report = readStreamReport(path, file);
  EXPECT_TRUE(report.ok) << report.status;
}

TEST_F(InspectedFileTest, AFileCutShortUnderTheReaderEndsWithAMessage) {
  brix::WindowsFile file = openInspectedFile(path);
  std::filesystem::resize_file(native(path), bytes.size() / 2);
  const FileReport report = readStreamReport(path, file);
  EXPECT_FALSE(report.ok);
  EXPECT_EQ(report.status, "AVI structure error while skipping sub chunk");
  EXPECT_TRUE(report.rows.empty());
}

// Windows marks a file whose data is elsewhere (a cloud placeholder, a file
// in offline storage) by its attributes; other bits say nothing about it.
TEST(InspectedFile, AFileIsStoredOnlineByItsRecallAndOfflineAttributes) {
  const std::vector<std::pair<std::uint32_t, bool>> attributes = {
      {0x00000000, false},  // none
      {0x00000080, false},  // normal
      {0x00000021, false},  // read-only, archive
      {0x00000400, false},  // a reparse point alone: a link, or a placeholder whose data is here
      {0x00080000, false},  // pinned: kept here
      {0x00100000, false},  // unpinned, but its data still here
      {0x00001000, true},   // offline
      {0x00040000, true},   // recall on open
      {0x00400000, true},   // recall on data access: a cloud placeholder
      {0x00501420, true},   // a cloud placeholder as listed: with reparse point, unpinned, archive
  };
  for (const auto& [bits, online] : attributes) EXPECT_EQ(isStoredOnline(bits), online) << std::hex << bits;
}

// The open never fetches a file unless asked to: the file system sees the
// no-recall flag.
TEST(InspectedFile, TheOpenAsksForNoRecallUnlessOnlineFilesAreRead) {
  constexpr std::uint32_t noRecall = 0x00100000;  // FILE_FLAG_OPEN_NO_RECALL
  EXPECT_EQ(inspectedFileFlags(OnlineFiles::skip), FILE_ATTRIBUTE_NORMAL | noRecall);
  EXPECT_EQ(inspectedFileFlags(OnlineFiles::read), FILE_ATTRIBUTE_NORMAL);
}

TEST(InspectedFile, ExtensionRuleFoldsAsciiCaseOnly) {
  const std::vector<std::pair<std::string, bool>> names = {
      {"a.avi", true},   {"A.AVI", true},   {".avi", true},       {"x.aVi", true},  {"avi", false},
      {"a.avi ", false}, {"a.avi.", false}, {"a.avi.mp4", false}, {"a_avi", false}, {"a.\xC3\xA1vi", false}};
  for (const auto& [name, chosen] : names) EXPECT_EQ(hasAviExtension(name), chosen) << name;
}

}  // namespace
