#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/FileArguments.h"
#include "tests/support/TempDirectory.h"

using testing_support::TempDirectory;

namespace {

#ifdef _WIN32
class FileArgumentsTest : public ::testing::Test {
 protected:
  FileArgumentsTest() {
    for (const char* name : {"b.avi", "A.avi", "c.AVI", "\xD0\x96.avi", "d.txt"}) {
      testing_support::writeFile(dir.file(name), "", 0);
    }
    std::filesystem::create_directory(std::filesystem::u8path(dir.file("sub.avi")));
  }
  std::string in(const std::string& name) const { return folder + "\\" + name; }

  TempDirectory dir;
  const std::string folder = dir.path().u8string();
};

TEST_F(FileArgumentsTest, WildcardsBecomeTheMatchingNamesSortedRegardlessOfCase) {
  // Folders match as well: what to do with them is the reader's business.
  EXPECT_EQ(expandFileArguments({in("*.avi")}),
            (std::vector<std::string>{in("A.avi"), in("b.avi"), in("c.AVI"), in("sub.avi"), in("\xD0\x96.avi")}));
  // Case folds beyond ASCII too; the folder part keeps its separator.
  EXPECT_EQ(expandFileArguments({in("\xD0\xB6*")}), std::vector<std::string>{in("\xD0\x96.avi")});
  EXPECT_EQ(
      expandFileArguments({folder + "/?.AVI"}),
      (std::vector<std::string>{folder + "/A.avi", folder + "/b.avi", folder + "/c.AVI", folder + "/\xD0\x96.avi"}));
}

TEST_F(FileArgumentsTest, OtherArgumentsAndPatternsThatMatchNothingStayAsGiven) {
  const std::vector<std::string> unchanged = {"z.avi", in("*.mkv"), in("*\\d.txt"), in("[d].txt"), ""};
  EXPECT_EQ(expandFileArguments(unchanged), unchanged);
  EXPECT_EQ(expandFileArguments({"z.avi", in("*.txt"), "a.avi"}),
            (std::vector<std::string>{"z.avi", in("d.txt"), "a.avi"}));
}

TEST_F(FileArgumentsTest, APatternWithoutFolderIsTheCurrentFolders) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const std::vector<std::string> expanded = expandFileArguments({"*.txt", "?.avi"});
  std::filesystem::current_path(before);
  EXPECT_EQ(expanded, (std::vector<std::string>{"d.txt", "A.avi", "b.avi", "c.AVI", "\xD0\x96.avi"}));
}
#else
TEST(FileArguments, OnLinuxTheShellHasExpandedThemAlready) {
  TempDirectory dir;
  testing_support::writeFile(dir.file("a.avi"), "", 0);
  const std::vector<std::string> arguments = {dir.file("*.avi"), dir.file("?.avi")};
  EXPECT_EQ(expandFileArguments(arguments), arguments);
}
#endif

}  // namespace
