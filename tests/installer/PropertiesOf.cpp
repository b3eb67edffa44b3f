// properties-of FILE: opens the Properties dialog of a file through the
// system's shell, as a file window does, and prints as JSON what it showed:
//   {"shown": true, "tabs": ["General", "AVI"],
//    "module": "C:\\...\\Quarnel AVI.dll" or null,
//    "page": {"status": "Ok", "rows": [{"indent", "image", "element", "value"}]} or null}
// "module" is the DLL the shell loaded for the page. A process of its own,
// as the shell is: the DLL it loads goes with it, so that an installer can
// replace or remove the file afterwards.

#include <cstdio>
#include <exception>
#include <nlohmann/json.hpp>
#include <string>

#include "base/Unicode.h"
#include "tests/com/RealShell.h"

namespace {

nlohmann::json loadedExtension() {
  const HMODULE module = GetModuleHandleW(L"Quarnel AVI.dll");
  if (!module) return nullptr;
  return shell_host::moduleFileName(module);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: properties-of FILE\n");
    return 2;
  }
  try {
    if (FAILED(OleInitialize(nullptr))) throw std::runtime_error("can't initialise COM");
    shell_host::initCommonControls();
    nlohmann::json module = nullptr;
    const shell_host::PropertiesDialog dialog =
        shell_host::openProperties(brix::fromWide(argv[1]), [&](HWND) { module = loadedExtension(); });
    nlohmann::json page = nullptr;
    if (dialog.avi) {
      page = {{"status", dialog.avi->status}, {"rows", nlohmann::json::array()}};
      for (const shell_host::PageRow& row : dialog.avi->rows) {
        page["rows"].push_back(
            {{"indent", row.indent}, {"image", row.image}, {"element", row.element}, {"value", row.value}});
      }
    }
    const nlohmann::json shown = {{"shown", dialog.shown}, {"tabs", dialog.tabs}, {"module", module}, {"page", page}};
    std::printf("%s\n", shown.dump().c_str());
    OleUninitialize();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "properties-of: %s\n", e.what());
    return 1;
  }
}
