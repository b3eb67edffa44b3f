// quarnel-avi.exe started as a Windows user starts it, with a UTF-16
// command line, on files whose names no ANSI code page holds.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "base/Win32.h"
#include "tests/support/FileNames.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/StartsWith.h"
#include "tests/support/TempDirectory.h"

using brix::toWide;
using namespace testing_support;

namespace {

// Runs the tool with these arguments, passed as a UTF-16 command line, and
// collects its standard output.
ProgramRun runTool(const std::vector<std::string>& arguments) {
  return runProgram(QUARNEL_TOOL, arguments);
}

struct JsonRun {
  DWORD exitCode;
  nlohmann::json reports;
};

// Runs the tool with --json before these arguments and parses what it prints.
JsonRun runJson(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "--json");
  const ProgramRun run = runTool(arguments);
  return {run.exitCode, nlohmann::json::parse(run.output)};
}

class ToolNamesTest : public ::testing::Test {
 protected:
  // A copy of a real AVI file at path (UTF-8), which may be longer than
  // MAX_PATH; its folders are made as needed.
  void copySample(const std::string& path) {
    const std::wstring extended = L"\\\\?\\" + toWide(path);
    for (std::size_t slash = extended.find(L'\\', 7); slash != std::wstring::npos;
         slash = extended.find(L'\\', slash + 1)) {
      CreateDirectoryW(extended.substr(0, slash).c_str(), nullptr);
    }
    ASSERT_TRUE(CopyFileW(toWide(sample).c_str(), extended.c_str(), TRUE)) << path;
  }
  // A file in a nest of folders that makes the whole path over 300
  // characters, named in Cyrillic.
  std::string nested() const {
    std::string path = dir.path().u8string();
    while (path.size() < 300) path += "\\" + std::string(60, 'n');
    return path + "\\" + cyrillicName;
  }

  const std::string sample = QUARNEL_TEST_DATA_DIR "\\gstreamer-mjpeg.avi";
  TempDirectory dir;
};

TEST_F(ToolNamesTest, AnyNameIsReadAndReportedExactly) {
  std::vector<std::string> paths;
  for (const std::string& name : namesInAnyScript) paths.push_back(dir.file(name));
  paths.push_back(nested());
  for (const std::string& path : paths) copySample(path);

  const auto [exitCode, reports] = runJson(paths);
  EXPECT_EQ(exitCode, 0u) << reports;
  ASSERT_EQ(reports.size(), paths.size()) << reports;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(reports[i]["path"], paths[i]);
    EXPECT_EQ(reports[i]["status"], "Ok") << paths[i];
    EXPECT_EQ(reports[i]["rows"][0]["value"], paths[i]);
  }

  // The text goes to a pipe as UTF-8.
  const ProgramRun text = runTool({paths[0]});
  const std::string pathLine = text.output.substr(0, text.output.find('\n'));
  EXPECT_TRUE(startsWith(pathLine, "Path ")) << text.output;
  EXPECT_EQ(pathLine.substr(pathLine.size() - paths[0].size() - 1), " " + paths[0]);
}

TEST_F(ToolNamesTest, AFolderNamedPastMaxPathIsWalked) {
  const std::string file = nested();
  copySample(file);
  const std::string folder = file.substr(0, file.rfind('\\'));
  ASSERT_GE(brix::utf8ToUtf16(folder).size(), static_cast<std::size_t>(MAX_PATH));
  const auto [exitCode, reports] = runJson({"-r", folder});
  EXPECT_EQ(exitCode, 0u) << reports;
  ASSERT_EQ(reports.size(), 1u) << reports;
  EXPECT_EQ(reports[0]["path"], file);
  EXPECT_EQ(reports[0]["status"], "Ok");
}

TEST_F(ToolNamesTest, AMissingFileIsNamedIntactInItsOpenError) {
  const std::vector<std::string> paths = {dir.file("missing " + cyrillicName), dir.file("missing " + emojiName),
                                          nested() + ".avi", ""};
  const auto [exitCode, reports] = runJson(paths);
  EXPECT_EQ(exitCode, 1u);
  ASSERT_EQ(reports.size(), paths.size()) << reports;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(reports[i]["path"], paths[i]);
    const std::string status = reports[i]["status"];
    EXPECT_TRUE(startsWith(status, "WindowsFile::open: Can't open '" + paths[i] + "': ")) << status;
    EXPECT_TRUE(reports[i]["rows"].empty());
  }
}

TEST_F(ToolNamesTest, WildcardsExpandInSortedOrderOrStayANameWhenNothingMatches) {
  for (const std::string& name : {emojiName, cjkName, std::string("b.avi"), cyrillicName, std::string("A.AVI")}) {
    copySample(dir.file(name));
  }
  const std::string noMatch = dir.file("*.mkv");
  const auto [exitCode, reports] = runJson({dir.file("*.avi"), noMatch});
  EXPECT_EQ(exitCode, 1u);
  const std::vector<std::string> expected = {dir.file("A.AVI"),      dir.file("b.avi"), dir.file(emojiName),
                                             dir.file(cyrillicName), dir.file(cjkName), noMatch};
  ASSERT_EQ(reports.size(), expected.size()) << reports;
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(reports[i]["path"], expected[i]);
  EXPECT_TRUE(startsWith(reports[5]["status"], "WindowsFile::open: Can't open '" + noMatch + "': "));
}

}  // namespace
