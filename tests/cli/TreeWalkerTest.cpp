#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/TreeWalker.h"
#include "tests/cli/FolderTree.h"
#include "tests/support/StartsWith.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using testing_support::startsWith;

namespace {

// Every item of a walk; a folder that could not be read as "!path".
std::vector<std::string> walk(const std::vector<std::string>& paths, bool recursive = true) {
  TreeWalker walker(paths, recursive);
  std::vector<std::string> items;
  while (std::optional<WalkItem> item = walker.next())
    items.push_back(item->folderError ? "!" + item->path : item->path);
  return items;
}

using TreeWalkerTest = FolderTree;

TEST_F(TreeWalkerTest, FolderFilesComeInPathOrderAndFilesGivenAlways) {
  for (const char* name : {"b.avi", "Upper.AVI", "notes.txt", "a-b.avi", "a.avi", "a/z.avi", "a/deeper/y.Avi",
                           "a/deeper/clip.avi.txt", "video.aviX", ".hidden.avi", "c/README"}) {
    file(name);
  }
  folder("empty");
  folder("x.avi");  // a folder is walked, whatever its name
  file("x.avi/inside.avi");

  // A folder sorts as its name followed by the separator: "a-b.avi" and
  // "a.avi" come before everything in "a".
  const std::vector<std::string> expected = {
      path("notes.txt"),      path(".hidden.avi"), path("Upper.AVI"), path("a-b.avi"),          path("a.avi"),
      path("a/deeper/y.Avi"), path("a/z.avi"),     path("b.avi"),     path("x.avi/inside.avi"), path("b.avi")};
  EXPECT_EQ(walk({path("notes.txt"), root.path().string(), path("b.avi")}), expected);
  // A separator at the end of a folder given is not doubled.
  EXPECT_EQ(walk({path("a") + pathSeparator}), (std::vector<std::string>{path("a/deeper/y.Avi"), path("a/z.avi")}));
}

TEST_F(TreeWalkerTest, WithoutRecursionAFolderIsAFileLikeAnyOther) {
  file("a/z.avi");
  EXPECT_EQ(walk({path("a"), path("missing.avi")}, false), (std::vector<std::string>{path("a"), path("missing.avi")}));
  // A path that is not there is read, and its reading says so.
  EXPECT_EQ(walk({path("missing")}), std::vector<std::string>{path("missing")});
}

TEST_F(TreeWalkerTest, AFolderThatCannotBeReadIsAnItemAndTheWalkGoesOn) {
  file("a/x.avi");
  file("b/y.avi");
  file("c.avi");
  TreeWalker walker({root.path().string()}, true);
  EXPECT_EQ(walker.next()->path, path("a/x.avi"));
  // Gone between the listing of its parent and its own.
  std::filesystem::remove_all(path("b"));
  const std::optional<WalkItem> failure = walker.next();
  ASSERT_TRUE(failure && failure->folderError);
  EXPECT_EQ(failure->path, path("b"));
  const std::string message = "FolderListing: Can't read folder '" + path("b") + "': ";
  EXPECT_TRUE(startsWith(*failure->folderError, message) && failure->folderError->size() > message.size())
      << *failure->folderError;
  EXPECT_EQ(walker.next()->path, path("c.avi"));
  EXPECT_FALSE(walker.next());
}

// Links under Wine: see the link-tree test of the tool.
#ifndef _WIN32

TEST_F(TreeWalkerTest, LinksToFoldersAreNotFollowedSoLoopsCannotHappen) {
  file("real/a.avi");
  file("real/b.avi");
  std::filesystem::create_directory_symlink(path("real"), path("real/back"));  // a loop
  std::filesystem::create_directory_symlink(path("real"), path("folder.avi"));
  std::filesystem::create_symlink(path("real/a.avi"), path("file-link.avi"));
  std::filesystem::create_symlink(path("nowhere"), path("dangling.avi"));
  std::filesystem::create_symlink("self.avi", path("self.avi"));  // a link loop
  std::filesystem::create_symlink(path("nowhere"), path("dangling.txt"));
  // Links to files are read; those that lead nowhere too, so that their
  // reading reports them.
  EXPECT_EQ(walk({root.path().string()}),
            (std::vector<std::string>{path("dangling.avi"), path("file-link.avi"), path("real/a.avi"),
                                      path("real/b.avi"), path("self.avi")}));
  // A link to a folder given is followed, not those inside it.
  EXPECT_EQ(walk({path("folder.avi")}), (std::vector<std::string>{path("folder.avi/a.avi"), path("folder.avi/b.avi")}));
}

TEST_F(TreeWalkerTest, NamesNeedNotBeUtf8) {
  file("bad\xFF\xFE.avi");
  file("\xE9t\xE9.AVI");
  EXPECT_EQ(walk({root.path().string()}), (std::vector<std::string>{path("bad\xFF\xFE.avi"), path("\xE9t\xE9.AVI")}));
}

// The walk runs in a child process that is not root.
TEST_F(TreeWalkerTest, AFolderWithoutReadPermissionIsAnItem) {
  file("a/a.avi");
  file("locked/b.avi");
  file("z.avi");
  chmod(path("locked").c_str(), 0);
  EXPECT_EXIT(
      {
        becomeNobody();
        for (const std::string& item : walk({root.path().string()})) std::fprintf(stderr, "%s\n", item.c_str());
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "^" + path("a/a.avi") + "\n!" + path("locked") + "\n" + path("z.avi") + "\n$");
  chmod(path("locked").c_str(), 0755);
}

#endif

}  // namespace
