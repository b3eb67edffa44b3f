// The page as people use it, driven through the system's own keyboard and
// mouse input under Wine with a virtual display: what the keys and the
// context menu copy is what quarnel-avi prints, the menu opens from the
// keyboard where the focus is, values cut short get a tip, the list and the
// status line have names for a screen reader, the default widths and the
// row images follow the DPI, and the whole file is verified in the
// background from the menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "page/TextReport.h"
#include "tests/com/ExtensionFixture.h"
#include "tests/com/RegistryContents.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/ClipboardHolder.h"
#include "tests/support/FileNames.h"
#include "tests/support/OpenDMLBuilder.h"
#include "tests/support/TempDirectory.h"
// After the Win32 types they use.
#include <oleacc.h>
#include <tlhelp32.h>

using shell_host::MenuSeen;
using shell_host::pressKeys;
using shell_host::pumpUntil;

namespace {

// What the clipboard holds before each copy, so that a copy shows.
constexpr char untouched[] = "(what another program copied)";

std::string toolOutput(const std::vector<std::string>& arguments) {
  return shell_host::runProgram(QUARNEL_TOOL, arguments).output;
}

// The report's rows as quarnel-avi --json gives them.
std::vector<StructureRowText> toolRows(const std::string& path) {
  std::vector<StructureRowText> rows;
  const nlohmann::json files = nlohmann::json::parse(toolOutput({"--json", path}));
  for (const nlohmann::json& row : files.at(0).at("rows")) {
    std::optional<std::string> value;
    if (!row.at("value").is_null()) value = row.at("value").get<std::string>();
    rows.push_back(
        {row.at("indent").get<int>(), row.at("image").get<int>(), row.at("element").get<std::string>(), value});
  }
  return rows;
}

std::string withoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

std::size_t bareLineFeeds(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) count += text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
  return count;
}

class PageUse : public shell_host::ExtensionFixture {
 protected:
  void TearDown() override {
    sheet.reset();
    ExtensionFixture::TearDown();
  }

  // Shows the page of path, the keyboard focus in its list.
  void show(const std::string& path) {
    sheet.reset();
    sheet.emplace(pagesFor({path}));
    page = sheet->currentPage();
    list = GetDlgItem(page, 1001);
    SetForegroundWindow(sheet->handle());
    SetFocus(list);
    shell_host::pumpMessages();
  }

  // What action puts on the clipboard; untouched when it copies nothing
  // within the time.
  std::string copiedBy(const std::function<void()>& action, DWORD timeoutMs = 5000) {
    testing_support::setClipboardText(untouched);
    action();
    std::string text = untouched;
    pumpUntil(
        [&text] {
          text = testing_support::clipboardText();
          return text != untouched;
        },
        timeoutMs);
    return text;
  }
  static void openMenuWithKey() { pressKeys({VK_APPS}); }
  std::string copiedFromMenu(const std::string& item) {
    return copiedBy([&item] { shell_host::chooseFromMenu(openMenuWithKey, item); });
  }

  std::vector<int> itemsWith(UINT state) {
    std::vector<int> items;
    for (int item = ListView_GetNextItem(list, -1, state); item >= 0; item = ListView_GetNextItem(list, item, state)) {
      items.push_back(item);
    }
    return items;
  }
  // The screen rectangle of a cell of the list.
  RECT cell(int item, int column, int part) {
    RECT rect = {};
    ListView_GetSubItemRect(list, item, column, part, &rect);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  std::optional<shell_host::SheetWindow> sheet;
  HWND page = nullptr;
  HWND list = nullptr;
};

// --- Verifying the whole file ----------------------------------------------

namespace {

// A sound OpenDML file of about size bytes, written sparse: its movie data
// is a hole, which costs the disk nothing and takes a while to read.
std::string largeFile(const testing_support::TempDirectory& temp, std::uint32_t megabytes) {
  testing_support::OpenDMLLayout layout;
  layout.avi.streams = {testing_support::videoStream()};
  layout.chunkBytes = {1 << 20};
  layout.chunksPerForm = megabytes / 2;
  layout.chunkHeaders = true;
  const std::string path = temp.file("large.avi");
  testing_support::writeSparseFile(path, testing_support::buildOpenDML(layout));
  return path;
}

DWORD threadsOfThisProcess() {
  DWORD count = 0;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    count += entry.th32OwnerProcessID == GetCurrentProcessId();
  }
  CloseHandle(snapshot);
  return count;
}

}  // namespace

TEST_F(PageUse, TheMenuVerifiesTheWholeFileWithProgressAndLeavesTheRowsAlone) {
  show(largeFile(temp, 256));
  const std::vector<shell_host::PageRow> rows = shell_host::readPage(page).rows;
  shell_host::chooseFromMenu(openMenuWithKey, "Verify whole file");
  std::vector<std::string> statuses;
  EXPECT_TRUE(pumpUntil(
      [&] {
        const std::string status = shell_host::readPage(page).status;
        if (statuses.empty() || statuses.back() != status) statuses.push_back(status);
        return status.rfind("Verification: ", 0) == 0;
      },
      60000));
  ASSERT_GE(statuses.size(), 2u);
  EXPECT_EQ(statuses.front().rfind("Verifying the whole file: ", 0), 0u) << statuses.front();
  EXPECT_EQ(statuses.back(), "Verification: Ok");
  EXPECT_EQ(shell_host::readPage(page).rows, rows);
}

TEST_F(PageUse, EscapeTheMenuOrClosingTheSheetStopsTheVerification) {
  show(largeFile(temp, 1024));
  const DWORD threads = threadsOfThisProcess();
  const auto cancelled = [this] {
    return pumpUntil(
        [this] {
          return shell_host::readPage(page).status.rfind("Verification: Verification cancelled at position ", 0) == 0;
        },
        20000);
  };
  shell_host::chooseFromMenu(openMenuWithKey, "Verify whole file");
  pressKeys({VK_ESCAPE});
  EXPECT_TRUE(cancelled());
  EXPECT_EQ(sheet->currentPage(), page) << "Esc stops the verification, not the sheet";

  shell_host::chooseFromMenu(openMenuWithKey, "Verify whole file");
  const MenuSeen running = shell_host::chooseFromMenu(openMenuWithKey, "Cancel verification");
  EXPECT_EQ(running.items.back(), "Cancel verification");
  EXPECT_TRUE(cancelled());

  // Closed while it runs: the thread ends on its own, and then nothing of
  // the DLL is left running and the DLL can go.
  shell_host::chooseFromMenu(openMenuWithKey, "Verify whole file");
  sheet.reset();
  EXPECT_TRUE(pumpUntil([this] { return dll->canUnloadNow() == S_OK; }, 20000));
  EXPECT_TRUE(pumpUntil([threads] { return threadsOfThisProcess() <= threads; }, 20000));
  const HMODULE module = dll->module();
  dll.reset();
  wchar_t name[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameW(module, name, MAX_PATH), 0u) << "the DLL was unloaded";
}

// --- Copying ----------------------------------------------------------------

TEST_F(PageUse, CopyAllAndAllRowsAreWhatTheToolPrints) {
  // A file of thousands of rows, as an application that writes a stream per
  // camera angle makes them.
  testing_support::AviLayout layout;
  for (int i = 0; i < 150; ++i) {
    layout.streams.push_back(i % 2 ? testing_support::audioStream() : testing_support::videoStream());
  }
  const std::string manyStreams = temp.file("many-streams.avi");
  const testing_support::Bytes bytes = testing_support::aviBytes(layout);
  testing_support::writeFile(manyStreams, bytes.data(), bytes.size());
  const std::string unreadable = copyOf("SOURCES.md", "text.avi");

  for (const std::string& path : {dataFile("gstreamer-mjpeg-pcm.avi"), manyStreams, unreadable}) {
    SCOPED_TRACE(path);
    show(path);
    const std::string text = toolOutput({path});
    const std::string json = toolOutput({"--json", path});
    const std::string all = copiedFromMenu("Copy all");
    EXPECT_EQ(withoutCarriageReturns(all), text);
    // A copy names its file, also one that was not read.
    const std::string firstLine = all.substr(0, all.find("\r\n"));
    EXPECT_EQ(firstLine.rfind("Path ", 0), 0u) << firstLine;
    EXPECT_EQ(firstLine.substr(firstLine.size() - std::min(firstLine.size(), path.size())), path) << firstLine;
    EXPECT_EQ(bareLineFeeds(all), 0u) << "lines end as Windows programs expect";
    const std::string allAsJson = copiedFromMenu("Copy all as JSON");
    EXPECT_EQ(withoutCarriageReturns(allAsJson), json);
    EXPECT_EQ(nlohmann::json::parse(allAsJson), nlohmann::json::parse(json));

    const auto rows = static_cast<std::size_t>(ListView_GetItemCount(list));
    if (rows == 0) continue;
    EXPECT_GT(rows, path == manyStreams ? 2000u : 20u);
    pressKeys({VK_CONTROL, 'A'});
    EXPECT_TRUE(pumpUntil([&] { return itemsWith(LVNI_SELECTED).size() == rows; }));
    const std::string copied = copiedBy([] { pressKeys({VK_CONTROL, 'C'}); });
    EXPECT_EQ(withoutCarriageReturns(copied), text.substr(0, text.rfind("Status: "))) << "every row, no status";
  }
}

TEST_F(PageUse, KeysAloneReachTheListSelectRowsAndOpenTheMenuAtTheFocus) {
  const std::string path = dataFile("gstreamer-mjpeg.avi");
  const std::vector<StructureRowText> rows = toolRows(path);
  show(path);
  // From the sheet's buttons into the list with Tab.
  SetFocus(GetDlgItem(sheet->handle(), IDOK));
  for (int i = 0; i < 8 && GetFocus() != list; ++i) {
    const HWND before = GetFocus();
    pressKeys({VK_TAB});
    pumpUntil([before] { return GetFocus() != before; }, 1000);
  }
  ASSERT_EQ(GetFocus(), list);
  EXPECT_EQ(itemsWith(LVNI_FOCUSED), std::vector<int>{0}) << "the keyboard starts on the first row";

  // Nothing selected yet: "Copy" has nothing to copy.
  const MenuSeen empty = shell_host::chooseFromMenu(openMenuWithKey, "");
  EXPECT_EQ(empty.items, (std::vector<std::string>{"Copy", "Copy all", "Copy all as JSON", "Verify whole file"}));
  EXPECT_EQ(empty.enabled, (std::vector<bool>{false, true, true, true}));

  // The arrows move the selection, Shift widens it, Ctrl+C copies it.
  pressKeys({VK_DOWN});
  pressKeys({VK_DOWN});
  pressKeys({VK_SHIFT, VK_DOWN});
  ASSERT_TRUE(pumpUntil([&] { return itemsWith(LVNI_SELECTED) == std::vector<int>{2, 3}; }));
  const std::string expected = textRows({rows[2], rows[3]});
  EXPECT_EQ(withoutCarriageReturns(copiedBy([] { pressKeys({VK_CONTROL, 'C'}); })), expected);

  // The menu key opens the menu under the focused row.
  const RECT focused = cell(3, 0, LVIR_LABEL);
  std::optional<MenuSeen> menu;
  const std::string copied = copiedBy([&] { menu = shell_host::chooseFromMenu(openMenuWithKey, "Copy"); });
  ASSERT_TRUE(menu);
  EXPECT_EQ(menu->enabled, (std::vector<bool>{true, true, true, true}));
  EXPECT_GE(menu->rect.left, focused.left);
  EXPECT_LT(menu->rect.left, focused.right);
  EXPECT_GE(menu->rect.top, focused.top);
  EXPECT_LE(menu->rect.top, focused.bottom + 1);
  EXPECT_EQ(withoutCarriageReturns(copied), expected);
}

TEST_F(PageUse, ARightClickOpensTheMenuAtThePointerForTheRowClicked) {
  const std::string path = dataFile("gstreamer-mjpeg.avi");
  const std::vector<StructureRowText> rows = toolRows(path);
  show(path);
  const RECT value = cell(5, 1, LVIR_BOUNDS);
  const POINT point = {(value.left + value.right) / 2, (value.top + value.bottom) / 2};
  std::optional<MenuSeen> menu;
  const std::string copied =
      copiedBy([&] { menu = shell_host::chooseFromMenu([&point] { shell_host::rightClickAt(point); }, "Copy"); });
  ASSERT_TRUE(menu);
  EXPECT_NEAR(menu->rect.left, point.x, 2);
  EXPECT_NEAR(menu->rect.top, point.y, 2);
  EXPECT_EQ(itemsWith(LVNI_SELECTED), std::vector<int>{5});
  EXPECT_EQ(withoutCarriageReturns(copied), textRows({rows[5]}));
}

TEST_F(PageUse, AClipboardHeldByAnotherProgramIsLeftAloneWithoutHangingTheHost) {
  const std::string path = dataFile("gstreamer-mjpeg.avi");
  show(path);
  testing_support::setClipboardText(untouched);
  {
    const testing_support::ClipboardHolder holder(20000);
    ASSERT_TRUE(holder.opened());
    shell_host::chooseFromMenu(openMenuWithKey, "Copy all");
    EXPECT_TRUE(holder.holding()) << "the page waited until the other program let go";
    EXPECT_TRUE(IsWindow(page));
  }
  EXPECT_EQ(testing_support::clipboardText(), untouched);
  // Once the clipboard is free the same copy works.
  EXPECT_EQ(withoutCarriageReturns(copiedFromMenu("Copy all")), toolOutput({path}));
}

// --- Tips, names and looks ---------------------------------------------------

TEST_F(PageUse, AValueTheColumnCutsShortGetsATip) {
  const std::string path = dataFile("gstreamer-mjpeg.avi");
  const std::vector<StructureRowText> rows = toolRows(path);
  show(path);
  ASSERT_EQ(rows[4].element, "dwPaddingGranularity");
  ASSERT_EQ(rows[4].value, std::string("0"));
  // What the page answers when the list asks for the tip of a row; a list
  // that shows the Element cut short hands over that text to append to.
  const auto tip = [this, &rows](int item, bool elementShown) {
    wchar_t text[1024] = {};
    if (!elementShown) brix::toWide(rows[static_cast<std::size_t>(item)].element).copy(text, 1023);
    NMLVGETINFOTIPW request = {};
    request.hdr = {list, 1001, static_cast<UINT>(LVN_GETINFOTIPW)};
    request.dwFlags = elementShown ? LVGIT_UNFOLDED : 0;
    request.pszText = text;
    request.cchTextMax = 1024;
    request.iItem = item;
    SendMessageW(page, WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&request));
    return brix::fromWide(text);
  };
  const struct {
    int valueWidth;
    int item;
    bool elementShown;
    std::string expected;
  } cases[] = {
      {40, 0, true, path}, {40, 0, false, "Path\r\n" + path}, {40, 4, true, ""}, {40, 4, false, "dwPaddingGranularity"},
      {2000, 0, true, ""}, {2000, 0, false, "Path"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.valueWidth) + " pixels, row " + std::to_string(c.item));
    ListView_SetColumnWidth(list, 1, c.valueWidth);
    EXPECT_EQ(tip(c.item, c.elementShown), c.expected);
  }

  // A path in any script comes back whole. This Wine's list never asks on
  // its own: it makes no tips at all.
  for (const std::string& name : {testing_support::cyrillicName, testing_support::cjkName}) {
    SCOPED_TRACE(name);
    const std::string named = copyOf("gstreamer-mjpeg.avi", name);
    show(named);
    ListView_SetColumnWidth(list, 1, 40);
    EXPECT_EQ(tip(0, true), named);
  }
}

TEST_F(PageUse, TheListAndTheStatusLineHaveNamesForAScreenReader) {
  show(dataFile("gstreamer-mjpeg.avi"));
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  const auto accessibleName = [](HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
      return std::string("(no accessible object)");
    }
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string text = "(no name)";
    if (object->get_accName(self, &name) == S_OK && name) text = brix::fromWide(name);
    SysFreeString(name);
    object->Release();
    return text;
  };
  EXPECT_EQ(accessibleName(list), "AVI structure");
  EXPECT_EQ(accessibleName(GetDlgItem(page, 1006)), "Ok");
  CoUninitialize();

  // And the list's looks, set when the page starts.
  EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & LVS_SHOWSELALWAYS);
  const DWORD looks = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP | LVS_EX_LABELTIP;
  EXPECT_EQ(ListView_GetExtendedListViewStyle(list) & looks, looks);
}

// --- DPI ----------------------------------------------------------------------

TEST_F(PageUse, TheDefaultWidthsAndTheRowImagesFollowTheDpi) {
  const std::string path = dataFile("gstreamer-mjpeg.avi");
  show(path);
  const shell_host::PageContents here = shell_host::readPage(page);
  EXPECT_EQ(here.elementWidth, 100) << "this prefix shows 96 dots per inch";
  EXPECT_EQ(here.imageSize, 16);
  sheet.reset();

  // Wine reads the DPI when a process starts: each case shows the page in a
  // process of its own.
  const struct {
    DWORD dpi;
    std::optional<DWORD> storedElement, storedValue;
    int element, value, imageSize;
  } cases[] = {
      {120, std::nullopt, std::nullopt, 125, 250, 16},
      {144, std::nullopt, std::nullopt, 150, 300, 32},
      {192, std::nullopt, std::nullopt, 200, 400, 32},
      {192, 150, 260, 150, 260, 32},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.dpi) + " dots per inch");
    shell_host::storeColumnWidths(c.storedElement, c.storedValue);
    std::string output;
    {
      // The prefix's DPI for the process started while this lives.
      const shell_host::RegistryValueOverride dpi(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD,
                                                  &c.dpi, sizeof c.dpi);
      output = shell_host::runProgram(QUARNEL_SHOW_PAGE, {"--host", path}).output;
    }
    int element = 0, value = 0, imageSize = 0;
    const std::size_t line = output.find("columns ");
    ASSERT_NE(line, std::string::npos) << output;
    ASSERT_EQ(std::sscanf(output.c_str() + line, "columns %d %d, row images %d", &element, &value, &imageSize), 3);
    EXPECT_EQ(element, c.element);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(imageSize, c.imageSize);
  }
}

}  // namespace
