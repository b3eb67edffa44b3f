// page-cost [--rounds N] FILE.avi...: what the "AVI" page costs the shell's
// process, per file: the time from creating the property sheet to a filled
// page, the process's memory before, at the peak and after the sheet is
// closed, and beside it the time of a whole quarnel-avi.exe run on the same
// file. Medians of N rounds (default 11). Under Wine "memory" is the commit
// charge, which Wine reports as page file usage.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "tests/com/ShellHost.h"
// After the Win32 types it uses.
#include <psapi.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Memory {
  SIZE_T now;
  SIZE_T peak;
};

Memory memory() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  if (counters.PrivateUsage != 0) return {counters.PrivateUsage, counters.PeakPagefileUsage};
  return {counters.PagefileUsage, counters.PeakPagefileUsage};
}

double milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int rounds = 11;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = brix::fromWide(argv[i]);
    if (argument == "--rounds" && i + 1 < argc) {
      rounds = std::atoi(brix::fromWide(argv[++i]).c_str());
    } else {
      files.push_back(argument);
    }
  }
  if (files.empty() || rounds < 1) {
    std::fprintf(stderr, "usage: page-cost [--rounds N] FILE.avi...\n");
    return 2;
  }
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  const shell_host::ExtensionDll dll(QUARNEL_DLL);
  std::printf("%-28s %10s %10s %12s %12s %12s %6s\n", "file", "page ms", "tool ms", "memory KiB", "peak KiB",
              "after KiB", "rows");
  for (const std::string& file : files) {
    std::vector<double> pageTimes, toolTimes;
    Memory before{}, after{};
    SIZE_T peak = 0;
    std::size_t rows = 0;
    for (int round = 0; round < rounds; ++round) {
      const std::vector<HPROPSHEETPAGE> pages = shell_host::pagesFor(dll.createExtension().get(), {file});
      before = memory();
      const Clock::time_point start = Clock::now();
      shell_host::SheetWindow sheet(pages);
      const shell_host::PageContents page = shell_host::readPage(sheet.currentPage());
      pageTimes.push_back(milliseconds(Clock::now() - start));
      rows = page.rows.size();
      peak = std::max(peak, memory().peak);
      sheet.close();
      after = memory();

      const Clock::time_point toolStart = Clock::now();
      shell_host::runProgram(QUARNEL_TOOL, {file});
      toolTimes.push_back(milliseconds(Clock::now() - toolStart));
    }
    const std::string name = file.substr(file.find_last_of("\\/") + 1);
    std::printf("%-28s %10.1f %10.1f %12zu %12zu %12zu %6zu\n", name.c_str(), median(pageTimes), median(toolTimes),
                static_cast<std::size_t>(before.now / 1024), static_cast<std::size_t>(peak / 1024),
                static_cast<std::size_t>(after.now / 1024), rows);
  }
  return 0;
}
