#include <gtest/gtest.h>

#include "page/FileReport.h"
#include "page/JsonArrayWriter.h"
#include "page/JsonReport.h"

namespace {

using Json = nlohmann::ordered_json;

// Written piece by piece, the document must be the one the whole array
// gives: the tool's JSON output may not change when it starts streaming.
TEST(JsonArrayWriter, WritesWhatTheWholeArrayWouldBe) {
  FileReport failed{"bad\n\"name\".avi", {}, "Empty file", false};
  FileReport read{
      "good.avi", {{0, 0, "Path", std::string("good.avi")}, {0, 1, "AVIMAINHEADER", std::nullopt}}, "Ok", true};
  const std::vector<std::vector<Json>> documents = {
      {},
      {Json::object()},
      {Json::array(), Json(nullptr), Json("line\nbreak")},
      {jsonFileReport(read)},
      {jsonFileReport(read), jsonFileReport(failed), Json{{"path", "x"}, {"ok", false}, {"status", "s\r\n"}}},
  };
  for (const std::vector<Json>& elements : documents) {
    JsonArrayWriter writer;
    std::string streamed;
    for (const Json& element : elements) streamed += writer.element(element);
    streamed += writer.end();
    EXPECT_EQ(streamed, Json(elements).dump(2) + "\n");
  }
}

}  // namespace
