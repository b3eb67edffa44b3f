#include <gtest/gtest.h>

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

TEST(InspectedFile, ExtensionRuleFoldsAsciiCaseOnly) {
  const std::vector<std::pair<std::string, bool>> names = {
      {"a.avi", true},   {"A.AVI", true},   {".avi", true},       {"x.aVi", true},  {"avi", false},
      {"a.avi ", false}, {"a.avi.", false}, {"a.avi.mp4", false}, {"a_avi", false}, {"a.\xC3\xA1vi", false}};
  for (const auto& [name, chosen] : names) EXPECT_EQ(hasAviExtension(name), chosen) << name;
}

}  // namespace
