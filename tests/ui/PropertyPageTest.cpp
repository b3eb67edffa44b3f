#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "base/ActivationContext.h"
#include "base/LiveObject.h"
#include "base/WindowsError.h"
#include "tests/ui/TestResources.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/PropertyPage.h"
#include "ui/WindowRegistry.h"

using brix::PropertyPage;
using brix::Window;
using brix::WindowsError;

// The page description ends with the activation-context member: 52 bytes on
// 32-bit Windows.
static_assert(sizeof(void*) != 4 || sizeof(PROPSHEETPAGEW_V3) == 52, "the 32-bit page description");

namespace {

// What the page callback was asked, by every page that routes its callback
// here, with the page object each call named.
struct CallbackCall {
  UINT message;
  LPARAM page;
  UINT result;
};
std::vector<CallbackCall> callbackCalls;

UINT CALLBACK spyingPageCallback(HWND window, UINT message, PROPSHEETPAGEW* page) {
  const UINT result = PropertyPage::pageCallback(window, message, page);
  callbackCalls.push_back({message, page ? page->lParam : 0, result});
  return result;
}

int countCalls(UINT message, LPARAM page) {
  int count = 0;
  for (const auto& call : callbackCalls) {
    if (call.message == message && call.page == page) ++count;
  }
  return count;
}

// The activation context that is active now; null for the process's own.
HANDLE currentActivationContext() {
  HANDLE context = nullptr;
  if (!GetCurrentActCtx(&context)) return INVALID_HANDLE_VALUE;
  // A handle to compare with, not to keep.
  if (context) ReleaseActCtx(context);
  return context;
}

class TestPage : public PropertyPage {
 public:
  explicit TestPage(HANDLE activationContext = nullptr)
      : PropertyPage(IDD_TEST_PAGE, ui_testing::module(), activationContext) {}
  // Routes the page callback through the spy.
  void spyOnCallback() { mutableDescription().pfnCallback = spyingPageCallback; }
  void spoilDescription() { mutableDescription().dwSize = 0; }
  void repairDescription() { mutableDescription().dwSize = sizeof(PROPSHEETPAGEW_V3); }

  bool onInitDialog(Window* focus) override {
    events.push_back("init");
    contextAtInit = currentActivationContext();
    if (throwOnInit) throw std::runtime_error("init failed");
    return PropertyPage::onInitDialog(focus);
  }
  void onDestroy() override {
    events.push_back("destroy");
    PropertyPage::onDestroy();
  }
  void onNcDestroy() override {
    events.push_back("ncdestroy");
    PropertyPage::onNcDestroy();
  }
  void onRelease() override {
    events.push_back("release");
    contextAtRelease = currentActivationContext();
    PropertyPage::onRelease();
    if (throwOnRelease) throw std::runtime_error("release failed");
  }
  LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) {
      ++appMessages;
      return 0;
    }
    return PropertyPage::defaultProc(message, wParam, lParam);
  }
  using Dialog::messagesInDispatch;

  std::vector<std::string> events;
  HANDLE contextAtInit = INVALID_HANDLE_VALUE;
  HANDLE contextAtRelease = INVALID_HANDLE_VALUE;
  int appMessages = 0;
  bool throwOnInit = false;
  bool throwOnRelease = false;
};

// A page that owns itself, as the product's page does: its release deletes it.
class SelfDeletingPage : public TestPage {
 public:
  explicit SelfDeletingPage(int& destructions) : destructions_(destructions) {}
  ~SelfDeletingPage() override { ++destructions_; }
  void onRelease() override {
    ++releases;
    TestPage::onRelease();
    delete this;
  }
  // Runs after the last destructor of the page, as the last of its code.
  static void operator delete(void* page) {
    liveObjectsAtDelete = brix::liveObjectCount();
    ::operator delete(page);
  }
  static int releases;
  static LONG liveObjectsAtDelete;

 private:
  int& destructions_;
};
int SelfDeletingPage::releases = 0;
LONG SelfDeletingPage::liveObjectsAtDelete = -1;

// A modeless property sheet over the given pages.
class ModelessSheet {
 public:
  explicit ModelessSheet(std::vector<HPROPSHEETPAGE> pages) : pages_(std::move(pages)) {
    // An ANSI sheet, as some hosts still make.
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_NOAPPLYNOW;
    header.hInstance = ui_testing::module();
    header.pszCaption = "Sheet";
    header.nPages = static_cast<UINT>(pages_.size());
    header.phpage = pages_.data();
    const INT_PTR result = PropertySheetA(&header);
    window_ = result > 0 ? reinterpret_cast<HWND>(result) : nullptr;
    ui_testing::pumpMessages();
  }
  ~ModelessSheet() { destroy(); }
  ModelessSheet(const ModelessSheet&) = delete;
  ModelessSheet& operator=(const ModelessSheet&) = delete;

  HWND handle() const { return window_; }
  void destroy() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
    ui_testing::pumpMessages();
  }

 private:
  std::vector<HPROPSHEETPAGE> pages_;
  HWND window_ = nullptr;
};

class PropertyPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_testing::initCommonControls();
    callbackCalls.clear();
    SelfDeletingPage::releases = 0;
  }
};

// --- Description and handle --------------------------------------------------

TEST_F(PropertyPageTest, TheConstructorDescribesThePage) {
  const TestPage page;
  const PROPSHEETPAGEW& description = page.description();
  EXPECT_EQ(description.dwSize, offsetof(PROPSHEETPAGEW, hActCtx) + sizeof(HANDLE));
  EXPECT_EQ(description.dwFlags, static_cast<DWORD>(PSP_USECALLBACK));
  EXPECT_EQ(description.hActCtx, nullptr);
  EXPECT_EQ(description.hInstance, ui_testing::module());
  EXPECT_EQ(description.pszTemplate, MAKEINTRESOURCEW(IDD_TEST_PAGE));
  EXPECT_EQ(description.hIcon, nullptr);
  EXPECT_EQ(description.pszTitle, nullptr);
  EXPECT_EQ(description.pfnDlgProc, &PropertyPage::pageDialogProc);
  EXPECT_EQ(description.lParam, reinterpret_cast<LPARAM>(&page));
  EXPECT_EQ(description.pfnCallback, &PropertyPage::pageCallback);
  EXPECT_EQ(description.pcRefParent, nullptr);
  EXPECT_EQ(description.pszHeaderTitle, nullptr);
  EXPECT_EQ(description.pszHeaderSubTitle, nullptr);
  EXPECT_EQ(page.pageHandle(), nullptr);
  EXPECT_EQ(page.handle(), nullptr);
}

TEST_F(PropertyPageTest, APageWithAnActivationContextRunsInIt) {
  const brix::ActivationContext context(ui_testing::module(), IDR_DLL_MANIFEST);
  TestPage page(context.handle());
  EXPECT_EQ(page.description().dwFlags, static_cast<DWORD>(PSP_USECALLBACK | PSP_USEFUSIONCONTEXT));
  EXPECT_EQ(page.description().hActCtx, context.handle());
  ASSERT_NE(currentActivationContext(), context.handle());
  {
    ModelessSheet sheet({page.create()});
    ASSERT_TRUE(ui_testing::pumpUntil([&] { return page.handle() != nullptr; }));
  }
  EXPECT_EQ(page.contextAtInit, context.handle());
  EXPECT_EQ(page.contextAtRelease, context.handle());
  EXPECT_NE(currentActivationContext(), context.handle()) << "the context stayed active";
}

TEST_F(PropertyPageTest, CreateTwiceGivesTheSameHandle) {
  TestPage page;
  page.spyOnCallback();
  const HPROPSHEETPAGE first = page.create();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(page.pageHandle(), first);
  EXPECT_EQ(page.create(), first);
  // Each page the system makes announces itself through the callback.
  EXPECT_EQ(countCalls(PSPCB_ADDREF, reinterpret_cast<LPARAM>(&page)), 1) << "a second page was made";
}

TEST_F(PropertyPageTest, AFailedCreateHoldsNoHandleAndALaterCallTriesAgain) {
  TestPage page;
  page.spoilDescription();
  try {
    page.create();
    FAIL() << "created a page from a description of size 0";
  } catch (const WindowsError& e) {
    EXPECT_EQ(std::string(e.std::runtime_error::what()), "Can't create property page");
  }
  EXPECT_EQ(page.pageHandle(), nullptr);
  page.repairDescription();
  EXPECT_NE(page.create(), nullptr);
}

// --- The page callback -------------------------------------------------------

TEST_F(PropertyPageTest, TheCallbackAllowsTheDialogAndReleasesThePage) {
  TestPage page;
  PROPSHEETPAGEW description = page.description();
  EXPECT_EQ(PropertyPage::pageCallback(nullptr, PSPCB_CREATE, &description), 1u);
  EXPECT_EQ(PropertyPage::pageCallback(nullptr, PSPCB_ADDREF, &description), 0u);
  EXPECT_EQ(PropertyPage::pageCallback(nullptr, 77, &description), 0u);
  EXPECT_TRUE(page.events.empty());
  page.create();
  EXPECT_EQ(PropertyPage::pageCallback(nullptr, PSPCB_RELEASE, &description), 0u);
  EXPECT_EQ(page.events, std::vector<std::string>{"release"});
  EXPECT_EQ(page.pageHandle(), nullptr);
}

TEST_F(PropertyPageTest, NothingThrownByOnReleaseLeavesTheCallback) {
  TestPage page;
  page.throwOnRelease = true;
  PROPSHEETPAGEW description = page.description();
  EXPECT_EQ(PropertyPage::pageCallback(nullptr, PSPCB_RELEASE, &description), 0u);
  EXPECT_EQ(page.events, std::vector<std::string>{"release"});
}

TEST_F(PropertyPageTest, APageDeletedWhileHoldingItsHandleReleasesItOnce) {
  int destructions = 0;
  auto* page = new SelfDeletingPage(destructions);
  page->spyOnCallback();
  ASSERT_NE(page->create(), nullptr);
  const auto address = reinterpret_cast<LPARAM>(page);
  delete page;
  EXPECT_EQ(destructions, 1);
  // The handle was destroyed, which released the page through the callback,
  // and that release reached no derived part: nothing was deleted twice.
  EXPECT_EQ(countCalls(PSPCB_RELEASE, address), 1);
  EXPECT_EQ(SelfDeletingPage::releases, 0);
}

// --- In a property sheet -----------------------------------------------------

TEST_F(PropertyPageTest, ASheetShowsThePageAsAUnicodeWindowAndReleasesItAtTheEnd) {
  TestPage page;
  page.spyOnCallback();
  ModelessSheet sheet({page.create()});
  ASSERT_NE(sheet.handle(), nullptr);
  ASSERT_TRUE(ui_testing::pumpUntil([&] { return page.handle() != nullptr; }));
  EXPECT_EQ(GetParent(page.handle()), sheet.handle());
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(sheet.handle(), PSM_GETCURRENTPAGEHWND, 0, 0)), page.handle());
  EXPECT_EQ(Window::fromHandle(page.handle(), false).get(), &page);
  EXPECT_EQ(page.events, std::vector<std::string>{"init"});
  EXPECT_GE(countCalls(PSPCB_CREATE, reinterpret_cast<LPARAM>(&page)), 1) << "the sheet asked before making the dialog";
  EXPECT_EQ(callbackCalls.back().result, 1u);
  // The page is Unicode in this ANSI sheet: its list, asked to ask its
  // parent again, answers what it will send.
  EXPECT_TRUE(IsWindowUnicode(page.handle()));
  const HWND list = GetDlgItem(page.handle(), IDC_LIST);
  EXPECT_EQ(SendMessageW(list, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(page.handle()), NF_REQUERY), NFR_UNICODE);

  // Messages reach the page's operations, each with its own record.
  SendMessageA(page.handle(), WM_APP, 0, 0);
  EXPECT_EQ(page.appMessages, 1);
  EXPECT_EQ(page.messagesInDispatch(), 0u);

  const HWND dialog = page.handle();
  sheet.destroy();
  EXPECT_EQ(page.handle(), nullptr);
  EXPECT_FALSE(Window::fromHandle(dialog, false));
  EXPECT_EQ(page.pageHandle(), nullptr);
  const std::vector<std::string> expected = {"init", "destroy", "ncdestroy", "release"};
  EXPECT_EQ(page.events, expected);
  EXPECT_EQ(countCalls(PSPCB_RELEASE, reinterpret_cast<LPARAM>(&page)), 1);
}

TEST_F(PropertyPageTest, APageGetsItsDialogWhenFirstShown) {
  TestPage first, second;
  ModelessSheet sheet({first.create(), second.create()});
  ASSERT_NE(sheet.handle(), nullptr);
  ASSERT_TRUE(ui_testing::pumpUntil([&] { return first.handle() != nullptr; }));
  EXPECT_EQ(second.handle(), nullptr);
  EXPECT_TRUE(second.events.empty());
  SendMessageA(sheet.handle(), PSM_SETCURSEL, 1, 0);
  ASSERT_TRUE(ui_testing::pumpUntil([&] { return second.handle() != nullptr; }));
  EXPECT_EQ(second.events, std::vector<std::string>{"init"});
  EXPECT_NE(second.handle(), first.handle());
}

TEST_F(PropertyPageTest, APageNeverShownIsOnlyReleased) {
  TestPage first, second;
  {
    ModelessSheet sheet({first.create(), second.create()});
    ASSERT_NE(sheet.handle(), nullptr);
    ASSERT_TRUE(ui_testing::pumpUntil([&] { return first.handle() != nullptr; }));
  }
  EXPECT_EQ(second.events, std::vector<std::string>{"release"});
  EXPECT_EQ(second.pageHandle(), nullptr);
  EXPECT_EQ(first.pageHandle(), nullptr);
}

TEST_F(PropertyPageTest, ASheetReleasesASelfDeletingPageOnce) {
  const LONG before = brix::liveObjectCount();
  int destructions = 0;
  auto* page = new SelfDeletingPage(destructions);
  EXPECT_EQ(brix::liveObjectCount(), before + 1) << "a page keeps its module loaded";
  {
    ModelessSheet sheet({page->create()});
    ASSERT_NE(sheet.handle(), nullptr);
    ASSERT_TRUE(ui_testing::pumpUntil([&] { return page->handle() != nullptr; }));
  }
  EXPECT_EQ(SelfDeletingPage::releases, 1);
  EXPECT_EQ(destructions, 1);
  // The module stays counted until the release has returned, past the
  // page's last destructor.
  EXPECT_EQ(SelfDeletingPage::liveObjectsAtDelete, before + 1);
  EXPECT_EQ(brix::liveObjectCount(), before);
}

TEST_F(PropertyPageTest, AThrowingInitDialogLeavesThePageBoundAndWorking) {
  TestPage page;
  page.throwOnInit = true;
  ModelessSheet sheet({page.create()});
  ASSERT_NE(sheet.handle(), nullptr);
  ASSERT_TRUE(ui_testing::pumpUntil([&] { return page.handle() != nullptr; }));
  EXPECT_EQ(page.events, std::vector<std::string>{"init"});
  SendMessageA(page.handle(), WM_APP, 0, 0);
  EXPECT_EQ(page.appMessages, 1);
}

TEST_F(PropertyPageTest, ThePageProcedureTakesTheObjectFromTheDescription) {
  TestPage page;
  ui_testing::ModelessDialog window(nullptr);
  PROPSHEETPAGEW description = page.description();
  EXPECT_EQ(PropertyPage::pageDialogProc(window.handle(), WM_APP, 0, 0), FALSE) << "not bound yet";
  EXPECT_EQ(page.appMessages, 0);
  EXPECT_EQ(PropertyPage::pageDialogProc(window.handle(), WM_INITDIALOG, 0, 0), FALSE);
  EXPECT_EQ(page.handle(), nullptr);
  EXPECT_EQ(PropertyPage::pageDialogProc(window.handle(), WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&description)),
            TRUE);
  EXPECT_EQ(page.handle(), window.handle());
  EXPECT_EQ(PropertyPage::pageDialogProc(window.handle(), WM_APP, 0, 0), TRUE);
  EXPECT_EQ(page.appMessages, 1);
  page.attach(nullptr, false);
}

}  // namespace
