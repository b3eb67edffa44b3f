// Every input that ever made the fuzzer fail, and a few built by hand to
// break a careless parser, replayed on every platform and under the
// sanitizers: each must give a report that keeps the fuzzer's rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "avi/FileVerifier.h"
#include "page/FileReport.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/ReportChecks.h"
#include "tests/support/TempDirectory.h"

using namespace testing_support;

namespace {

std::vector<std::filesystem::path> regressionFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(QUARNEL_FUZZ_REGRESSIONS_DIR)) {
    if (entry.is_regular_file() && entry.path().extension() == ".avi") files.push_back(entry.path());
  }
  return files;
}

FileReport reportOf(const std::filesystem::path& file, StructureRowSet set = StructureRowSet::all) {
  const std::string bytes = readFile(file.u8string());
  // Over a buffer of exactly the file's size, as the fuzzer reads it.
  MemoryStream stream(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  return readStreamReport(file.filename().string(), stream, set);
}

TEST(FuzzRegressions, EveryInputGivesAReportThatKeepsTheRules) {
  const std::vector<std::filesystem::path> files = regressionFiles();
  ASSERT_GE(files.size(), 8u) << "regression inputs missing from " << QUARNEL_FUZZ_REGRESSIONS_DIR;
  for (const std::filesystem::path& file : files) {
    const FileReport report = reportOf(file);
    EXPECT_EQ(reportFault(report), "") << file.filename().string() << ": " << report.status;
    EXPECT_EQ(headerRowsFault(report, reportOf(file, StructureRowSet::headers)), "") << file.filename().string();
    const std::string bytes = readFile(file.u8string());
    MemoryStream pass(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    MemoryStream lookups(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    EXPECT_EQ(verificationFault(FileVerifier(pass, lookups).run(), bytes.size()), "") << file.filename().string();
  }
}

// The check the fuzzer makes between all rows and the header rows finds a
// changed status, a changed or missing header row, and extra rows in the
// header report.
TEST(FuzzRegressions, TheHeaderRowsCheckFindsWhatDiffers) {
  const std::filesystem::path file = std::string(QUARNEL_TEST_DATA_DIR) + "/ffmpeg-two-audio.avi";
  const FileReport all = reportOf(file);
  const FileReport headers = reportOf(file, StructureRowSet::headers);
  ASSERT_EQ(headerRowsFault(all, headers), "");
  ASSERT_LT(headers.rows.size(), all.rows.size());

  FileReport failed = headers;
  failed.status = "Too many chunks in file";
  failed.ok = false;
  EXPECT_NE(headerRowsFault(all, failed), "");
  for (std::size_t i : {std::size_t{0}, std::size_t{20}, headers.rows.size() - 1}) {
    FileReport changed = headers;
    changed.rows[i].value = "changed";
    EXPECT_NE(headerRowsFault(all, changed), "") << i;
    changed.rows.erase(changed.rows.begin() + static_cast<std::ptrdiff_t>(i));
    EXPECT_NE(headerRowsFault(all, changed), "") << i;
  }
  EXPECT_NE(headerRowsFault(all, all), "");
}

// The hand-built inputs stop where a careful parser stops them: at the
// check that bounds the count, not in an allocation sized by it. The two
// that once held the most streams a 64 KiB input can hold are refused for
// the count they claim.
TEST(FuzzRegressions, HandBuiltInputsStopAtTheRightCheck) {
  const std::map<std::string, std::string> expected = {
      {"huge-dwstreams.avi", "Too many streams in AVI header (4294967295, at most 100)"},
      {"idx1-claims-4gib.avi", "AVI structure error while skipping sub chunk"},
      {"riff-claims-4gib.avi", "AVI structure error while skipping sub chunk"},
      {"deeply-nested-lists.avi", "Ok"},
      {"strf-past-end.avi", "AVI structure error while skipping sub chunk"},
      {"empty-format-inside-file.avi", "Ok"},
      {"most-streams.avi", "Too many streams in AVI header (779, at most 100)"},
      {"most-rows.avi", "Too many streams in AVI header (654, at most 100)"},
  };
  for (const auto& [name, status] : expected) {
    EXPECT_EQ(reportOf(std::filesystem::path(QUARNEL_FUZZ_REGRESSIONS_DIR) / name).status, status) << name;
  }
}

}  // namespace
