#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "page/FileReport.h"
#include "page/JsonReport.h"
#include "page/TextReport.h"
#include "page/VerifyReport.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/StartsWith.h"
#include "tests/support/TempDirectory.h"

using namespace testing_support;

namespace {

std::string dataFile(const char* name) {
  return std::string(QUARNEL_TEST_DATA_DIR) + "/" + name;
}

TEST(FileReport, AGoodFileHasRowsAndOk) {
  const FileReport report = readFileReport(dataFile("ffmpeg-two-audio.avi"));
  EXPECT_TRUE(report.ok);
  EXPECT_EQ(report.status, "Ok");
  // The headers; a BITMAPINFOHEADER, two 16-byte WAVEFORMATEX and an index
  // summary for each stream; its one RIFF form; the writer's INFO tag.
  EXPECT_EQ(report.rows.size(), 1 + 11 + 1 + 3 * 16u + 12 + 2 * 7 + 3 * 5 + 4 + 2);
}

TEST(FileReport, FilesThatCannotBeReadGiveTheirMessageAndNoRows) {
  TempDirectory dir;
  const std::string missing = dir.file("missing.avi");
  const FileReport noFile = readFileReport(missing);
  EXPECT_FALSE(noFile.ok);
  EXPECT_TRUE(startsWith(noFile.status, "WindowsFile::open: Can't open '" + missing + "': ")) << noFile.status;
  EXPECT_TRUE(noFile.rows.empty());

  const FileReport folder = readFileReport(dir.path().string());
  EXPECT_TRUE(startsWith(folder.status, "WindowsFile::open: Can't open '")) << folder.status;

  const std::string empty = dir.file("empty.avi");
  writeFile(empty, "", 0);
  EXPECT_EQ(readFileReport(empty).status, "Empty file");

  const std::string wave = dir.file("sound.avi");
  const Bytes waveBytes = serialize(listChunk("RIFF", "WAVE", {dataChunk("fmt ", Bytes(16, 0))}));
  writeFile(wave, waveBytes.data(), waveBytes.size());
  EXPECT_EQ(readFileReport(wave).status, "Not an AVI file");
}

TEST(FileReport, TheStatusAloneIsTheFullReadingsWithoutRows) {
  TempDirectory dir;
  const std::string empty = dir.file("empty.avi");
  writeFile(empty, "", 0);
  for (const std::string& path : {dataFile("ffmpeg-two-audio.avi"), dataFile("gstreamer-mjpeg.avi"),
                                  dataFile("SOURCES.md"), empty, dir.file("missing.avi")}) {
    const FileReport full = readFileReport(path);
    const FileReport status = readFileStatus(path);
    EXPECT_EQ(status.status, full.status);
    EXPECT_EQ(status.ok, full.ok) << path;
    EXPECT_TRUE(status.rows.empty()) << path;
  }
}

TEST(FileReport, RowsBeforeAnErrorStay) {
  // The parse itself completes or fails before the first row; the rows of a
  // good parse are all there.
  AviLayout layout;
  layout.streams = {videoStream()};
  MemoryStream stream(aviBytes(layout));
  const FileReport report = readStreamReport("mem.avi", stream);
  EXPECT_TRUE(report.ok);
  EXPECT_EQ(report.rows.front().value, "mem.avi");
}

TEST(FileReport, RunningOutOfMemoryReadsAsBadAllocation) {
  struct ExhaustedStream : brix::SeekableInputStream {
    std::uint32_t read(void*, std::uint32_t) override { throw std::bad_alloc(); }
    std::int64_t seek(std::int64_t, int) override { return 0; }
    std::int64_t tell() override { return 0; }
    std::int64_t size() override { return 100; }
  } stream;
  const FileReport report = readStreamReport("x.avi", stream);
  EXPECT_FALSE(report.ok);
  EXPECT_EQ(report.status, "bad allocation");
}

TEST(JsonReport, IsValidJsonWithTheDocumentedShape) {
  std::vector<FileReport> reports = {readFileReport(dataFile("gstreamer-mjpeg.avi")),
                                     readFileReport(dataFile("no-such-file.avi"))};
  const nlohmann::json document = nlohmann::json::parse(jsonReport(reports));
  ASSERT_TRUE(document.is_array());
  ASSERT_EQ(document.size(), 2u);
  const auto& good = document[0];
  EXPECT_EQ(good["status"], "Ok");
  EXPECT_EQ(good["ok"], true);
  EXPECT_EQ(good["path"], dataFile("gstreamer-mjpeg.avi"));
  EXPECT_EQ(good["rows"][1]["element"], "AVIMAINHEADER");
  EXPECT_TRUE(good["rows"][1]["value"].is_null());
  EXPECT_EQ(good["rows"][14]["element"], "Streams");
  EXPECT_EQ(good["rows"][14]["value"], "");
  EXPECT_EQ(good["rows"][17]["indent"], 3);
  EXPECT_EQ(good["rows"][17]["image"], 2);
  const auto& bad = document[1];
  EXPECT_EQ(bad["ok"], false);
  EXPECT_TRUE(bad["rows"].empty());
}

TEST(JsonReport, AnyByteFromAFileStillGivesValidJson) {
  // A chunk id quoted in a message, and a path, with bytes that are not UTF-8.
  AviLayout layout;
  layout.streams = {videoStream()};
  addMovieChunks(layout, "00dc", 1, 2);
  (*layout.index)[0].id = std::string("\xFF\x01\"\\", 4);
  MemoryStream stream(aviBytes(layout));
  const FileReport report = readStreamReport("bad\xE9name.avi", stream);
  ASSERT_FALSE(report.ok);
  const nlohmann::json document = nlohmann::json::parse(jsonReport({report}));
  EXPECT_EQ(document[0]["status"], "Invalid chunk id '\xC3\xBF\x01\"\\' for data chunk");
  EXPECT_EQ(document[0]["path"], "bad\xC3\xA9name.avi");
  EXPECT_EQ(jsonReport({}), "[]\n");
}

TEST(TextReport, ValuesStandInOneColumnAfterTheIndentedElements) {
  FileReport report{"p.avi", {}, "Ok", true};
  report.rows = {{0, 0, "Path", std::string("p.avi")},
                 {0, 1, "AVIMAINHEADER", std::nullopt},
                 {1, 2, "dwWidth", std::string("320")},
                 {3, 2, "fccType", std::string("vids")},
                 {1, 0, "0", std::string()}};
  EXPECT_EQ(textReport(report),
            "Path           p.avi\n"
            "AVIMAINHEADER\n"
            "  dwWidth      320\n"
            "      fccType  vids\n"
            "  0\n"
            "Status: Ok\n");
}

TEST(TextReport, ChosenRowsAlignTheirValuesAmongThemselves) {
  // As a user copies them out of the page: a header field, a stream field and
  // a group row without a value, whose level still shows.
  const std::vector<StructureRowText> rows = {{1, 2, "dwMicroSecPerFrame", std::string("40000")},
                                              {3, 2, "fccType", std::string("vids")},
                                              {1, 0, "0", std::string()},
                                              {0, 1, "AVIMAINHEADER", std::nullopt}};
  EXPECT_EQ(textRows(rows),
            "  dwMicroSecPerFrame  40000\n"
            "      fccType         vids\n"
            "  0\n"
            "AVIMAINHEADER\n");
  // A row without a value does not widen the column; one with an empty value does.
  EXPECT_EQ(textRows({{0, 1, "AVISTREAMHEADER", std::nullopt}, {1, 2, "dwRate", std::string("25")}}),
            "AVISTREAMHEADER\n"
            "  dwRate  25\n");
  EXPECT_EQ(textRows({{0, 1, "AVISTREAMHEADER", std::string()}, {1, 2, "dwRate", std::string("25")}}),
            "AVISTREAMHEADER\n"
            "  dwRate         25\n");
  EXPECT_EQ(textRows({}), "");
}

TEST(TextReport, AllRowsAreTheReportWithoutItsStatusLine) {
  const FileReport report = readFileReport(dataFile("ffmpeg-two-audio.avi"));
  EXPECT_EQ(textRows(report.rows) + "Status: Ok\n", textReport(report));
}

TEST(TextReport, AFileThatWasNotReadStillStartsWithItsPath) {
  // The status line loses the system's line break too.
  FileReport report{
      "dir/p\xE9.avi", {}, "WindowsFile::open: Can't open 'p.avi': The system cannot find the file.\r\n", false};
  EXPECT_EQ(textReport(report),
            "Path  dir/p\xC3\xA9.avi\n"
            "Status: WindowsFile::open: Can't open 'p.avi': The system cannot find the file.\n");
}

// A verification's report: what each stream holds, and up to when the file
// is sound once it is not; JSON gives the verification in full.
TEST(VerifyReport, RowsAndJsonTellWhatWasFound) {
  Verification cut;
  cut.status = "The file ends inside chunk '00dc' at position 9000";
  cut.position = 9000;
  cut.streams = {{10, 10010, 0.4, 1.6}};
  cut.soundUpTo = 0.4;
  cut.length = 1.6;
  const FileReport report = verificationReport("cut.avi", cut);
  EXPECT_EQ(textReport(report),
            "Path         cut.avi\n"
            "Stream 0\n"
            "  Chunks     10\n"
            "  Bytes      10010\n"
            "  Duration   0:00:00.400\n"
            "Sound up to  0:00:00.400 of 0:00:01.600\n"
            "Status: The file ends inside chunk '00dc' at position 9000\n");
  const nlohmann::json json = nlohmann::json::parse(jsonReport({report}))[0];
  EXPECT_EQ(json["position"], 9000);
  EXPECT_EQ(json["streams"][0]["bytes"], 10010);
  EXPECT_EQ(json["soundUpTo"], 0.4);

  Verification sound = cut;
  sound.ok = true;
  sound.status = "Ok";
  sound.position.reset();
  const FileReport ok = verificationReport("ok.avi", sound);
  EXPECT_EQ(ok.rows.back().element, "Duration");
  EXPECT_TRUE(nlohmann::json::parse(jsonReport({ok}))[0]["position"].is_null());
}

}  // namespace
