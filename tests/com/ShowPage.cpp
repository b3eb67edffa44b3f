// show-page FILE.avi [SHOT.png]: registers "Quarnel AVI.dll" with regsvr32,
// opens the Properties dialog of a file through the system's shell, shows
// its "AVI" page, saves a screenshot of the sheet and unregisters the DLL
// again. Used by scripts/run --gui under a virtual display: Wine binds its
// desktop to the display of the first program of a session, so regsvr32
// runs from here rather than before, without a display.
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
    if (FAILED(OleInitialize(nullptr))) throw std::runtime_error("can't initialise COM");
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    const shell_host::WineAviAssociation association;
    const shell_host::Regsvr32Registration registration(QUARNEL_DLL);
    const shell_host::PropertiesDialog dialog = shell_host::openProperties(brix::fromWide(argv[1]), [&](HWND sheet) {
      SetWindowPos(sheet, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
      settle(500);
      if (argc == 3) {
        std::uint32_t width = 0, height = 0;
        const std::vector<std::uint8_t> rgb = capture(sheet, width, height);
        shell_host::writePng(brix::fromWide(argv[2]), width, height, rgb);
      }
    });
    if (!dialog.avi) {
      std::string tabs;
      for (const std::string& tab : dialog.tabs) tabs += " \"" + tab + "\"";
      throw std::runtime_error(dialog.shown ? "the Properties dialog has no \"AVI\" page, only" + tabs
                                            : "the shell showed no Properties dialog");
    }
    std::printf("%zu rows, status: %s\n", dialog.avi->rows.size(), dialog.avi->status.c_str());
    OleUninitialize();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "show-page: %s\n", e.what());
    return 1;
  }
}
