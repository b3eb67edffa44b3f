// quarnel-avi.exe started as a Windows user starts it, with a UTF-16
// command line, on files whose names no ANSI code page holds.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "base/Win32.h"
#include "base/WindowsHandle.h"
#include "tests/support/TempDirectory.h"

using brix::toWide;
using testing_support::TempDirectory;

namespace {

const std::string cyrillic = "\xD0\x9E\xD1\x82\xD0\xBF\xD1\x83\xD1\x81\xD0\xBA.avi";
const std::string cjk = "\xE6\x9D\xB1\xE4\xBA\xAC.avi";
const std::string emoji = "clip \xF0\x9F\x8E\xAC.avi";

struct ToolRun {
  DWORD exitCode;
  std::string output;
};

std::wstring quoted(const std::string& argument) {
  return L" \"" + toWide(argument) + L"\"";
}

// Runs the tool with these arguments and collects its standard output.
ToolRun runTool(const std::vector<std::string>& arguments) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) throw std::runtime_error("CreatePipe failed");
  brix::WindowsHandle reader;
  reader.setHandle(readEnd);
  brix::WindowsHandle writer;
  writer.setHandle(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  std::wstring commandLine = L"\"" + toWide(QUARNEL_TOOL) + L"\"";
  for (const std::string& argument : arguments) commandLine += quoted(argument);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  // The summary of a run of several files goes there, apart from the report.
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(toWide(QUARNEL_TOOL).c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    throw std::runtime_error("CreateProcessW failed");
  }
  brix::WindowsHandle processHandle;
  processHandle.setHandle(process.hProcess);
  CloseHandle(process.hThread);
  writer.close();  // so that the read ends when the tool's copy closes

  ToolRun run{0, {}};
  char buffer[4096];
  DWORD done = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &done, nullptr) && done > 0) run.output.append(buffer, done);
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  return run;
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
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
    return path + "\\" + cyrillic;
  }

  const std::string sample = QUARNEL_TEST_DATA_DIR "\\gstreamer-mjpeg.avi";
  TempDirectory dir;
};

TEST_F(ToolNamesTest, AnyNameIsReadAndReportedExactly) {
  const std::vector<std::string> paths = {dir.file(cyrillic), dir.file(cjk),
                                          dir.file(emoji),    dir.file(std::string(200, 'n') + ".avi"),
                                          nested(),           dir.file(".avi")};
  for (const std::string& path : paths) copySample(path);

  const ToolRun run = runTool([&] {
    std::vector<std::string> arguments = {"--json"};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    return arguments;
  }());
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  const nlohmann::json reports = nlohmann::json::parse(run.output);
  ASSERT_EQ(reports.size(), paths.size()) << run.output;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(reports[i]["path"], paths[i]);
    EXPECT_EQ(reports[i]["status"], "Ok") << paths[i];
    EXPECT_EQ(reports[i]["rows"][0]["value"], paths[i]);
  }

  // The text goes to a pipe as UTF-8.
  const ToolRun text = runTool({paths[0]});
  const std::string pathLine = text.output.substr(0, text.output.find('\n'));
  EXPECT_TRUE(startsWith(pathLine, "Path ")) << text.output;
  EXPECT_EQ(pathLine.substr(pathLine.size() - paths[0].size() - 1), " " + paths[0]);
}

TEST_F(ToolNamesTest, AMissingFileIsNamedIntactInItsOpenError) {
  const std::vector<std::string> paths = {dir.file("missing " + cyrillic), dir.file("missing " + emoji),
                                          nested() + ".avi", ""};
  const ToolRun run = runTool([&] {
    std::vector<std::string> arguments = {"--json"};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    return arguments;
  }());
  EXPECT_EQ(run.exitCode, 1u);
  const nlohmann::json reports = nlohmann::json::parse(run.output);
  ASSERT_EQ(reports.size(), paths.size()) << run.output;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(reports[i]["path"], paths[i]);
    const std::string status = reports[i]["status"];
    EXPECT_TRUE(startsWith(status, "WindowsFile::open: Can't open '" + paths[i] + "': ")) << status;
    EXPECT_TRUE(reports[i]["rows"].empty());
  }
}

TEST_F(ToolNamesTest, WildcardsExpandInSortedOrderOrStayANameWhenNothingMatches) {
  for (const std::string& name : {emoji, cjk, std::string("b.avi"), cyrillic, std::string("A.AVI")}) {
    copySample(dir.file(name));
  }
  const std::string noMatch = dir.file("*.mkv");
  const ToolRun run = runTool({"--json", dir.file("*.avi"), noMatch});
  EXPECT_EQ(run.exitCode, 1u);
  const nlohmann::json reports = nlohmann::json::parse(run.output);
  const std::vector<std::string> expected = {dir.file("A.AVI"),  dir.file("b.avi"), dir.file(emoji),
                                             dir.file(cyrillic), dir.file(cjk),     noMatch};
  ASSERT_EQ(reports.size(), expected.size()) << run.output;
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(reports[i]["path"], expected[i]);
  EXPECT_TRUE(startsWith(reports[5]["status"], "WindowsFile::open: Can't open '" + noMatch + "': "));
}

}  // namespace
