#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/Dialog.h"

namespace ui_testing {

// What one call of a handler saw.
struct ControlCall {
  brix::Window* control = nullptr;
  HWND controlHandle = nullptr;
  // Whether the registry named the control object during the call.
  bool controlRegistered = false;
  WORD code = 0;
  WORD idOrPosition = 0;
};

struct ContextMenuCall {
  ControlCall window;
  int x;
  int y;
};

struct DefaultCall {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A dialog whose handlers record what reaches them and can be scripted per
// test. A message without an operation of its own reaches defaultProc:
// there a scripted handler for it takes it (and stays handled unless it
// calls fallThrough), else the Dialog default clears the handled flag.
class TestDialog : public brix::Dialog {
 public:
  using Handler = std::function<LRESULT(WPARAM, LPARAM)>;

  LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onCommand(brix::Window* control, WORD code, WORD id) override;
  void onHScroll(brix::Window* scrollBar, WORD code, WORD position) override;
  void onVScroll(brix::Window* scrollBar, WORD code, WORD position) override;
  void onDestroy() override;
  LRESULT onNotify(NMHDR* header) override;
  void onItemChanged(NMLISTVIEW* change) override;
  void onNcDestroy() override;
  bool onInitDialog(brix::Window* focus) override;
  void onContextMenu(brix::Window* window, int x, int y) override;

  // The Dialog default for the message being dispatched.
  LRESULT fallThrough() { return Dialog::defaultProc(0, 0, 0); }
  using Dialog::messagesInDispatch;

  // Scripts.
  std::map<UINT, Handler> handlers;
  std::function<bool(brix::Window*)> initHandler;
  // Replaces the Dialog default of onCommand when set.
  std::function<void(brix::Window*, WORD, WORD)> commandHandler;
  // Replaces the default of onItemChanged when set.
  std::function<void(NMLISTVIEW*)> itemChangedHandler;

  // Records, in order of arrival.
  std::vector<std::string> events;
  std::vector<DefaultCall> defaults;
  std::vector<ControlCall> commands;
  std::vector<ControlCall> hScrolls;
  std::vector<ControlCall> vScrolls;
  std::vector<ContextMenuCall> contextMenus;
  std::vector<LRESULT> notifyResults;
  std::vector<NMLISTVIEW> itemChanges;
  HWND focusAtInit = nullptr;
  HWND handleAtInit = nullptr;
  std::size_t depthAtInit = 0;
  HWND handleAtNcDestroy = nullptr;
};

}  // namespace ui_testing
