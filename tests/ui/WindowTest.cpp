#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "base/Unicode.h"
#include "base/WindowsError.h"
#include "tests/ui/DeleteWatch.h"
#include "tests/ui/TestDialog.h"
#include "tests/ui/TestResources.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ListView.h"
#include "ui/Window.h"
#include "ui/WindowRegistry.h"

using brix::ListView;
using brix::Window;
using brix::WindowRef;
using brix::WindowRegistry;
using brix::WindowsError;
using ui_testing::ModelessDialog;
using ui_testing::TestDialog;

static_assert(!std::is_copy_constructible_v<Window>, "a window has one object");
static_assert(!std::is_copy_constructible_v<WindowRef>, "an owning reference has one owner");
static_assert(std::is_nothrow_move_constructible_v<WindowRef>, "references move");

namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ui_testing::initCommonControls(); }
  TestDialog dialog;
  ModelessDialog window{&dialog};
};

// Records the default calls and answers with a fixed result.
class ScriptedWindow : public Window {
 public:
  LRESULT defaultProc(UINT message, WPARAM, LPARAM) override {
    messages.push_back(message);
    return 555;
  }
  void onCommand(Window* control, WORD code, WORD id) override {
    commandControl = control;
    Window::onCommand(control, code, id);
  }
  std::vector<UINT> messages;
  Window* commandControl = nullptr;
};

std::string plainMessage(const WindowsError& error) {
  return error.std::runtime_error::what();
}

// --- Binding and the registry ------------------------------------------------

TEST_F(WindowTest, TheConstructorHoldsTheHandleWithoutRegisteringIt) {
  const Window bound(window.item(IDC_EDIT));
  EXPECT_EQ(bound.handle(), window.item(IDC_EDIT));
  EXPECT_FALSE(bound.ownsWindow());
  EXPECT_EQ(bound.previousProc(), nullptr);
  EXPECT_FALSE(Window::fromHandle(window.item(IDC_EDIT), false));
}

TEST_F(WindowTest, AttachRegistersTheObjectAndANullHandleRemovesIt) {
  const HWND edit = window.item(IDC_EDIT);
  Window first, second;
  first.attach(edit, false);
  EXPECT_EQ(first.handle(), edit);
  EXPECT_EQ(Window::fromHandle(edit, false).get(), &first);
  second.attach(edit, true);
  EXPECT_TRUE(second.ownsWindow());
  EXPECT_EQ(Window::fromHandle(edit, false).get(), &second) << "a later binding replaces the entry";
  second.attach(nullptr, false);
  EXPECT_EQ(second.handle(), nullptr);
  EXPECT_FALSE(second.ownsWindow());
  EXPECT_FALSE(Window::fromHandle(edit, false));
  EXPECT_TRUE(IsWindow(edit)) << "unbinding leaves the window alone";
}

TEST_F(WindowTest, AttachDlgItemBindsTheControlWithoutOwningIt) {
  Window list;
  list.attachDlgItem(dialog, IDC_LIST);
  EXPECT_EQ(list.handle(), window.item(IDC_LIST));
  EXPECT_FALSE(list.ownsWindow());
  EXPECT_EQ(Window::fromHandle(window.item(IDC_LIST), false).get(), &list);
}

TEST_F(WindowTest, AttachDlgItemOfAMissingControlThrows) {
  Window missing;
  try {
    missing.attachDlgItem(dialog, 4242);
    FAIL() << "bound a missing control";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Can't get dialog item for attaching");
  }
  EXPECT_EQ(missing.handle(), nullptr);
}

TEST_F(WindowTest, FromHandleNamesRegisteredObjectsAndWrapsOthersOnRequest) {
  const HWND edit = window.item(IDC_EDIT);
  const WindowRef none = Window::fromHandle(nullptr, true);
  EXPECT_FALSE(none);
  EXPECT_FALSE(none.owning());

  const WindowRef unknown = Window::fromHandle(edit, false);
  EXPECT_FALSE(unknown);

  const std::size_t entries = WindowRegistry::instance().size();
  WindowRef wrapper = Window::fromHandle(edit, true);
  ASSERT_TRUE(wrapper);
  EXPECT_TRUE(wrapper.owning());
  EXPECT_EQ(wrapper->handle(), edit);
  EXPECT_FALSE(wrapper->ownsWindow());
  EXPECT_EQ(WindowRegistry::instance().size(), entries) << "a wrapper is not registered";
  ui_testing::watchDeletion(wrapper.get());
  wrapper.reset();
  EXPECT_TRUE(ui_testing::watchedWasDeleted());
  EXPECT_TRUE(IsWindow(edit));

  const WindowRef registered = Window::fromHandle(dialog.handle(), true);
  EXPECT_EQ(registered.get(), &dialog);
  EXPECT_FALSE(registered.owning());
}

TEST_F(WindowTest, AReferenceMovesItsOwnershipAndDeletesOnlyWhatItOwns) {
  WindowRef first = Window::fromHandle(window.item(IDC_EDIT), true);
  Window* const wrapper = first.get();
  ui_testing::watchDeletion(wrapper);
  WindowRef second = std::move(first);
  EXPECT_FALSE(first);
  EXPECT_FALSE(first.owning());
  EXPECT_EQ(second.get(), wrapper);
  first.reset();
  EXPECT_FALSE(ui_testing::watchedWasDeleted());
  second = WindowRef();
  EXPECT_TRUE(ui_testing::watchedWasDeleted());

  {
    const WindowRef borrowed = Window::fromHandle(dialog.handle(), false);
    ui_testing::watchDeletion(&dialog);
  }
  EXPECT_FALSE(ui_testing::watchedWasDeleted());
  EXPECT_EQ(dialog.handle(), window.handle());
}

// --- Stale entries -----------------------------------------------------------

TEST_F(WindowTest, DeletingAnObjectThatDoesNotOwnItsControlRemovesItsEntry) {
  const HWND list = window.item(IDC_LIST);
  const std::size_t entries = WindowRegistry::instance().size();
  auto listView = std::make_unique<ListView>();
  listView->attachDlgItem(dialog, IDC_LIST);
  ASSERT_EQ(Window::fromHandle(list, false).get(), listView.get());
  listView.reset();
  EXPECT_FALSE(Window::fromHandle(list, false));
  EXPECT_EQ(WindowRegistry::instance().size(), entries);
  EXPECT_TRUE(IsWindow(list));
}

TEST_F(WindowTest, AnEntryOutlivesItsControlUntilTheObjectGoes) {
  TestDialog other;
  ModelessDialog otherWindow(&other);
  const HWND list = otherWindow.item(IDC_LIST);
  auto listView = std::make_unique<ListView>();
  listView->attachDlgItem(other, IDC_LIST);
  // A control's destruction does not pass through the framework.
  otherWindow.destroy();
  ASSERT_FALSE(IsWindow(list));
  EXPECT_EQ(Window::fromHandle(list, false).get(), listView.get());
  listView.reset();
  EXPECT_FALSE(Window::fromHandle(list, false));
  // A window made now may get the old handle value; it finds no object.
  TestDialog later;
  const ModelessDialog laterWindow(&later);
  for (const int id : {IDC_LIST, IDC_BUTTON, IDC_SCROLL, IDC_EDIT, IDC_STATUS}) {
    EXPECT_FALSE(Window::fromHandle(laterWindow.item(id), false)) << id;
  }
}

TEST_F(WindowTest, DeletingAReplacedObjectKeepsTheEntryOfItsSuccessor) {
  const HWND list = window.item(IDC_LIST);
  auto first = std::make_unique<ListView>();
  ListView second;
  first->attachDlgItem(dialog, IDC_LIST);
  second.attachDlgItem(dialog, IDC_LIST);
  first.reset();
  EXPECT_EQ(Window::fromHandle(list, false).get(), &second);
}

TEST_F(WindowTest, DeletingAnObjectRemovesTheEntriesOfEveryHandleItWasBoundTo) {
  const HWND edit = window.item(IDC_EDIT);
  const HWND button = window.item(IDC_BUTTON);
  auto object = std::make_unique<Window>();
  object->attach(edit, false);
  object->attach(button, false);
  // Rebinding keeps the old entry.
  EXPECT_EQ(Window::fromHandle(edit, false).get(), object.get());
  object.reset();
  EXPECT_FALSE(Window::fromHandle(edit, false));
  EXPECT_FALSE(Window::fromHandle(button, false));
}

// --- Owned windows -----------------------------------------------------------

TEST_F(WindowTest, DestroyWindowDestroysAnOwnedWindowOnly) {
  const HWND edit = window.item(IDC_EDIT);
  Window notOwning;
  notOwning.attach(edit, false);
  notOwning.destroyWindow();
  EXPECT_TRUE(IsWindow(edit));
  EXPECT_EQ(notOwning.handle(), edit);

  Window owning;
  owning.attach(edit, true);
  owning.destroyWindow();
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(owning.handle(), nullptr);
  EXPECT_FALSE(owning.ownsWindow());
  EXPECT_FALSE(Window::fromHandle(edit, false));
}

TEST_F(WindowTest, DeletingAnObjectThatOwnsItsWindowDestroysIt) {
  const HWND button = window.item(IDC_BUTTON);
  auto owner = std::make_unique<Window>();
  owner->attach(button, true);
  owner.reset();
  EXPECT_FALSE(IsWindow(button));
  EXPECT_FALSE(Window::fromHandle(button, false));
}

TEST_F(WindowTest, AWindowOfAnotherThreadCannotBeDestroyed) {
  HWND foreign = nullptr;
  const HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  const HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread owner([&] {
    foreign = CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetEvent(created);
    WaitForSingleObject(done, 10000);
    if (foreign) DestroyWindow(foreign);
  });
  WaitForSingleObject(created, 10000);
  ASSERT_NE(foreign, nullptr);
  Window object;
  object.attach(foreign, true);
  try {
    object.destroyWindow();
    ADD_FAILURE() << "destroyed another thread's window";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Can't destroy window");
    EXPECT_EQ(e.code(), static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(std::string(e.what()).rfind("Can't destroy window: ", 0), 0u) << e.what();
  }
  EXPECT_EQ(object.handle(), foreign);
  EXPECT_TRUE(object.ownsWindow());
  EXPECT_EQ(Window::fromHandle(foreign, false).get(), &object);
  object.attach(nullptr, false);
  SetEvent(done);
  owner.join();
  CloseHandle(created);
  CloseHandle(done);
}

// --- Messages ----------------------------------------------------------------

// Messages with text carry UTF-16 both ways, as the framework's windows are
// Unicode.
TEST_F(WindowTest, TheDefaultOfAPlainWindowIsTheSystemDefault) {
  Window plain(window.handle());
  wchar_t caption[64] = {};
  const LRESULT length = plain.defaultProc(WM_GETTEXT, 64, reinterpret_cast<LPARAM>(caption));
  EXPECT_EQ(std::wstring(caption), L"Window tests");
  EXPECT_EQ(length, 12);
}

TEST_F(WindowTest, SendMessageReachesTheWindow) {
  Window edit;
  edit.attachDlgItem(dialog, IDC_EDIT);
  const std::wstring typed = brix::toWide("\xD0\x9E\xD1\x82\xD0\xBF\xD1\x83\xD1\x81\xD0\xBA");  // Отпуск
  ASSERT_TRUE(edit.sendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str())));
  wchar_t text[64] = {};
  GetWindowTextW(edit.handle(), text, 64);
  EXPECT_EQ(text, typed);
}

TEST_F(WindowTest, SetDlgItemTextSetsTheControlsTextInAnyScript) {
  for (const std::string& utf8 :
       {std::string("Ok"), std::string("\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB \xF0\x9F\x8E\xAC")}) {
    dialog.setDlgItemText(IDC_STATUS, utf8.c_str());
    wchar_t text[64] = {};
    GetDlgItemTextW(window.handle(), IDC_STATUS, text, 64);
    EXPECT_EQ(brix::fromWide(text), utf8);
  }
}

TEST_F(WindowTest, SetDlgItemTextOfAMissingControlThrows) {
  try {
    dialog.setDlgItemText(4242, "Ok");
    FAIL() << "set the text of a missing control";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Can't set dialog item text");
  }
}

TEST_F(WindowTest, TextAndStylesAreSetAtRunTime) {
  Window list;
  list.attachDlgItem(dialog, IDC_LIST);
  const auto styleBefore = static_cast<DWORD>(GetWindowLongPtrW(list.handle(), GWL_STYLE));
  list.addStyle(LVS_SHOWSELALWAYS);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(list.handle(), GWL_STYLE)), styleBefore | LVS_SHOWSELALWAYS);

  list.setWindowText(
      "Gr\xC3\xB6\xC3\x9F"
      "e \xE2\x9C\x93");  // UTF-8 in, UTF-16 in the window
  wchar_t text[32] = {};
  GetWindowTextW(list.handle(), text, 32);
  EXPECT_EQ(std::wstring(text), L"Gr\u00F6\u00DFe \u2713");

  Window gone(window.handle());
  window.destroy();
  try {
    gone.setWindowText("x");
    FAIL() << "set the text of a window that is gone";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Can't set window text");
  }
  try {
    gone.addStyle(WS_BORDER);
    FAIL() << "set the style of a window that is gone";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Can't set window style");
  }
}

TEST_F(WindowTest, DispatchRoutesEachMessageAndAnswersAsItsRowSays) {
  ScriptedWindow object;
  // Commands and scrolling answer 0, whatever the default said.
  EXPECT_EQ(object.dispatch(WM_COMMAND, MAKEWPARAM(40001, 0), 0), 0);
  EXPECT_EQ(object.commandControl, nullptr);
  EXPECT_EQ(object.dispatch(WM_HSCROLL, 0, 0), 0);
  EXPECT_EQ(object.dispatch(WM_VSCROLL, 0, 0), 0);
  EXPECT_EQ(object.dispatch(WM_DESTROY, 0, 0), 0);
  // A notification answers what onNotify answers.
  NMHDR click = {window.item(IDC_LIST), IDC_LIST, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(object.dispatch(WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&click)), 555);
  NMLISTVIEW change = {};
  change.hdr = {window.item(IDC_LIST), IDC_LIST, static_cast<UINT>(LVN_ITEMCHANGED)};
  EXPECT_EQ(object.dispatch(WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&change)), 0);
  EXPECT_EQ(object.dispatch(WM_NCDESTROY, 0, 0), 0);
  EXPECT_EQ(object.dispatch(WM_CONTEXTMENU, 0, -1), 0);
  // Anything else answers what the default answers.
  EXPECT_EQ(object.dispatch(WM_APP, 0, 0), 555);
  const std::vector<UINT> expected = {WM_COMMAND, WM_HSCROLL,   WM_VSCROLL,     WM_DESTROY, WM_NOTIFY,
                                      WM_NOTIFY,  WM_NCDESTROY, WM_CONTEXTMENU, WM_APP};
  EXPECT_EQ(object.messages, expected);
}

// --- Threads -----------------------------------------------------------------

// Dialogs on two threads bind and unbind objects at the same time; each
// thread must always find its own objects.
TEST_F(WindowTest, DialogsOnSeveralThreadsShareTheRegistrySafely) {
  std::atomic<int> mismatches{0};
  std::atomic<int> failures{0};
  const auto work = [&] {
    try {
      TestDialog threadDialog;
      ModelessDialog threadWindow(&threadDialog);
      const HWND list = threadWindow.item(IDC_LIST);
      const HWND button = threadWindow.item(IDC_BUTTON);
      threadDialog.commandHandler = [](Window*, WORD, WORD) {};
      for (int round = 0; round < 3000; ++round) {
        ListView listView;
        listView.attachDlgItem(threadDialog, IDC_LIST);
        if (Window::fromHandle(list, false).get() != &listView) ++mismatches;
        SendMessageA(threadWindow.handle(), WM_COMMAND, MAKEWPARAM(IDC_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        if (Window::fromHandle(threadWindow.handle(), false).get() != &threadDialog) ++mismatches;
      }
      if (Window::fromHandle(list, false)) ++mismatches;
    } catch (...) {
      ++failures;
    }
  };
  std::thread first(work), second(work);
  first.join();
  second.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
