#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/ReportPrinter.h"
#include "page/JsonReport.h"
#include "page/TextReport.h"

namespace {

class ReportPrinterTest : public ::testing::Test {
 protected:
  std::string print(OutputForm form, bool brief, bool failedOnly) {
    ReportPrinter printer(form, brief, failedOnly);
    std::string out;
    for (const FileReport* report : {&good, &missing, &empty}) out += printer.add(*report);
    return out + printer.end();
  }

  FileReport good{"good.avi", {{0, 0, "Path", std::string("good.avi")}}, "Ok", true};
  FileReport missing{"dir/missing.avi", {}, "WindowsFile::open: Can't open 'x': The system cannot find.\r\n", false};
  FileReport empty{"empty.avi", {}, "Empty file", false};
};

TEST_F(ReportPrinterTest, FullReportsAreTheFileReportsWithABlankLineBetween) {
  EXPECT_EQ(print(OutputForm::text, false, false),
            textReport(good) + "\n" + textReport(missing) + "\n" + textReport(empty));
  EXPECT_EQ(print(OutputForm::text, false, true), textReport(missing) + "\n" + textReport(empty));
  EXPECT_EQ(print(OutputForm::json, false, false), jsonReport({good, missing, empty}));
  EXPECT_EQ(print(OutputForm::json, false, true), jsonReport({missing, empty}));
}

TEST_F(ReportPrinterTest, BriefIsOneLineOrObjectPerFile) {
  EXPECT_EQ(print(OutputForm::text, true, false),
            "good.avi: Ok\n"
            "dir/missing.avi: WindowsFile::open: Can't open 'x': The system cannot find.\n"
            "empty.avi: Empty file\n");
  EXPECT_EQ(print(OutputForm::text, true, true),
            "dir/missing.avi: WindowsFile::open: Can't open 'x': The system cannot find.\n"
            "empty.avi: Empty file\n");

  const std::string json = print(OutputForm::json, true, false);
  const nlohmann::ordered_json document = nlohmann::ordered_json::parse(json);
  ASSERT_EQ(document.size(), 3u);
  EXPECT_EQ(document[0].dump(), R"({"path":"good.avi","ok":true,"status":"Ok"})");
  EXPECT_EQ(document[1]["status"], missing.status);  // as in the full report
  EXPECT_EQ(document[1]["path"], missing.path);
  EXPECT_EQ(json, document.dump(2) + "\n");

  // Nothing failed: an empty document, still a document.
  ReportPrinter printer(OutputForm::json, true, true);
  EXPECT_EQ(printer.add(good), "");
  EXPECT_EQ(printer.end(), "[]\n");
  EXPECT_EQ(ReportPrinter(OutputForm::text, true, false).end(), "");
}

}  // namespace
