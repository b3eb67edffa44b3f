// "Quarnel AVI.dll" driven as the shell drives it, under Wine with a virtual
// display: the selection decides the page, the page shows what quarnel-avi
// reports for the same file, the widths are remembered, the file is left as
// it was, and the DLL stays loaded exactly as long as a page lives.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "tests/com/ExtensionFixture.h"
#include "tests/com/ListViewFaults.h"
#include "tests/support/RiffBuilder.h"
#include "tests/support/TempDirectory.h"

using shell_host::ComRef;
using shell_host::PageContents;
using shell_host::PageRow;
using shell_host::SheetWindow;

namespace {

std::vector<std::string> realFiles() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(QUARNEL_TEST_DATA_DIR))) {
    if (entry.path().extension() == ".avi") files.push_back(entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// What quarnel-avi --json reports for one file.
shell_host::ToolReport toolReport(const std::string& path) {
  return shell_host::toolReport(QUARNEL_TOOL, path);
}

std::optional<DWORD> storedWidth(const wchar_t* name) {
  DWORD value = 0, size = sizeof value, type = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, shell_host::columnWidthsKey, name, RRF_RT_ANY, &type, &value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type != REG_DWORD) return std::nullopt;
  return value;
}

using ExtensionHost = shell_host::ExtensionFixture;

// --- What the page shows ---------------------------------------------------

TEST_F(ExtensionHost, EveryRealFileShowsTheToolsRowsAndOk) {
  for (const std::string& name : realFiles()) {
    SCOPED_TRACE(name);
    const std::string path = dataFile(name);
    const PageContents page = showPage({path});
    const shell_host::ToolReport tool = toolReport(path);
    EXPECT_EQ(page.status, "Ok");
    EXPECT_EQ(tool.status, "Ok");
    ASSERT_EQ(page.rows.size(), tool.rows.size());
    for (std::size_t i = 0; i < page.rows.size(); ++i) EXPECT_EQ(page.rows[i], tool.rows[i]) << "row " << i;
    EXPECT_EQ(page.rows.front().element, "Path");
    EXPECT_EQ(page.rows.front().value, path);
  }
}

TEST_F(ExtensionHost, AFileThatCanNotBeReadShowsNoRowsAndTheReason) {
  testing_support::Bytes wave;
  testing_support::putLE32(wave, 0);
  const std::string waveFile = temp.file("sound.avi");
  const auto waveBytes = testing_support::serialize(testing_support::listChunk("RIFF", "WAVE", {}));
  testing_support::writeFile(waveFile, waveBytes.data(), waveBytes.size());
  const struct {
    std::string path;
    std::string statusStart;
  } cases[] = {
      {temp.file("missing.avi"), "WindowsFile::open: Can't open '" + temp.file("missing.avi") + "': "},
      {copyOf("SOURCES.md", "text.avi"), "AVI structure error while skipping sub chunk"},
      {waveFile, "Not an AVI file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const PageContents page = showPage({c.path});
    EXPECT_TRUE(page.rows.empty());
    EXPECT_EQ(page.status.rfind(c.statusStart, 0), 0u) << page.status;
    EXPECT_EQ(page.status, toolReport(c.path).status);
  }
}

// --- The list, and when it fails ---------------------------------------------

TEST_F(ExtensionHost, TheColumnsAreTitledAndLeftAlignedAndTheRowImagesMaskedByTheirCorner) {
  const std::vector<HPROPSHEETPAGE> pages = pagesFor({dataFile("gstreamer-mjpeg.avi")});
  SheetWindow sheet(pages);
  const HWND list = GetDlgItem(sheet.currentPage(), 1001);
  const char* const titles[] = {"Element", "Value"};
  for (int i = 0; i < 2; ++i) {
    wchar_t text[32] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.pszText = text;
    column.cchTextMax = 32;
    ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(brix::fromWide(text), titles[i]);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
  }

  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 3);
  IMAGEINFO info = {};
  ASSERT_TRUE(ImageList_GetImageInfo(images, 0, &info));
  BITMAP bitmap = {};
  ASSERT_TRUE(GetObjectW(info.hbmImage, sizeof bitmap, &bitmap));
  EXPECT_EQ(bitmap.bmBitsPixel, 8) << "the images keep the colours of their bitmap";
  // Drawn over green, the magenta of the top-left pixel lets the green
  // through everywhere, and the picture covers part of it.
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ before = SelectObject(dc, canvas);
  EXPECT_TRUE(ImageList_DrawEx(images, 0, dc, 0, 0, 0, 0, RGB(0, 255, 0), CLR_NONE, ILD_NORMAL));
  int covered = 0, magenta = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      covered += GetPixel(dc, x, y) != RGB(0, 255, 0);
      magenta += GetPixel(dc, x, y) == RGB(255, 0, 255);
    }
  }
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 255, 0));
  EXPECT_EQ(magenta, 0);
  EXPECT_GT(covered, 16 * 16 / 6) << "the picture itself is masked out";
  SelectObject(dc, before);
  DeleteObject(canvas);
  DeleteDC(dc);
}

// What the page does beyond its rows and status line fails without a trace;
// a failure of the list itself stops the page where it happened.
TEST_F(ExtensionHost, AFailingListLeavesThePageAsFarAsItGot) {
  const std::string file = dataFile("gstreamer-mjpeg.avi");
  const shell_host::ToolReport tool = toolReport(file);
  using Fault = shell_host::ListViewFaults::Fault;
  const struct {
    const char* what;
    std::optional<Fault> fault;
    int columns;
    std::size_t rows;
    std::string statusStart;
    LRESULT initResult;
  } cases[] = {
      {"a list that works", {}, 2, tool.rows.size(), "Ok", TRUE},
      {"no name for screen readers", Fault{WM_SETTEXT, 0, FALSE}, 2, tool.rows.size(), "Ok", TRUE},
      {"no focus on the first row", Fault{LVM_SETITEMSTATE, 0, FALSE}, 2, tool.rows.size(), "Ok", TRUE},
      {"no second column", Fault{LVM_INSERTCOLUMNW, 1, -1}, 1, 0, "Static", FALSE},
      {"no sixth row", Fault{LVM_INSERTITEMW, 5, -1}, 2, 5, "Can't insert list view item: ", TRUE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<HPROPSHEETPAGE> pages = pagesFor({file});
    const shell_host::ListViewFaults faults(c.fault);
    SheetWindow sheet(pages);
    const HWND list = GetDlgItem(sheet.currentPage(), 1001);
    EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list)), c.columns);
    const PageContents page = shell_host::readPage(sheet.currentPage());
    ASSERT_EQ(page.rows.size(), c.rows);
    for (std::size_t i = 0; i < c.rows; ++i) EXPECT_EQ(page.rows[i], tool.rows[i]) << "row " << i;
    EXPECT_EQ(page.status.rfind(c.statusStart, 0), 0u) << page.status;
    EXPECT_EQ(faults.pageInitResult(), c.initResult);
  }
}

// --- The selection ---------------------------------------------------------

TEST_F(ExtensionHost, TheOneAviNameOfTheSelectionGetsThePage) {
  const std::string a = copyOf("gstreamer-mjpeg.avi", "a.avi");
  const std::string b = copyOf("gstreamer-mjpeg.avi", "b.avi");
  // A folder of its own, where "A.AVI" is not the same file as "a.avi".
  ASSERT_TRUE(CreateDirectoryW(brix::toWide(temp.file("Video")).c_str(), nullptr));
  const std::string video = copyOf("gstreamer-mjpeg.avi", "Video\\A.AVI");
  std::vector<std::string> thousands;
  for (int i = 0; i < 5000; ++i) thousands.push_back("C:\\Photos\\picture" + std::to_string(i) + ".jpg");
  thousands.insert(thousands.begin() + 2500, a);

  const struct {
    const char* what;
    std::vector<std::string> names;
    std::optional<std::string> page;  // the path the page shows, if there is a page
  } cases[] = {
      {"upper case kept", {video}, video},
      {"with a file of another kind", {a, temp.file("b.txt")}, a},
      {"no avi name", {temp.file("b.txt")}, std::nullopt},
      {"two avi names", {a, b}, std::nullopt},
      {"three avi names", {a, b, video}, std::nullopt},
      {"just the extension", {".avi"}, ".avi"},
      {"three letters", {"avi"}, std::nullopt},
      {"a trailing space", {"x.AVI "}, std::nullopt},
      {"another extension after it", {a + ".bak"}, std::nullopt},
      {"thousands of names", thousands, a},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<HPROPSHEETPAGE> pages = pagesFor(c.names);
    if (!c.page) {
      EXPECT_TRUE(pages.empty());
      continue;
    }
    ASSERT_EQ(pages.size(), 1u);
    SheetWindow sheet(pages);
    const PageContents page = shell_host::readPage(sheet.currentPage());
    if (page.rows.empty()) {
      // A name that does not open is named by the open error.
      EXPECT_NE(page.status.find("'" + *c.page + "'"), std::string::npos) << page.status;
    } else {
      EXPECT_EQ(page.rows.front().value, *c.page);
      EXPECT_EQ(page.status, "Ok");
    }
  }
}

TEST_F(ExtensionHost, TheInterfacesAnswerBadCallsWithoutHarm) {
  const std::string a = copyOf("gstreamer-mjpeg.avi", "a.avi");
  const ComRef<IShellExtInit> extension = dll->createExtension();
  ComRef<IShellPropSheetExt> sheetExtension;
  ASSERT_EQ(extension->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(sheetExtension.put())), S_OK);
  const ComRef<IDataObject> files = shell_host::fileDropData({a});
  const ComRef<IDataObject> noFiles = shell_host::dataWithoutFiles();

  EXPECT_EQ(extension->Initialize(nullptr, nullptr, HKEY_CLASSES_ROOT), E_POINTER);
  EXPECT_EQ(extension->Initialize(nullptr, files.get(), nullptr), E_INVALIDARG);
  EXPECT_EQ(extension->Initialize(nullptr, files.get(), HKEY_CLASSES_ROOT), S_OK);
  // Data without files fails as the data object fails, and keeps the file.
  EXPECT_EQ(extension->Initialize(nullptr, noFiles.get(), HKEY_CLASSES_ROOT), DV_E_FORMATETC);
  EXPECT_EQ(sheetExtension->AddPages(nullptr, 0), E_POINTER);
  EXPECT_EQ(sheetExtension->ReplacePage(0, &shell_host::PageCollector::add, 0), E_NOTIMPL);

  // Two calls make two pages of their own for the same file.
  shell_host::PageCollector collector;
  ASSERT_EQ(sheetExtension->AddPages(&shell_host::PageCollector::add, reinterpret_cast<LPARAM>(&collector)), S_OK);
  ASSERT_EQ(sheetExtension->AddPages(&shell_host::PageCollector::add, reinterpret_cast<LPARAM>(&collector)), S_OK);
  ASSERT_EQ(collector.pages.size(), 2u);
  EXPECT_NE(collector.pages[0], collector.pages[1]);
  SheetWindow sheet(collector.pages);
  const PageContents first = shell_host::readPage(sheet.currentPage());
  SendMessageW(sheet.handle(), PSM_SETCURSEL, 1, 0);
  shell_host::pumpMessages();
  const PageContents second = shell_host::readPage(sheet.currentPage());
  EXPECT_EQ(first.rows, second.rows);
  EXPECT_EQ(first.rows.front().value, a);
}

// --- Column widths ---------------------------------------------------------

TEST_F(ExtensionHost, ColumnWidthsAreRememberedForTheNextPage) {
  const std::string file = dataFile("gstreamer-mjpeg.avi");
  {
    const std::vector<HPROPSHEETPAGE> pages = pagesFor({file});
    SheetWindow sheet(pages);
    const PageContents page = shell_host::readPage(sheet.currentPage());
    EXPECT_EQ(page.elementWidth, 100);
    EXPECT_EQ(page.valueWidth, 200);
    const HWND list = GetDlgItem(sheet.currentPage(), 1001);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, 150);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, 260);
  }
  EXPECT_EQ(storedWidth(L"ElementWidth"), 150u);
  EXPECT_EQ(storedWidth(L"ValueWidth"), 260u);
  const PageContents next = showPage({file});
  EXPECT_EQ(next.elementWidth, 150);
  EXPECT_EQ(next.valueWidth, 260);
  // Closing without a change stores the widths as they are.
  EXPECT_EQ(storedWidth(L"ElementWidth"), 150u);
}

TEST_F(ExtensionHost, StoredWidthsAreUsedAsStored) {
  const std::string file = dataFile("gstreamer-mjpeg.avi");
  // What the list makes of a column given no width.
  const std::vector<HPROPSHEETPAGE> pages = pagesFor({file});
  SheetWindow sheet(pages);
  const HWND list = GetDlgItem(sheet.currentPage(), 1001);
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT;
  column.pszText = const_cast<wchar_t*>(L"Third");
  const auto third = static_cast<int>(SendMessageW(list, LVM_INSERTCOLUMNW, 2, reinterpret_cast<LPARAM>(&column)));
  const auto defaultWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, third, 0));
  sheet.close();

  const struct {
    const char* what;
    std::optional<DWORD> element, value;
    int expectedElement, expectedValue;
  } cases[] = {
      {"both", 80, 300, 80, 300},
      {"no width for the Element column", 0xFFFFFFFF, 120, defaultWidth, 120},
      {"Element only", 90, std::nullopt, 90, 200},
      {"Value only: the reading stops at the missing Element width", std::nullopt, 90, 100, 200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    shell_host::storeColumnWidths(c.element, c.value);
    const PageContents page = showPage({file});
    EXPECT_EQ(page.elementWidth, c.expectedElement);
    EXPECT_EQ(page.valueWidth, c.expectedValue);
  }
}

// --- The file and the module ------------------------------------------------

TEST_F(ExtensionHost, TheFileIsLeftAsItWasAndClosedOnceThePageIsFilled) {
  const std::string path = copyOf("ffmpeg-mjpeg-pcm.avi", "clip.avi");
  const std::string before = testing_support::readFile(path);
  WIN32_FILE_ATTRIBUTE_DATA attributesBefore = {};
  ASSERT_TRUE(GetFileAttributesExW(brix::toWide(path).c_str(), GetFileExInfoStandard, &attributesBefore));

  const std::vector<HPROPSHEETPAGE> pages = pagesFor({path});
  SheetWindow sheet(pages);
  EXPECT_EQ(shell_host::readPage(sheet.currentPage()).status, "Ok");
  // With the page still open, nothing holds the file.
  const std::string renamed = temp.file("renamed.avi");
  ASSERT_TRUE(MoveFileW(brix::toWide(path).c_str(), brix::toWide(renamed).c_str())) << GetLastError();
  sheet.close();

  EXPECT_EQ(testing_support::readFile(renamed), before);
  WIN32_FILE_ATTRIBUTE_DATA attributesAfter = {};
  ASSERT_TRUE(GetFileAttributesExW(brix::toWide(renamed).c_str(), GetFileExInfoStandard, &attributesAfter));
  EXPECT_EQ(CompareFileTime(&attributesBefore.ftLastWriteTime, &attributesAfter.ftLastWriteTime), 0);
}

TEST_F(ExtensionHost, ALivePageKeepsTheDllLoaded) {
  const std::string file = dataFile("gstreamer-mjpeg.avi");
  std::vector<HPROPSHEETPAGE> pages = pagesFor({file});  // the extension is gone again
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(dll->canUnloadNow(), S_FALSE) << "a page not yet shown";
  {
    SheetWindow sheet(pages);
    EXPECT_EQ(shell_host::readPage(sheet.currentPage()).status, "Ok");
    EXPECT_EQ(dll->canUnloadNow(), S_FALSE) << "a page on show";
  }
  EXPECT_EQ(dll->canUnloadNow(), S_OK);
}

TEST_F(ExtensionHost, APageTheSheetRefusesIsReleasedAtOnce) {
  ComRef<IShellExtInit> extension = dll->createExtension();
  const ComRef<IDataObject> files = shell_host::fileDropData({dataFile("gstreamer-mjpeg.avi")});
  ASSERT_EQ(extension->Initialize(nullptr, files.get(), HKEY_CLASSES_ROOT), S_OK);
  ComRef<IShellPropSheetExt> sheetExtension;
  ASSERT_EQ(extension->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(sheetExtension.put())), S_OK);
  shell_host::PageCollector refusing;
  refusing.accept = FALSE;
  EXPECT_EQ(sheetExtension->AddPages(&shell_host::PageCollector::add, reinterpret_cast<LPARAM>(&refusing)), S_OK);
  EXPECT_EQ(refusing.pages.size(), 1u);
  sheetExtension.reset();
  extension.reset();
  EXPECT_EQ(dll->canUnloadNow(), S_OK) << "the refused page is still alive";
}

}  // namespace
