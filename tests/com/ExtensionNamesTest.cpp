// Files named in any script, and paths past 260 characters, through the
// shell's data object to the page: the page reads them, and its Path row
// and messages hold the name exactly as the shell gave it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Unicode.h"
#include "tests/com/ExtensionFixture.h"

namespace {

const std::string cyrillic = "\xD0\x9E\xD1\x82\xD0\xBF\xD1\x83\xD1\x81\xD0\xBA";  // Отпуск
const std::string japanese = "\xE6\x9D\xB1\xE4\xBA\xAC";                          // 東京
const std::string clapper = "\xF0\x9F\x8E\xAC";                                   // U+1F3AC, a surrogate pair

// A path of exactly length characters (UTF-16 units) inside folder.
std::string pathOfLength(const std::string& folder, std::size_t length) {
  const std::size_t used = brix::utf8ToUtf16(folder).size() + 1 + 4;  // the separator and ".avi"
  return folder + "\\" + std::string(length - used, 'n') + ".avi";
}

// Creates each folder of a nest under base, whatever its length.
std::string makeNest(const std::string& base, const std::vector<std::string>& parts) {
  std::string folder = base;
  for (const std::string& part : parts) {
    folder += "\\" + part;
    CreateDirectoryW((L"\\\\?\\" + brix::toWide(folder)).c_str(), nullptr);
  }
  return folder;
}

class ExtensionNames : public shell_host::ExtensionFixture {
 protected:
  // A copy of a real file under path, which may be long.
  void copyTo(const std::string& path) {
    const std::wstring source = brix::toWide(dataFile("gstreamer-mjpeg.avi"));
    ASSERT_TRUE(CopyFileW(source.c_str(), (L"\\\\?\\" + brix::toWide(path)).c_str(), FALSE)) << path;
  }
};

TEST_F(ExtensionNames, AFileNamedInAnyScriptOrAtAnyLengthShowsItsRows) {
  const std::string folder = temp.file("");
  const std::string base = folder.substr(0, folder.size() - 1);
  const std::string nest = makeNest(base, {std::string(60, 'a'), std::string(60, 'b'), std::string(60, 'c'),
                                           std::string(60, 'd'), cyrillic + std::string(40, 'e')});
  const std::vector<std::string> paths = {
      temp.file(cyrillic + ".avi"),     temp.file(japanese + ".avi"),
      temp.file(clapper + " clip.avi"), temp.file(std::string(200, 'l') + ".avi"),
      pathOfLength(base, 259),          pathOfLength(base, 260),
      pathOfLength(base, 261),          nest + "\\" + japanese + ".avi",
  };
  ASSERT_GT(brix::utf8ToUtf16(paths.back()).size(), 300u);
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    copyTo(path);
    const shell_host::PageContents page = showPage({path});
    EXPECT_EQ(page.status, "Ok");
    ASSERT_FALSE(page.rows.empty());
    EXPECT_EQ(page.rows.front().value, path);

    const std::string missing = path.substr(0, path.size() - 4) + "-gone.avi";
    const shell_host::PageContents gone = showPage({missing});
    EXPECT_TRUE(gone.rows.empty());
    EXPECT_EQ(gone.status.rfind("WindowsFile::open: Can't open '" + missing + "': ", 0), 0u) << gone.status;
  }
}

TEST_F(ExtensionNames, ANameThatIsNotValidUtf16GetsAClearError) {
  // A high surrogate without its low half, as a broken program may pass.
  const std::wstring broken = brix::toWide(temp.file("x")) + L"\xD83C.avi";
  const shell_host::PageContents page = showPage(shell_host::fileDropData(std::vector<std::wstring>{broken}).get());
  EXPECT_TRUE(page.rows.empty());
  EXPECT_NE(page.status.find("x\xEF\xBF\xBD.avi': "), std::string::npos) << page.status;
}

// Run by CTest once more in a Japanese locale: the system's own text shows
// intact in the status line.
TEST_F(ExtensionNames, TheSystemsTextShowsIntactInAnyLanguage) {
  if (PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_JAPANESE) GTEST_SKIP() << "runs in a Japanese locale only";
  const shell_host::PageContents page = showPage({temp.file("missing.avi")});
  const std::string notFound =
      "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE3\x81\x8C\xE8\xA6\x8B\xE3\x81\xA4"
      "\xE3\x81\x8B\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93";  // ファイルが見つかりません
  EXPECT_NE(page.status.find(notFound), std::string::npos) << page.status;
}

}  // namespace
