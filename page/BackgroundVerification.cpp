#include "page/BackgroundVerification.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <utility>

#include "base/LiveObject.h"
#include "base/WindowsError.h"
#include "page/StatusText.h"
#include "page/VerifyReport.h"

// What the thread and the object share; the last of the two to go frees it.
struct BackgroundVerification::State {
  std::string path;
  HWND window;
  LPARAM serial;
  std::atomic<bool> stopped{false};
  // The object is gone: no message may be posted any more.
  std::atomic<bool> abandoned{false};
  mutable std::mutex mutex;
  Verification result;
};

namespace {

// What the thread owns: the shared state, its place among the live objects
// and its reference to the module.
struct Job {
  std::shared_ptr<BackgroundVerification::State> state;
  HMODULE module;
  brix::LiveObject live;
};

void post(const BackgroundVerification::State& state, UINT message, WPARAM wParam) {
  if (!state.abandoned) PostMessageW(state.window, message, wParam, state.serial);
}

void verify(BackgroundVerification::State& state) noexcept {
  Verification result;
  try {
    int shown = -1;
    const FileReport report =
        verifyFileReport(state.path, OnlineFiles::skip, [&](std::uint64_t position, std::uint64_t size) {
          const int percent = size == 0 ? 100 : static_cast<int>(position * 100 / size);
          if (percent != shown) post(state, BackgroundVerification::progressMessage, static_cast<WPARAM>(percent));
          shown = percent;
          return !state.stopped;
        });
    result = report.verification.value_or(Verification{});
  } catch (const std::exception& e) {
    result = Verification{};
    result.status = statusText(e);
  }
  {
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.result = std::move(result);
  }
  post(state, BackgroundVerification::doneMessage, 0);
}

DWORD WINAPI runJob(LPVOID parameter) {
  HMODULE module = nullptr;
  {
    std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    module = job->module;
    verify(*job->state);
  }
  // The module is left in the system's code: its count of live objects
  // may be 0 by now, and the shell free to unload it.
  FreeLibraryAndExitThread(module, 0);
}

}  // namespace

BackgroundVerification::BackgroundVerification(const std::string& path, HWND window, LPARAM serial)
    : state_(std::make_shared<State>()) {
  state_->path = path;
  state_->window = window;
  state_->serial = serial;
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&runJob), &module)) {
    throw brix::WindowsError("Can't start the verification");
  }
  std::unique_ptr<Job> job(new Job{state_, module, {}});
  const HANDLE thread = CreateThread(nullptr, 0, runJob, job.get(), 0, nullptr);
  if (!thread) {
    const brix::WindowsError error("Can't start the verification");
    job.reset();
    FreeLibrary(module);
    throw error;
  }
  job.release();
  CloseHandle(thread);
}

BackgroundVerification::~BackgroundVerification() {
  state_->abandoned = true;
  state_->stopped = true;
}

void BackgroundVerification::cancel() noexcept {
  state_->stopped = true;
}

Verification BackgroundVerification::result() const {
  const std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->result;
}
