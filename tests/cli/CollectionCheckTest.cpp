#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/CollectionCheck.h"
#include "cli/InterruptFlag.h"
#include "tests/cli/FolderTree.h"
#include "tests/support/AviBuilder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace testing_support;

namespace {

struct Outcome {
  int status;
  std::string output;
  std::string error;
};

// An archive of good and broken files, checked in-process as the tool
// checks it, with standard output and standard error captured.
class CollectionCheckTest : public FolderTree {
 protected:
  CollectionCheckTest() {
    AviLayout layout;
    layout.streams = {videoStream()};
    const Bytes good = aviBytes(layout);
    for (const char* name : {"a.avi", "c.avi", "tapes/1.avi", "tapes/3.avi"}) {
      file(name, std::string(good.begin(), good.end()));
    }
    file("b.avi");
    file("tapes/2.avi", "RIFF");
    file("tapes/notes.txt");
  }

  // The tool's check of a command line.
  static Outcome run(const std::vector<std::string>& arguments,
                     const std::function<bool(const Outcome&)>& interrupt = nullptr, bool onTerminal = false) {
    Outcome outcome{-1, {}, {}};
    const Console console{[&](const std::string& text) { outcome.output += text; },
                          [&](const std::string& text) { outcome.error += text; }, onTerminal, onTerminal};
    outcome.status = checkCollection(parseCommandLine(arguments), console,
                                     [&] { return interrupt != nullptr && interrupt(outcome); });
    return outcome;
  }
  // The check of the whole archive with these options.
  Outcome check(std::vector<std::string> options, const std::function<bool(const Outcome&)>& interrupt = nullptr,
                bool onTerminal = false) const {
    options.push_back("--");
    options.push_back(root.path().string());
    return run(options, interrupt, onTerminal);
  }
};

TEST_F(CollectionCheckTest, BriefLinesInPathOrderSummaryAndExitStatus) {
  const std::string expected = path("a.avi") + ": Ok\n" + path("b.avi") + ": Empty file\n" + path("c.avi") + ": Ok\n" +
                               path("tapes/1.avi") + ": Ok\n" + path("tapes/2.avi") +
                               ": AVI structure error while parsing sub chunks\n" + path("tapes/3.avi") + ": Ok\n";
  for (const char* jobs : {"1", "2", "7"}) {
    const Outcome outcome = check({"-r", "--brief", "-j", jobs});
    EXPECT_EQ(outcome.status, exitFailed);
    EXPECT_EQ(outcome.output, expected) << jobs << " jobs";
    EXPECT_EQ(outcome.error, "6 files: 4 Ok, 2 failed\n");
  }
  const Outcome failed = check({"-r", "--brief", "--failed-only"});
  EXPECT_EQ(failed.output, path("b.avi") + ": Empty file\n" + path("tapes/2.avi") +
                               ": AVI structure error while parsing sub chunks\n");

  std::filesystem::remove(path("b.avi"));
  std::filesystem::remove(path("tapes/2.avi"));
  const Outcome allGood = check({"-r", "--brief", "--failed-only"});
  EXPECT_EQ(allGood.status, exitOk);
  EXPECT_EQ(allGood.output, "");
  EXPECT_EQ(allGood.error, "4 files: 4 Ok, 0 failed\n");
}

TEST_F(CollectionCheckTest, OnATerminalTheOutputIsTheSameAndTheProgressLineGoes) {
  const Outcome plain = check({"-r", "--brief"});
  const Outcome terminal = check({"-r", "--brief"}, nullptr, true);
  EXPECT_EQ(terminal.output, plain.output);
  // Whether a progress line was drawn depends on the time taken; if it was,
  // it was blanked before the summary.
  EXPECT_EQ(terminal.error.substr(terminal.error.rfind('\r') + 1), plain.error);
  EXPECT_EQ(plain.error.find('\r'), std::string::npos);
}

TEST_F(CollectionCheckTest, OneFileHasNoSummaryAndAFolderWithoutRecursionFails) {
  const Outcome one = run({"--brief", path("a.avi")});
  EXPECT_EQ(one.status, exitOk);
  EXPECT_EQ(one.output, path("a.avi") + ": Ok\n");
  EXPECT_EQ(one.error, "");

  const Outcome folder = check({"--brief"});
  EXPECT_EQ(folder.status, exitFailed);
  EXPECT_EQ(folder.output.rfind(root.path().string() + ": WindowsFile::open: Can't open '", 0), 0u) << folder.output;
}

TEST_F(CollectionCheckTest, JsonIsTheSameDocumentWhateverTheJobs) {
  const Outcome one = check({"-r", "--json", "-j1"});
  const Outcome many = check({"-r", "--json", "-j8"});
  EXPECT_EQ(one.output, many.output);
  const nlohmann::json document = nlohmann::json::parse(one.output);
  ASSERT_EQ(document.size(), 6u);
  EXPECT_EQ(document[4]["path"], path("tapes/2.avi"));
  EXPECT_EQ(document[4]["ok"], false);
  EXPECT_EQ(document[5]["rows"][0]["value"], path("tapes/3.avi"));
}

// --verify reads the same files the same ways: each line or object is a
// whole file's verification, in the same order whatever the jobs.
TEST_F(CollectionCheckTest, VerifyCombinesWithTheOtherOptions) {
  const Outcome brief = check({"--verify", "-r", "--brief", "--failed-only", "-j", "3"});
  EXPECT_EQ(brief.status, exitFailed);
  EXPECT_EQ(brief.output, path("b.avi") + ": Empty file\n" + path("tapes/2.avi") +
                              ": The file ends with 4 bytes at position 0 that hold no chunk\n");
  EXPECT_EQ(brief.error, "6 files: 4 Ok, 2 failed\n");

  const Outcome one = check({"--verify", "-r", "--json", "-j1"});
  EXPECT_EQ(one.output, check({"--verify", "-r", "--json", "-j8"}).output);
  const nlohmann::json document = nlohmann::json::parse(one.output);
  ASSERT_EQ(document.size(), 6u);
  EXPECT_EQ(document[0]["status"], "Ok");
  EXPECT_EQ(document[0]["streams"].size(), 1u);
}

TEST_F(CollectionCheckTest, AnInterruptedRunStopsWithItsOutputWhole) {
  // Asked after each file: the run stops once two are written.
  const auto afterTwo = [](const Outcome& outcome) {
    const std::size_t first = outcome.output.find("\"path\"");
    return first != std::string::npos && outcome.output.find("\"path\"", first + 1) != std::string::npos;
  };
  const Outcome json = check({"-r", "--brief", "--json", "-j2"}, afterTwo);
  EXPECT_EQ(json.status, exitInterrupted);
  const nlohmann::json document = nlohmann::json::parse(json.output);  // closed
  ASSERT_EQ(document.size(), 2u);
  EXPECT_EQ(document[1]["path"], path("b.avi"));
  EXPECT_EQ(json.error, "2 files: 1 Ok, 1 failed\nquarnel-avi: interrupted\n");

  const Outcome text = check({"-r", "--brief"}, [](const Outcome&) { return true; });
  EXPECT_EQ(text.status, exitInterrupted);
  EXPECT_EQ(text.output, "");
}

TEST(InterruptFlag, TheFirstCtrlCRaisesItAndTheSecondEndsTheProcess) {
  InterruptFlag::install();
  EXPECT_FALSE(InterruptFlag::raised());
  std::raise(SIGINT);
  EXPECT_TRUE(InterruptFlag::raised());
  EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL);
  InterruptFlag::install();
  EXPECT_FALSE(InterruptFlag::raised());
  std::signal(SIGINT, SIG_DFL);
}

#ifndef _WIN32

// The check runs in a child process that is not root, and writes
// everything to standard error, where the parent sees it.
TEST_F(CollectionCheckTest, AnUnreadableFolderIsALineAndAFailure) {
  chmod(path("tapes").c_str(), 0);
  const auto checkAsNobody = [this] {
    becomeNobody();
    const Console console{[](const std::string& text) { std::fputs(text.c_str(), stderr); },
                          [](const std::string& text) { std::fputs(text.c_str(), stderr); }};
    std::exit(checkCollection(parseCommandLine({"-r", "--brief", "--failed-only", root.path().string()}), console,
                              [] { return false; }));
  };
  EXPECT_EXIT(checkAsNobody(), ::testing::ExitedWithCode(exitFailed),
              "^" + path("b.avi") + ": Empty file\n" + path("tapes") + ": FolderListing: Can't read folder '" +
                  path("tapes") + "': Access is denied.\n3 files: 2 Ok, 1 failed; 1 folder could not be read\n$");
  chmod(path("tapes").c_str(), 0755);
}

#endif

}  // namespace
