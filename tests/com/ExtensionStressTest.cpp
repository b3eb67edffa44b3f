// The page opened and closed many times in one host process, as a user
// browsing a folder of videos does: afterwards the process holds no more
// handles, window objects, GDI objects or memory than a small slack allows,
// and the DLL may be unloaded. QUARNEL_STRESS_ROUNDS sets the rounds on a
// good file (default 100); a tenth as many run on a malformed one.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/com/ShellHost.h"
#include "tests/support/TempDirectory.h"
// After the Win32 types it uses.
#include <psapi.h>

namespace {

struct Usage {
  DWORD handles;
  DWORD windows;
  DWORD gdiObjects;
  DWORD userObjects;
  SIZE_T memory;
};

// Kernel handles open in the process. Wine's GetProcessHandleCount answers
// 0, so there the handle values are probed: a handle is open when the
// system has information on it.
DWORD handleCount() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) return count;
  DWORD flags = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

BOOL CALLBACK countWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  EnumChildWindows(window, countWindow, count);
  return TRUE;
}

// Every window of this thread, children included.
DWORD windowCount() {
  DWORD count = 0;
  EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

Usage usageNow() {
  Usage usage{};
  usage.handles = handleCount();
  usage.windows = windowCount();
  // Wine answers 0 for these two; Windows counts every GDI and USER object.
  usage.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  usage.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  // Private bytes; Wine leaves them 0 and reports the same commit charge as
  // the page file usage.
  usage.memory = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
  return usage;
}

void print(const char* when, const Usage& usage) {
  std::printf("%-6s handles %lu, windows %lu, GDI objects %lu, USER objects %lu, private bytes %zu\n", when,
              static_cast<unsigned long>(usage.handles), static_cast<unsigned long>(usage.windows),
              static_cast<unsigned long>(usage.gdiObjects), static_cast<unsigned long>(usage.userObjects),
              static_cast<std::size_t>(usage.memory));
}

int goodRounds() {
  const char* value = std::getenv("QUARNEL_STRESS_ROUNDS");
  return value ? std::atoi(value) : 100;
}

// One Properties dialog, everything closed and released again.
std::string showOnce(const shell_host::ExtensionDll& dll, const std::string& path) {
  return shell_host::showPage(dll, shell_host::fileDropData({path}).get()).status;
}

TEST(ExtensionStress, OpeningAndClosingThePageLeavesNothingBehind) {
  shell_host::initCommonControls();
  testing_support::TempDirectory temp;
  const std::string good = std::string(QUARNEL_TEST_DATA_DIR) + "/ffmpeg-mjpeg-pcm.avi";
  // The good file cut short: the parser stops at the truncated RIFF chunk.
  const std::string bad = temp.file("truncated.avi");
  const std::string opening = testing_support::readFile(good).substr(0, 20000);
  testing_support::writeFile(bad, opening.data(), opening.size());
  const shell_host::ExtensionDll dll(QUARNEL_DLL);
  // The first rounds load the system's own libraries and caches for good.
  for (int i = 0; i < 5; ++i) showOnce(dll, good), showOnce(dll, bad);
  const Usage start = usageNow();
  const int rounds = goodRounds();
  for (int i = 0; i < rounds; ++i) ASSERT_EQ(showOnce(dll, good), "Ok") << "round " << i;
  for (int i = 0; i < rounds / 10; ++i) {
    ASSERT_EQ(showOnce(dll, bad), "AVI structure error while skipping sub chunk") << "round " << i;
  }
  const Usage end = usageNow();
  std::printf("%d rounds on a good file, %d on a malformed one\n", rounds, rounds / 10);
  print("start", start);
  print("end", end);

  EXPECT_GT(start.handles, 0u) << "the handle count does not work here";
  EXPECT_GT(start.memory, 0u) << "the memory count does not work here";
  EXPECT_LE(end.handles, start.handles + 8);
  EXPECT_EQ(end.windows, start.windows);
  EXPECT_LE(end.gdiObjects, start.gdiObjects + 8);
  EXPECT_LE(end.userObjects, start.userObjects + 8);
  EXPECT_LE(end.memory, start.memory + 1024 * 1024);
  EXPECT_EQ(dll.canUnloadNow(), S_OK);
}

}  // namespace
