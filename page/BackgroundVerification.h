#pragma once
#include <memory>
#include <string>

#include "avi/Verification.h"
#include "base/Win32.h"

// The verification of a whole file (page/VerifyReport.h) on a thread of its
// own, for a window that shows how it goes: the thread posts
// progressMessage as it reads (wParam: per cent done) and doneMessage at the
// end, each with this verification's serial number as lParam; once
// doneMessage has come, result() holds what it found.
//
// The thread opens the file itself and lives on its own: it counts among
// the module's live objects and holds a reference to the module, which it
// gives up only as it ends (FreeLibraryAndExitThread), so the module stays
// loaded until its last instruction has run, whatever becomes of this
// object. Nothing it throws leaves it.
class BackgroundVerification {
 public:
  static constexpr UINT progressMessage = WM_APP + 1;
  static constexpr UINT doneMessage = WM_APP + 2;

  // Starts the thread; throws WindowsError "Can't start the verification".
  BackgroundVerification(const std::string& path, HWND window, LPARAM serial);
  // Stops the thread without waiting for it: it ends on its own, soon,
  // and posts nothing more.
  ~BackgroundVerification();
  BackgroundVerification(const BackgroundVerification&) = delete;
  BackgroundVerification& operator=(const BackgroundVerification&) = delete;

  // Stops the pass where it has got to; doneMessage follows, with a result
  // that says so.
  void cancel() noexcept;
  // What the verification found, once doneMessage has come.
  Verification result() const;

  // What the thread and this object share.
  struct State;

 private:
  std::shared_ptr<State> state_;
};
