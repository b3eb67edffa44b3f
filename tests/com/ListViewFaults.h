#pragma once
// Failures of the list view, for the page's handling of them: while an
// object of this class lives, every list view made on this thread answers a
// chosen message with its failure, as a control short of memory would, after
// answering it normally a given number of times. It also records what the
// page's dialog answered to WM_INITDIALOG.
#include <windows.h>

#include <optional>

namespace shell_host {

class ListViewFaults {
 public:
  struct Fault {
    UINT message;
    int answeredFirst;  // how many of the message the list answers normally
    LRESULT failure;    // what it answers after that
  };

  // Without a fault the list works as usual. Throws std::runtime_error when
  // the hooks can't be set. One at a time.
  explicit ListViewFaults(std::optional<Fault> fault);
  ~ListViewFaults();
  ListViewFaults(const ListViewFaults&) = delete;
  ListViewFaults& operator=(const ListViewFaults&) = delete;

  // What the dialog holding list 1001 answered to WM_INITDIALOG, if it had one.
  std::optional<LRESULT> pageInitResult() const { return pageInitResult_; }

 private:
  static LRESULT CALLBACK onCreate(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK afterMessage(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK faultyList(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::optional<Fault> fault_;
  int answered_ = 0;
  std::optional<LRESULT> pageInitResult_;
  HHOOK createHook_;
  HHOOK messageHook_;
};

}  // namespace shell_host
