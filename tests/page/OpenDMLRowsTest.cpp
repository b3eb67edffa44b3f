#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "avi/AVIFile.h"
#include "page/OpenDMLRows.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/MemoryStream.h"

using namespace testing_support;

namespace {

using Rows = std::vector<std::string>;  // "indent image element = value"

StructureRowSink collect(Rows& rows) {
  return [&rows](int indent, int image, const std::string& element, const std::optional<std::string>& value) {
    rows.push_back(std::to_string(indent) + " " + std::to_string(image) + " " + element +
                   (value ? " = " + *value : ""));
  };
}

TEST(OpenDMLRows, TheIndexSaysWhichItIsAndWhatIsWrong) {
  AviLayout layout;
  layout.streams = {videoStream()};
  MemoryStream stream(aviBytes(layout));
  const AVIFile file(stream);
  AVIStream& video = *file.stream(0);
  Rows none;
  addOpenDMLIndexRows(video, collect(none));
  EXPECT_TRUE(none.empty());

  using Kind = OpenDMLIndexChunk::Kind;
  const auto counted = [](bool readable, Kind kind, bool fields, std::string problem, std::uint32_t more) {
    return OpenDMLIndex{readable, kind, fields, 12, 30000, 1200, 123456789012, 1200.5, problem, more};
  };
  const Rows counts = {"3 2 Segments = 12", "3 2 Entries = 30000", "3 2 Key frames = 1200", "3 2 Bytes = 123456789012",
                       "3 2 Duration = 0:20:00.500"};
  const struct {
    OpenDMLIndex index;
    std::string group;
    std::string problem;
  } cases[] = {
      {counted(true, Kind::superIndex, true, "", 0), "indx: super index of field indexes", ""},
      {counted(true, Kind::standardIndex, false, "", 0), "indx: standard index", ""},
      {counted(false, Kind::superIndex, false, "indx: wrong", 0), "indx", "indx: wrong"},
      {counted(true, Kind::superIndex, false, "segment 3 at 9: wrong", 2), "indx: super index",
       "segment 3 at 9: wrong (and 2 more)"},
  };
  for (const auto& c : cases) {
    video.setOpenDMLIndex(c.index);
    Rows rows;
    addOpenDMLIndexRows(video, collect(rows));
    Rows expected = {"2 0 OpenDML index = " + c.group};
    expected.insert(expected.end(), counts.begin(), counts.end());
    if (!c.problem.empty()) expected.push_back("3 2 Problem = " + c.problem);
    EXPECT_EQ(rows, expected);
  }
}

// Forms after the first are read for their movi list: one without, one
// whose children run past its end; beyond the 1,000 listed, forms are
// counted.
TEST(OpenDMLRows, RiffFormsWithWhatIsWrongWithThem) {
  AviLayout layout;
  layout.streams = {videoStream()};
  const std::size_t first = serialize(buildAvi(layout)).size();
  layout.laterForms.assign(RiffForms::maxListed, listChunk("RIFF", "AVIX", {listChunk("LIST", "movi", {})}));
  layout.laterForms[0].children[0].listType = "mova";
  layout.laterForms[1].children[0].sizeOverride = 20;
  const Bytes bytes = aviBytes(layout);
  MemoryStream stream(bytes);
  const AVIFile file(stream);
  Rows rows;
  addRiffFormRows(file, collect(rows));
  ASSERT_EQ(rows.size(), 3 + RiffForms::maxListed + 1);
  EXPECT_EQ(Rows(rows.begin(), rows.begin() + 7),
            (Rows{"0 0 RIFF = ", "1 2 Forms = 1001", "1 2 File size = " + std::to_string(bytes.size()),
                  "1 2 AVI  = at 0, size " + std::to_string(first - 8),
                  "1 2 AVIX = at " + std::to_string(first) + ", size 16; no LIST movi",
                  "1 2 AVIX = at " + std::to_string(first + 24) +
                      ", size 16; cut short: AVI structure error while skipping sub chunk",
                  "1 2 AVIX = at " + std::to_string(first + 48) + ", size 16"}));
  EXPECT_EQ(rows.back(), "1 2 Not listed = 1");
}

}  // namespace
