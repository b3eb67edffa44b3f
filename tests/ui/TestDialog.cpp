#include "tests/ui/TestDialog.h"

namespace ui_testing {

namespace {

ControlCall record(brix::Window* control, WORD code, WORD idOrPosition) {
  ControlCall call;
  call.control = control;
  call.controlHandle = control ? control->handle() : nullptr;
  call.controlRegistered = control && brix::Window::fromHandle(control->handle(), false).get() == control;
  call.code = code;
  call.idOrPosition = idOrPosition;
  return call;
}

}  // namespace

LRESULT TestDialog::defaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  defaults.push_back({message, wParam, lParam});
  const auto handler = handlers.find(message);
  if (handler != handlers.end()) return handler->second(wParam, lParam);
  return Dialog::defaultProc(message, wParam, lParam);
}

void TestDialog::onCommand(brix::Window* control, WORD code, WORD id) {
  events.push_back("command");
  commands.push_back(record(control, code, id));
  if (commandHandler) {
    commandHandler(control, code, id);
  } else {
    Dialog::onCommand(control, code, id);
  }
}

void TestDialog::onHScroll(brix::Window* scrollBar, WORD code, WORD position) {
  events.push_back("hscroll");
  hScrolls.push_back(record(scrollBar, code, position));
  Dialog::onHScroll(scrollBar, code, position);
}

void TestDialog::onVScroll(brix::Window* scrollBar, WORD code, WORD position) {
  events.push_back("vscroll");
  vScrolls.push_back(record(scrollBar, code, position));
  Dialog::onVScroll(scrollBar, code, position);
}

void TestDialog::onContextMenu(brix::Window* window, int x, int y) {
  events.push_back("contextmenu");
  contextMenus.push_back({record(window, 0, 0), x, y});
  Dialog::onContextMenu(window, x, y);
}

void TestDialog::onDestroy() {
  events.push_back("destroy");
  Dialog::onDestroy();
}

LRESULT TestDialog::onNotify(NMHDR* header) {
  events.push_back("notify");
  const LRESULT result = Dialog::onNotify(header);
  notifyResults.push_back(result);
  return result;
}

void TestDialog::onItemChanged(NMLISTVIEW* change) {
  events.push_back("itemchanged");
  itemChanges.push_back(*change);
  if (itemChangedHandler) {
    itemChangedHandler(change);
  } else {
    Dialog::onItemChanged(change);
  }
}

void TestDialog::onNcDestroy() {
  events.push_back("ncdestroy");
  handleAtNcDestroy = handle();
  Dialog::onNcDestroy();
}

bool TestDialog::onInitDialog(brix::Window* focus) {
  events.push_back("init");
  focusAtInit = focus ? focus->handle() : nullptr;
  handleAtInit = handle();
  depthAtInit = messagesInDispatch();
  if (initHandler) return initHandler(focus);
  return Dialog::onInitDialog(focus);
}

}  // namespace ui_testing
