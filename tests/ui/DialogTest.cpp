#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/WindowsError.h"
#include "tests/ui/DeleteWatch.h"
#include "tests/ui/TestDialog.h"
#include "tests/ui/TestResources.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Dialog.h"
#include "ui/WindowRegistry.h"
// After the Win32 types it uses.
#include <windowsx.h>

using brix::Dialog;
using brix::Window;
using brix::WindowRegistry;
using brix::WindowsError;
using ui_testing::ContextMenuCall;
using ui_testing::ModelessDialog;
using ui_testing::TestDialog;

namespace {

constexpr UINT outerMessage = WM_APP + 1;
constexpr UINT innerMessage = WM_APP + 2;
constexpr UINT throwingMessage = WM_APP + 3;
constexpr UINT plainMessage = WM_APP + 4;
constexpr UINT_PTR safetyTimer = 77;

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ui_testing::initCommonControls(); }
};

std::ptrdiff_t position(const std::vector<std::string>& events, const std::string& event) {
  const auto found = std::find(events.begin(), events.end(), event);
  return found == events.end() ? -1 : found - events.begin();
}

// --- Binding -----------------------------------------------------------------

TEST_F(DialogTest, InitDialogBindsTheObjectBeforeItsHandlerRuns) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  EXPECT_EQ(dialog.handle(), window.handle());
  EXPECT_EQ(dialog.handleAtInit, window.handle());
  EXPECT_FALSE(dialog.ownsWindow());
  EXPECT_EQ(Window::fromHandle(window.handle(), false).get(), &dialog);
  // The focus control has no object: a temporary wrapper stood in for it.
  EXPECT_EQ(dialog.focusAtInit, window.item(IDC_LIST));
  EXPECT_FALSE(Window::fromHandle(window.item(IDC_LIST), false));
  EXPECT_EQ(dialog.depthAtInit, 0u) << "WM_INITDIALOG pushes no record";
  ASSERT_FALSE(dialog.events.empty());
  EXPECT_EQ(dialog.events.front(), "init");
}

// Records what the dialog manager asks of Dialog::dialogProc, and answers.
std::vector<std::pair<UINT, INT_PTR>> procCalls;

INT_PTR CALLBACK spyingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const INT_PTR result = Dialog::dialogProc(window, message, wParam, lParam);
  procCalls.emplace_back(message, result);
  return result;
}

TEST_F(DialogTest, MessagesBeforeInitDialogAnswerFalseAndReachNoHandler) {
  procCalls.clear();
  TestDialog dialog;
  const HWND window = CreateDialogParamA(ui_testing::module(), MAKEINTRESOURCEA(IDD_TEST_DIALOG), nullptr,
                                         spyingDialogProc, reinterpret_cast<LPARAM>(&dialog));
  ASSERT_NE(window, nullptr);
  const auto init = std::find_if(procCalls.begin(), procCalls.end(),
                                 [](const std::pair<UINT, INT_PTR>& call) { return call.first == WM_INITDIALOG; });
  ASSERT_NE(init, procCalls.end());
  // The template's font is announced before WM_INITDIALOG.
  const auto font = std::find_if(procCalls.begin(), init,
                                 [](const std::pair<UINT, INT_PTR>& call) { return call.first == WM_SETFONT; });
  ASSERT_NE(font, init) << "no WM_SETFONT before WM_INITDIALOG to test with";
  for (auto call = procCalls.begin(); call != init; ++call) EXPECT_EQ(call->second, FALSE) << call->first;
  for (const auto& call : dialog.defaults) EXPECT_NE(call.message, static_cast<UINT>(WM_SETFONT));
  EXPECT_EQ(dialog.events.front(), "init");
  DestroyWindow(window);
}

TEST_F(DialogTest, AWindowWithoutADialogObjectAnswersFalse) {
  // A dialog created without an object: WM_INITDIALOG has nothing to bind.
  ModelessDialog orphan(nullptr);
  EXPECT_EQ(Dialog::dialogProc(orphan.handle(), plainMessage, 0, 0), FALSE);
  EXPECT_FALSE(Window::fromHandle(orphan.handle(), false));

  // A plain Window registered for a dialog is not dispatched to.
  class CountingWindow : public Window {
   public:
    LRESULT defaultProc(UINT, WPARAM, LPARAM) override {
      ++calls;
      return 1;
    }
    int calls = 0;
  } plain;
  plain.attach(orphan.handle(), false);
  EXPECT_EQ(Dialog::dialogProc(orphan.handle(), plainMessage, 0, 0), FALSE);
  EXPECT_EQ(Dialog::dialogProc(orphan.handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0), FALSE);
  EXPECT_EQ(plain.calls, 0);
  plain.attach(nullptr, false);
}

TEST_F(DialogTest, InitDialogWithoutAnObjectAnswersFalse) {
  ModelessDialog orphan(nullptr);
  EXPECT_EQ(Dialog::dialogProc(orphan.handle(), WM_INITDIALOG, 0, 0), FALSE);
}

TEST_F(DialogTest, AThrowingInitDialogAnswersFalseAndLeavesTheObjectBound) {
  TestDialog dialog;
  dialog.initHandler = [](Window*) -> bool { throw std::runtime_error("init failed"); };
  const ModelessDialog window(&dialog);
  EXPECT_EQ(dialog.handle(), window.handle());
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&dialog)), FALSE);
  dialog.handlers[plainMessage] = [](WPARAM, LPARAM) -> LRESULT { return 0; };
  EXPECT_EQ(Dialog::dialogProc(window.handle(), plainMessage, 0, 0), TRUE);
}

TEST_F(DialogTest, InitDialogAnswersWhatTheHandlerReturns) {
  TestDialog dialog;
  dialog.initHandler = [](Window*) { return false; };
  const ModelessDialog window(&dialog);
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&dialog)), FALSE);
  dialog.initHandler = nullptr;
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&dialog)), TRUE);
}

// --- The handled flag and the record stack -----------------------------------

TEST_F(DialogTest, AHandlerThatDoesTheWorkAnswersTrue) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  dialog.handlers[plainMessage] = [&](WPARAM, LPARAM) -> LRESULT {
    SetWindowLongPtrA(dialog.handle(), DWLP_MSGRESULT, 77);
    return 0;
  };
  EXPECT_EQ(Dialog::dialogProc(window.handle(), plainMessage, 0, 0), TRUE);
  // The dialog manager passes on the result the handler left.
  EXPECT_EQ(SendMessageA(window.handle(), plainMessage, 0, 0), 77);
  EXPECT_EQ(dialog.messagesInDispatch(), 0u);
}

TEST_F(DialogTest, AHandlerThatFallsToTheDefaultAnswersFalse) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  dialog.handlers[plainMessage] = [&](WPARAM, LPARAM) -> LRESULT {
    SetWindowLongPtrA(dialog.handle(), DWLP_MSGRESULT, 77);
    return dialog.fallThrough();
  };
  EXPECT_EQ(Dialog::dialogProc(window.handle(), plainMessage, 0, 0), FALSE);
  // The dialog manager's own default processing answered instead.
  EXPECT_EQ(SendMessageA(window.handle(), plainMessage, 0, 0), 0);
  // A message without any handler falls to the default too.
  EXPECT_EQ(Dialog::dialogProc(window.handle(), innerMessage, 5, 6), FALSE);
  ASSERT_FALSE(dialog.defaults.empty());
  EXPECT_EQ(dialog.defaults.back().message, innerMessage);
  EXPECT_EQ(dialog.defaults.back().wParam, 5u);
  EXPECT_EQ(dialog.defaults.back().lParam, 6);
}

TEST_F(DialogTest, ANestedMessageFallingThroughLeavesTheOuterHandled) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  std::size_t innerDepth = 0, outerDepthAfter = 0;
  LRESULT innerResult = -1;
  dialog.handlers[outerMessage] = [&](WPARAM, LPARAM) -> LRESULT {
    innerResult = SendMessageA(dialog.handle(), innerMessage, 0, 0);
    outerDepthAfter = dialog.messagesInDispatch();
    return 0;
  };
  dialog.handlers[innerMessage] = [&](WPARAM, LPARAM) -> LRESULT {
    innerDepth = dialog.messagesInDispatch();
    SetWindowLongPtrA(dialog.handle(), DWLP_MSGRESULT, 5);
    return dialog.fallThrough();
  };
  EXPECT_EQ(Dialog::dialogProc(window.handle(), outerMessage, 0, 0), TRUE);
  EXPECT_EQ(innerDepth, 2u);
  EXPECT_EQ(outerDepthAfter, 1u);
  EXPECT_EQ(innerResult, 0) << "the nested message fell through, so its handler's result was not taken";
  EXPECT_EQ(dialog.messagesInDispatch(), 0u);
}

TEST_F(DialogTest, AHandledNestedMessageDoesNotMakeTheOuterHandled) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  LRESULT innerResult = -1;
  dialog.handlers[outerMessage] = [&](WPARAM, LPARAM) -> LRESULT {
    innerResult = SendMessageA(dialog.handle(), innerMessage, 0, 0);
    return dialog.fallThrough();
  };
  dialog.handlers[innerMessage] = [&](WPARAM, LPARAM) -> LRESULT {
    SetWindowLongPtrA(dialog.handle(), DWLP_MSGRESULT, 5);
    return 0;
  };
  EXPECT_EQ(Dialog::dialogProc(window.handle(), outerMessage, 0, 0), FALSE);
  EXPECT_EQ(innerResult, 5);
  EXPECT_EQ(dialog.messagesInDispatch(), 0u);
}

TEST_F(DialogTest, AThrowingHandlerAnswersFalseAndTheNextMessageIsDispatched) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  dialog.handlers[throwingMessage] = [&](WPARAM, LPARAM) -> LRESULT {
    SetWindowLongPtrA(dialog.handle(), DWLP_MSGRESULT, 9);
    throw std::runtime_error("handler failed");
  };
  dialog.handlers[plainMessage] = [](WPARAM, LPARAM) -> LRESULT { return 0; };
  EXPECT_EQ(Dialog::dialogProc(window.handle(), throwingMessage, 0, 0), FALSE);
  EXPECT_EQ(dialog.messagesInDispatch(), 0u);
  EXPECT_EQ(Dialog::dialogProc(window.handle(), plainMessage, 0, 0), TRUE);
  EXPECT_EQ(SendMessageA(window.handle(), throwingMessage, 0, 0), 0);

  // Whatever is thrown, not only std::exception.
  dialog.handlers[throwingMessage] = [](WPARAM, LPARAM) -> LRESULT { throw 42; };
  EXPECT_EQ(Dialog::dialogProc(window.handle(), throwingMessage, 0, 0), FALSE);
  EXPECT_EQ(dialog.messagesInDispatch(), 0u);
  EXPECT_EQ(Dialog::dialogProc(window.handle(), plainMessage, 0, 0), TRUE);
}

TEST_F(DialogTest, AThrowInANestedMessageLeavesTheOuterRecord) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  std::size_t depthAfterInner = 0;
  dialog.handlers[throwingMessage] = [](WPARAM, LPARAM) -> LRESULT { throw std::runtime_error("inner failed"); };
  dialog.handlers[outerMessage] = [&](WPARAM, LPARAM) -> LRESULT {
    SendMessageA(dialog.handle(), throwingMessage, 0, 0);
    depthAfterInner = dialog.messagesInDispatch();
    return 0;
  };
  EXPECT_EQ(Dialog::dialogProc(window.handle(), outerMessage, 0, 0), TRUE);
  EXPECT_EQ(depthAfterInner, 1u);
  EXPECT_EQ(dialog.messagesInDispatch(), 0u);
}

TEST_F(DialogTest, DefaultProcWithoutAMessageInDispatchDoesNothing) {
  Dialog unbound;
  EXPECT_EQ(unbound.defaultProc(plainMessage, 1, 2), 0);

  TestDialog dialog;
  LRESULT resultAtInit = -1;
  dialog.initHandler = [&](Window*) {
    resultAtInit = dialog.fallThrough();
    return true;
  };
  const ModelessDialog window(&dialog);
  EXPECT_EQ(resultAtInit, 0);
  EXPECT_EQ(dialog.messagesInDispatch(), 0u);
  dialog.handlers[plainMessage] = [](WPARAM, LPARAM) -> LRESULT { return 0; };
  EXPECT_EQ(Dialog::dialogProc(window.handle(), plainMessage, 0, 0), TRUE);
}

// --- Commands and scrolling --------------------------------------------------

TEST_F(DialogTest, ACommandFromAControlWithoutObjectGetsATemporaryWrapper) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  const HWND button = window.item(IDC_BUTTON);
  const std::size_t entries = WindowRegistry::instance().size();
  dialog.commandHandler = [](Window* control, WORD, WORD) { ui_testing::watchDeletion(control); };
  // The button itself reports the click to the dialog.
  SendMessageA(button, BM_CLICK, 0, 0);
  ASSERT_EQ(dialog.commands.size(), 1u);
  const auto& call = dialog.commands[0];
  ASSERT_NE(call.control, nullptr);
  EXPECT_EQ(call.controlHandle, button);
  EXPECT_FALSE(call.controlRegistered);
  EXPECT_EQ(call.code, BN_CLICKED);
  EXPECT_EQ(call.idOrPosition, IDC_BUTTON);
  EXPECT_TRUE(ui_testing::watchedWasDeleted()) << "the temporary wrapper outlived the message";
  EXPECT_EQ(WindowRegistry::instance().size(), entries);
  EXPECT_FALSE(Window::fromHandle(button, false));
}

TEST_F(DialogTest, ACommandFromAControlWithAnObjectPassesThatObject) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  const HWND button = window.item(IDC_BUTTON);
  Window buttonObject;
  buttonObject.attachDlgItem(dialog, IDC_BUTTON);
  dialog.commandHandler = [](Window*, WORD, WORD) {};
  SendMessageA(window.handle(), WM_COMMAND, MAKEWPARAM(IDC_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  ASSERT_EQ(dialog.commands.size(), 1u);
  EXPECT_EQ(dialog.commands[0].control, &buttonObject);
  EXPECT_TRUE(dialog.commands[0].controlRegistered);
  EXPECT_EQ(buttonObject.handle(), button);
  EXPECT_EQ(Window::fromHandle(button, false).get(), &buttonObject);
}

TEST_F(DialogTest, TheCommandDefaultPassesTheCommandOnWithTheControlsHandle) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  const HWND button = window.item(IDC_BUTTON);
  const WPARAM wParam = MAKEWPARAM(IDC_BUTTON, BN_DOUBLECLICKED);
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(button)), FALSE);
  ASSERT_EQ(dialog.commands.size(), 1u);
  EXPECT_EQ(dialog.commands[0].code, BN_DOUBLECLICKED);
  EXPECT_EQ(dialog.commands[0].idOrPosition, IDC_BUTTON);
  ASSERT_FALSE(dialog.defaults.empty());
  EXPECT_EQ(dialog.defaults.back().message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(dialog.defaults.back().wParam, wParam);
  EXPECT_EQ(dialog.defaults.back().lParam, reinterpret_cast<LPARAM>(button));
}

TEST_F(DialogTest, AMenuCommandHasNoControl) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  const WPARAM wParam = MAKEWPARAM(40001, 0);
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_COMMAND, wParam, 0), FALSE);
  ASSERT_EQ(dialog.commands.size(), 1u);
  EXPECT_EQ(dialog.commands[0].control, nullptr);
  EXPECT_EQ(dialog.commands[0].idOrPosition, 40001);
  ASSERT_FALSE(dialog.defaults.empty());
  EXPECT_EQ(dialog.defaults.back().wParam, wParam);
  EXPECT_EQ(dialog.defaults.back().lParam, 0);
}

TEST_F(DialogTest, OkAndCancelClicksEndTheDialogOtherCommandsFallThrough) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
  ASSERT_TRUE(IsWindowVisible(window.handle()));
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0), FALSE);
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0), FALSE);
  const auto commandDefaults = [&] {
    return std::count_if(dialog.defaults.begin(), dialog.defaults.end(),
                         [](const ui_testing::DefaultCall& call) { return call.message == WM_COMMAND; });
  };
  EXPECT_EQ(commandDefaults(), 2);
  EXPECT_TRUE(IsWindowVisible(window.handle())) << "neither command ended the dialog";
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0), TRUE);
  EXPECT_EQ(commandDefaults(), 2) << "an ended dialog does not fall to the default";
  EXPECT_FALSE(IsWindowVisible(window.handle())) << "ending a modeless dialog hides it";
}

TEST_F(DialogTest, ScrollMessagesSplitCodeAndPosition) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  const HWND scroll = window.item(IDC_SCROLL);
  const WPARAM horizontal = MAKEWPARAM(SB_THUMBPOSITION, 37);
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_HSCROLL, horizontal, reinterpret_cast<LPARAM>(scroll)), FALSE);
  ASSERT_EQ(dialog.hScrolls.size(), 1u);
  EXPECT_EQ(dialog.hScrolls[0].controlHandle, scroll);
  EXPECT_FALSE(dialog.hScrolls[0].controlRegistered);
  EXPECT_EQ(dialog.hScrolls[0].code, SB_THUMBPOSITION);
  EXPECT_EQ(dialog.hScrolls[0].idOrPosition, 37);
  EXPECT_EQ(dialog.defaults.back().message, static_cast<UINT>(WM_HSCROLL));
  EXPECT_EQ(dialog.defaults.back().wParam, horizontal);
  EXPECT_EQ(dialog.defaults.back().lParam, reinterpret_cast<LPARAM>(scroll));

  const WPARAM vertical = MAKEWPARAM(SB_LINEDOWN, 5);
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_VSCROLL, vertical, 0), FALSE);
  ASSERT_EQ(dialog.vScrolls.size(), 1u);
  EXPECT_EQ(dialog.vScrolls[0].control, nullptr);
  EXPECT_EQ(dialog.vScrolls[0].code, SB_LINEDOWN);
  EXPECT_EQ(dialog.vScrolls[0].idOrPosition, 5);
  EXPECT_EQ(dialog.defaults.back().message, static_cast<UINT>(WM_VSCROLL));
  EXPECT_EQ(dialog.defaults.back().wParam, vertical);
  EXPECT_EQ(dialog.defaults.back().lParam, 0);
}

// --- Notifications -----------------------------------------------------------

TEST_F(DialogTest, AnItemChangeOfTheListReachesOnItemChanged) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  const HWND list = window.item(IDC_LIST);
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT;
  column.pszText = const_cast<char*>("Element");
  ASSERT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)), 0);
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.pszText = const_cast<char*>("row");
  ASSERT_EQ(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), 0);
  dialog.itemChanges.clear();
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  ASSERT_TRUE(SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state)));
  ASSERT_FALSE(dialog.itemChanges.empty());
  const NMLISTVIEW& change = dialog.itemChanges.back();
  EXPECT_EQ(change.hdr.hwndFrom, list);
  EXPECT_EQ(change.hdr.idFrom, static_cast<UINT_PTR>(IDC_LIST));
  EXPECT_EQ(change.iItem, 0);
  EXPECT_TRUE(change.uNewState & LVIS_SELECTED);
}

TEST_F(DialogTest, OnNotifyAnswersZeroForAnItemChangeAndTheDefaultOtherwise) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  const HWND list = window.item(IDC_LIST);
  // The control may have spoken already.
  dialog.notifyResults.clear();
  dialog.itemChanges.clear();
  // A default that handles WM_NOTIFY with a result of its own.
  dialog.handlers[WM_NOTIFY] = [](WPARAM, LPARAM) -> LRESULT { return 555; };

  NMHDR click = {list, IDC_LIST, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&click)), TRUE);
  ASSERT_EQ(dialog.notifyResults.size(), 1u);
  EXPECT_EQ(dialog.notifyResults[0], 555);
  EXPECT_EQ(dialog.defaults.back().wParam, static_cast<WPARAM>(IDC_LIST));
  EXPECT_EQ(dialog.defaults.back().lParam, reinterpret_cast<LPARAM>(&click));

  NMLISTVIEW change = {};
  change.hdr = {list, IDC_LIST, static_cast<UINT>(LVN_ITEMCHANGED)};
  change.iItem = 4;
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&change)), TRUE);
  ASSERT_EQ(dialog.notifyResults.size(), 2u);
  EXPECT_EQ(dialog.notifyResults[1], 0);
  ASSERT_FALSE(dialog.itemChanges.empty());
  EXPECT_EQ(dialog.itemChanges.back().iItem, 4);
  // The item-change default passes the structure on.
  EXPECT_EQ(dialog.defaults.back().message, static_cast<UINT>(WM_NOTIFY));
  EXPECT_EQ(dialog.defaults.back().lParam, reinterpret_cast<LPARAM>(&change));
}

TEST_F(DialogTest, ANotificationFallingToTheDefaultAnswersFalse) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  const HWND list = window.item(IDC_LIST);
  NMLISTVIEW change = {};
  change.hdr = {list, IDC_LIST, static_cast<UINT>(LVN_ITEMCHANGED)};
  NMHDR click = {list, IDC_LIST, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&change)), FALSE);
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&click)), FALSE);
  // A handler that does the work, though onNotify's result is 0.
  dialog.itemChangedHandler = [](NMLISTVIEW*) {};
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&change)), TRUE);
}

TEST_F(DialogTest, ANotificationWithoutItsHeaderGoesToTheDefault) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  dialog.itemChangedHandler = [](NMLISTVIEW*) { ADD_FAILURE() << "a handler ran without a header"; };
  EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_NOTIFY, IDC_LIST, 0), FALSE);
  ASSERT_FALSE(dialog.defaults.empty());
  EXPECT_EQ(dialog.defaults.back().message, static_cast<UINT>(WM_NOTIFY));
  EXPECT_EQ(dialog.defaults.back().lParam, 0);
}

// --- Context menus -----------------------------------------------------------

TEST_F(DialogTest, AContextMenuNamesItsWindowAndPointAndFallsToTheDefault) {
  TestDialog dialog;
  const ModelessDialog window(&dialog);
  const HWND list = window.item(IDC_LIST);
  brix::Window listObject;
  listObject.attachDlgItem(dialog, IDC_LIST);
  const struct {
    const char* what;
    HWND clicked;
    int x, y;
    brix::Window* object;  // expected; null with a handle means a temporary wrapper
  } cases[] = {
      {"a right click in a control with an object", list, 300, 200, &listObject},
      {"on a monitor left of the main one", window.item(IDC_BUTTON), -5, 40, nullptr},
      {"the menu key: no point", list, -1, -1, &listObject},
      {"no window", nullptr, 10, 20, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dialog.contextMenus.clear();
    const LPARAM point = MAKELPARAM(static_cast<WORD>(c.x), static_cast<WORD>(c.y));
    EXPECT_EQ(Dialog::dialogProc(window.handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c.clicked), point), FALSE);
    ASSERT_EQ(dialog.contextMenus.size(), 1u);
    const ContextMenuCall& call = dialog.contextMenus[0];
    EXPECT_EQ(call.window.controlHandle, c.clicked);
    if (c.object) {
      EXPECT_EQ(call.window.control, c.object);
    } else if (c.clicked) {
      EXPECT_FALSE(call.window.controlRegistered) << "a temporary wrapper";
    }
    EXPECT_EQ(call.x, c.x);
    EXPECT_EQ(call.y, c.y);
    // The default hands the same message on.
    ASSERT_FALSE(dialog.defaults.empty());
    EXPECT_EQ(dialog.defaults.back().message, static_cast<UINT>(WM_CONTEXTMENU));
    EXPECT_EQ(dialog.defaults.back().wParam, reinterpret_cast<WPARAM>(c.clicked));
    EXPECT_EQ(GET_X_LPARAM(dialog.defaults.back().lParam), c.x);
    EXPECT_EQ(GET_Y_LPARAM(dialog.defaults.back().lParam), c.y);
  }
}

// --- Destruction -------------------------------------------------------------

TEST_F(DialogTest, DestroyingTheWindowUnbindsTheObjectWhichLivesOn) {
  TestDialog dialog;
  ModelessDialog window(&dialog);
  const HWND handle = window.handle();
  const std::size_t entries = WindowRegistry::instance().size();
  window.destroy();
  const auto destroyed = position(dialog.events, "destroy");
  const auto ncDestroyed = position(dialog.events, "ncdestroy");
  ASSERT_GE(destroyed, 0);
  EXPECT_GT(ncDestroyed, destroyed);
  EXPECT_EQ(dialog.handleAtNcDestroy, handle);
  EXPECT_EQ(dialog.handle(), nullptr);
  EXPECT_FALSE(dialog.ownsWindow());
  EXPECT_FALSE(Window::fromHandle(handle, false));
  EXPECT_EQ(WindowRegistry::instance().size(), entries - 1);

  // The same object can serve another dialog.
  const ModelessDialog again(&dialog);
  EXPECT_EQ(dialog.handle(), again.handle());
  EXPECT_EQ(Window::fromHandle(again.handle(), false).get(), &dialog);
}

TEST_F(DialogTest, DeletingAnObjectThatOwnsItsDialogDestroysTheWindow) {
  auto dialog = std::make_unique<TestDialog>();
  const ModelessDialog window(dialog.get());
  const HWND handle = window.handle();
  dialog->attach(handle, true);
  EXPECT_TRUE(dialog->ownsWindow());
  // The window's last messages arrive while the object is being destroyed.
  dialog.reset();
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_FALSE(Window::fromHandle(handle, false));
}

TEST_F(DialogTest, EndDialogOnNoWindowThrows) {
  Dialog unbound;
  try {
    unbound.endDialog(IDOK);
    FAIL() << "ended no dialog";
  } catch (const WindowsError& e) {
    EXPECT_EQ(std::string(e.std::runtime_error::what()), "Can't end modal dialog");
    EXPECT_NE(e.code(), 0u);
    EXPECT_EQ(std::string(e.what()).rfind("Can't end modal dialog: ", 0), 0u) << e.what();
  }
}

// --- Modal dialogs -----------------------------------------------------------

class ModalDialogTest : public DialogTest {
 protected:
  // Runs IDD_TEST_DIALOG modally for dialog; start runs in onInitDialog. A
  // timer ends a dialog that nothing else ends, with -7.
  INT_PTR runModal(TestDialog& dialog, const std::function<void()>& start) {
    dialog.initHandler = [&](Window*) {
      SetTimer(dialog.handle(), safetyTimer, 10000, nullptr);
      start();
      return true;
    };
    dialog.handlers[WM_TIMER] = [&](WPARAM id, LPARAM) -> LRESULT {
      if (id == safetyTimer) dialog.endDialog(-7);
      return 0;
    };
    return DialogBoxParamA(ui_testing::module(), MAKEINTRESOURCEA(IDD_TEST_DIALOG), nullptr, Dialog::dialogProc,
                           reinterpret_cast<LPARAM>(&dialog));
  }
};

TEST_F(ModalDialogTest, EscapeEndsAModalDialogWithCancel) {
  TestDialog dialog;
  const INT_PTR result = runModal(dialog, [&] { PostMessageA(dialog.handle(), WM_KEYDOWN, VK_ESCAPE, 0); });
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_EQ(dialog.commands.size(), 1u);
  EXPECT_EQ(dialog.commands[0].idOrPosition, IDCANCEL);
  EXPECT_EQ(dialog.commands[0].code, BN_CLICKED);
  // The dialog manager destroyed the window: the object is unbound.
  EXPECT_EQ(dialog.handle(), nullptr);
  EXPECT_GE(position(dialog.events, "ncdestroy"), 0);
}

TEST_F(ModalDialogTest, OnlyAClickOfOkEndsAModalDialogWithOk) {
  TestDialog dialog;
  const INT_PTR result = runModal(dialog, [&] {
    PostMessageA(dialog.handle(), WM_COMMAND, MAKEWPARAM(IDOK, 1), 0);
    PostMessageA(dialog.handle(), WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0);
    PostMessageA(dialog.handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(dialog.commands.size(), 3u);
  EXPECT_EQ(dialog.commands[0].code, 1);
  EXPECT_EQ(dialog.commands[1].idOrPosition, 3);
  EXPECT_EQ(dialog.commands[2].idOrPosition, IDOK);
}

}  // namespace
