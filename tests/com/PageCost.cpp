// page-cost [--rounds N] FILE.avi...: what the "AVI" page costs the shell's
// process, per file: the time from creating the property sheet to a filled
// page; the time of the same sheet over the same dialog template without
// the page's work, so that the difference is what the page adds; the time
// of a whole quarnel-avi.exe run on the same file; and the process's memory
// before the sheet, at the peak and after it is closed. Times are medians of
// N rounds (default 11). Memory is private bytes on Windows; Wine reports
// none, and there it is the resident set (the peak is the process's own
// peak so far, so give the files smallest first).
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
  return {counters.WorkingSetSize, counters.PeakWorkingSetSize};
}

INT_PTR CALLBACK blankPageProcedure(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The page's dialog template shown by a procedure that does nothing.
HPROPSHEETPAGE blankPage(HMODULE dll) {
  PROPSHEETPAGEW page = {};
  page.dwSize = sizeof page;
  page.hInstance = dll;
  page.pszTemplate = MAKEINTRESOURCEW(101);
  page.pfnDlgProc = blankPageProcedure;
  return CreatePropertySheetPageW(&page);
}

double sheetMilliseconds(const std::vector<HPROPSHEETPAGE>& pages, std::size_t* rows) {
  const Clock::time_point start = Clock::now();
  shell_host::SheetWindow sheet(pages);
  const shell_host::PageContents page = shell_host::readPage(sheet.currentPage());
  const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (rows) *rows = page.rows.size();
  return elapsed;
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
  shell_host::initCommonControls();
  const shell_host::ExtensionDll dll(QUARNEL_DLL);
  std::printf("%-16s %8s %9s %9s %8s %11s %11s %11s %5s\n", "file", "page ms", "blank ms", "adds ms", "tool ms",
              "before KiB", "peak KiB", "after KiB", "rows");
  for (const std::string& file : files) {
    std::vector<double> pageTimes, blankTimes, toolTimes;
    Memory before{}, after{};
    SIZE_T peak = 0;
    std::size_t rows = 0;
    for (int round = 0; round < rounds; ++round) {
      const std::vector<HPROPSHEETPAGE> pages = shell_host::pagesFor(dll.createExtension().get(), {file});
      before = memory();
      pageTimes.push_back(sheetMilliseconds(pages, &rows));
      peak = std::max(peak, memory().peak);
      after = memory();
      blankTimes.push_back(sheetMilliseconds({blankPage(dll.module())}, nullptr));

      const Clock::time_point toolStart = Clock::now();
      shell_host::runProgram(QUARNEL_TOOL, {file});
      toolTimes.push_back(milliseconds(Clock::now() - toolStart));
    }
    const std::string name = file.substr(file.find_last_of("\\/") + 1);
    std::printf("%-16s %8.1f %9.1f %9.1f %8.1f %11zu %11zu %11zu %5zu\n", name.c_str(), median(pageTimes),
                median(blankTimes), median(pageTimes) - median(blankTimes), median(toolTimes),
                static_cast<std::size_t>(before.now / 1024), static_cast<std::size_t>(peak / 1024),
                static_cast<std::size_t>(after.now / 1024), rows);
  }
  return 0;
}
