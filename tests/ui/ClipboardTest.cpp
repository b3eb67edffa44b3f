#include <gtest/gtest.h>

#include <string>

#include "base/Unicode.h"
#include "tests/support/ClipboardHolder.h"
#include "tests/ui/TestDialog.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Clipboard.h"

using brix::Clipboard;
using testing_support::ClipboardHolder;

namespace {

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { ui_testing::initCommonControls(); }
  ui_testing::TestDialog dialog;
  ui_testing::ModelessDialog window{&dialog};
};

TEST_F(ClipboardTest, TextGoesOnAsUtf16WithWindowsLineBreaks) {
  const struct {
    const char* utf8;
    const wchar_t* expected;
  } cases[] = {
      {"Path  clip.avi\nStatus: Ok\n", L"Path  clip.avi\r\nStatus: Ok\r\n"},
      {"already\r\nbroken\n\nlines", L"already\r\nbroken\r\n\r\nlines"},
      {"\n", L"\r\n"},
      {"Gr\xC3\xB6\xC3\x9F"
       "e \xE2\x9C\x93",
       L"Gr\u00F6\u00DFe \u2713"},
      {"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    {
      Clipboard clipboard(window.handle());
      clipboard.setText(c.utf8);
    }
    // Text, even when empty.
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(brix::toWide(testing_support::clipboardText()), c.expected);
  }
}

TEST_F(ClipboardTest, AMomentsHoldByAnotherProgramIsWaitedFor) {
  // As a clipboard manager reading what was just copied; a hold that does
  // not end is the page's test.
  {
    const ClipboardHolder moment(20);
    ASSERT_TRUE(moment.opened());
    Clipboard clipboard(window.handle());
    clipboard.setText("after");
  }
  EXPECT_EQ(testing_support::clipboardText(), "after");
}

}  // namespace
