#include "cli/InterruptFlag.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> interrupted(false);
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set inside a signal handler");

extern "C" void onInterrupt(int) {
  interrupted = true;
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

void InterruptFlag::install() {
  interrupted = false;
  std::signal(SIGINT, onInterrupt);
}

bool InterruptFlag::raised() {
  return interrupted;
}
