// show-page [--host] FILE.avi [SHOT.png]: registers "Quarnel AVI.dll" with
// regsvr32, opens the Properties dialog of a file through the system's
// shell, shows its "AVI" page, saves a screenshot of the sheet and
// unregisters the DLL again. Used by scripts/run --gui under a virtual
// display: Wine binds its desktop to the display of the first program of a
// session, so regsvr32 runs from here rather than before, without a display.
// With --host, the page is shown by this program itself, as the shell
// would, without registering anything: the tests of the page at other DPIs
// use it, since Wine takes the DPI only when a process starts.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "tests/com/PngFile.h"
#include "tests/com/RealShell.h"

namespace {

// The sheet as it is on the screen, as RGB rows.
std::vector<std::uint8_t> capture(HWND window, std::uint32_t& width, std::uint32_t& height) {
  RECT frame;
  GetWindowRect(window, &frame);
  width = static_cast<std::uint32_t>(frame.right - frame.left);
  height = static_cast<std::uint32_t>(frame.bottom - frame.top);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, static_cast<int>(width), static_cast<int>(height), screen, frame.left, frame.top, SRCCOPY);
  GdiFlush();
  std::vector<std::uint8_t> rgb;
  const auto* pixels = static_cast<const std::uint8_t*>(bits);
  for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
    rgb.insert(rgb.end(), {pixels[i * 4 + 2], pixels[i * 4 + 1], pixels[i * 4]});
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return rgb;
}

// Lets the screen catch up: messages are dispatched for that long.
void settle(DWORD milliseconds) {
  shell_host::pumpUntil([] { return false; }, milliseconds);
}

void report(const shell_host::PageContents& page) {
  std::printf("%zu rows, status: %s\n", page.rows.size(), page.status.c_str());
  // For a test that runs this at another DPI.
  std::printf("columns %d %d, row images %d\n", page.elementWidth, page.valueWidth, page.imageSize);
}

void saveScreenshot(HWND sheet, const std::wstring& path) {
  std::uint32_t width = 0, height = 0;
  const std::vector<std::uint8_t> rgb = capture(sheet, width, height);
  shell_host::writePng(brix::fromWide(path), width, height, rgb);
}

// The page in a sheet of this program's own.
int showInHost(const std::string& file, const wchar_t* screenshot) {
  shell_host::initCommonControls();
  const shell_host::ExtensionDll dll(QUARNEL_DLL);
  const std::vector<HPROPSHEETPAGE> pages = shell_host::pagesFor(dll.createExtension().get(), {file});
  if (pages.empty()) throw std::runtime_error("no page for this file (its name must end in .avi)");
  shell_host::SheetWindow sheet(pages, file.substr(file.find_last_of("\\/") + 1));
  SetWindowPos(sheet.handle(), HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  // The screen needs a moment to show everything; the page itself does not.
  if (screenshot) settle(500);
  report(shell_host::readPage(sheet.currentPage()));
  if (screenshot) saveScreenshot(sheet.handle(), screenshot);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool host = argc > 1 && std::wstring(argv[1]) == L"--host";
  if (host) --argc, ++argv;
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: show-page [--host] FILE.avi [SHOT.png]\n");
    return 2;
  }
  try {
    if (host) return showInHost(brix::fromWide(argv[1]), argc == 3 ? argv[2] : nullptr);
    if (FAILED(OleInitialize(nullptr))) throw std::runtime_error("can't initialise COM");
    shell_host::initCommonControls();
    const shell_host::WineAviAssociation association;
    const shell_host::Regsvr32Registration registration(QUARNEL_DLL);
    const shell_host::PropertiesDialog dialog = shell_host::openProperties(brix::fromWide(argv[1]), [&](HWND sheet) {
      SetWindowPos(sheet, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
      settle(500);
      if (argc == 3) saveScreenshot(sheet, argv[2]);
    });
    if (!dialog.avi) {
      std::string tabs;
      for (const std::string& tab : dialog.tabs) tabs += " \"" + tab + "\"";
      throw std::runtime_error(dialog.shown ? "the Properties dialog has no \"AVI\" page, only" + tabs
                                            : "the shell showed no Properties dialog");
    }
    report(*dialog.avi);
    OleUninitialize();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "show-page: %s\n", e.what());
    return 1;
  }
}
