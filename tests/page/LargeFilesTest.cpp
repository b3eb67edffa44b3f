// Captures past 4 GiB in the OpenDML layout, read from disk as the tool and
// the page read them. The files are sparse: only their headers and index
// chunks take room on disk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "page/FileReport.h"
#include "tests/support/OpenDMLBuilder.h"
#include "tests/support/StartsWith.h"
#include "tests/support/TempDirectory.h"

using namespace testing_support;

namespace {

using Rows = std::vector<std::string>;

// Each group with this Element text as one line: "element = value; ...".
Rows groups(const FileReport& report, const std::string& group) {
  Rows rows;
  for (std::size_t i = 0; i < report.rows.size(); ++i) {
    if (report.rows[i].element != group) continue;
    std::string text;
    for (std::size_t j = i; j < report.rows.size() && (j == i || report.rows[j].indent > report.rows[i].indent); ++j) {
      text += (j == i ? "" : "; ") + report.rows[j].element + " = " + report.rows[j].value.value_or("");
    }
    rows.push_back(text);
  }
  return rows;
}

TEST(LargeFiles, EveryFormAndEveryStreamAreCounted) {
  // Past 4 GiB with no legacy index at all.
  OpenDMLLayout onlyOpenDML = twelveGigabyteCapture();
  onlyOpenDML.avi.streams.resize(1);
  onlyOpenDML.chunkBytes = {999992};
  onlyOpenDML.forms = 5;
  onlyOpenDML.legacyIndex = false;
  const std::string super = "OpenDML index = indx: super index; Segments = ";
  const std::string audio = super + "12; Entries = 12000; Key frames = 12000; Bytes = 84672000; Duration = 0:08:00.000";
  const std::string audioIdx1 =
      "Index = idx1; Entries = 1000; Key frames = 1000; Bytes = 7056000; Duration = 0:00:40.000";
  const struct {
    OpenDMLLayout layout;
    Rows openDML;
    Rows legacy;  // of the first form alone
  } cases[] = {
      {twelveGigabyteCapture(),
       {super + "12; Entries = 12000; Key frames = 1200; Bytes = 11830368000; Duration = 0:08:00.000", audio, audio},
       {"Index = idx1; Entries = 1000; Key frames = 100; Bytes = 985864000; Duration = 0:00:40.000", audioIdx1,
        audioIdx1}},
      {onlyOpenDML,
       {super + "5; Entries = 5000; Key frames = 500; Bytes = 4999960000; Duration = 0:03:20.000"},
       {"Index = no legacy index"}},
  };
  const TempDirectory dir;
  for (const auto& c : cases) {
    const OpenDMLFile file = buildOpenDML(c.layout);
    ASSERT_GT(file.size, std::uint64_t{1} << 32);
    const std::string path = dir.file("capture.avi");
    writeSparseFile(path, file);
    const FileReport report = readFileReport(path);
    EXPECT_EQ(report.status, "Ok");
    EXPECT_EQ(groups(report, "OpenDML index"), c.openDML);
    EXPECT_EQ(groups(report, "Index"), c.legacy);
    const std::string riff = groups(report, "RIFF").at(0);
    const std::string last = "AVIX = at " + std::to_string(file.forms.back()) + ", size " +
                             std::to_string(file.size - file.forms.back() - 8);
    EXPECT_TRUE(startsWith(riff, "RIFF = ; Forms = " + std::to_string(c.layout.forms) +
                                     "; File size = " + std::to_string(file.size) + "; AVI  = at 0, "))
        << riff;
    EXPECT_EQ(riff.substr(riff.size() - last.size()), last);
  }
}

}  // namespace
