// show-page FILE.avi [SHOT.png]: shows the "AVI" page of a file in a real
// property sheet, as the shell would, and saves a screenshot of the sheet.
// Used by scripts/run --gui under a virtual display, and by the tests of the
// page at other DPIs, which Wine takes only when a process starts.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "tests/com/PngFile.h"
#include "tests/com/ShellHost.h"

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

void settle(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    shell_host::pumpMessages();
    Sleep(10);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: show-page FILE.avi [SHOT.png]\n");
    return 2;
  }
  try {
    shell_host::initCommonControls();
    const shell_host::ExtensionDll dll(QUARNEL_DLL);
    const std::vector<HPROPSHEETPAGE> pages =
        shell_host::pagesFor(dll.createExtension().get(), {brix::fromWide(argv[1])});
    if (pages.empty()) throw std::runtime_error("no page for this file (its name must end in .avi)");
    const std::string path = brix::fromWide(argv[1]);
    shell_host::SheetWindow sheet(pages, path.substr(path.find_last_of("\\/") + 1));
    SetWindowPos(sheet.handle(), HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    // The screen needs a moment to show everything; the page itself does not.
    if (argc == 3) settle(500);
    const shell_host::PageContents page = shell_host::readPage(sheet.currentPage());
    std::printf("%zu rows, status: %s\n", page.rows.size(), page.status.c_str());
    // For a test that runs this at another DPI.
    std::printf("columns %d %d, row images %d\n", page.elementWidth, page.valueWidth, page.imageSize);
    if (argc == 3) {
      std::uint32_t width = 0, height = 0;
      const std::vector<std::uint8_t> rgb = capture(sheet.handle(), width, height);
      shell_host::writePng(brix::fromWide(argv[2]), width, height, rgb);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "show-page: %s\n", e.what());
    return 1;
  }
}
