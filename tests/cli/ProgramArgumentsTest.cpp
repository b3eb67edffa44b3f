#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/ProgramArguments.h"

// Elsewhere the arguments are argv as it stands: there is nothing to split.
#ifdef _WIN32

namespace {

TEST(ProgramArguments, TheWideCommandLineIsSplitAndGivenAsUtf8) {
  const struct {
    const wchar_t* commandLine;
    std::vector<std::string> arguments;
  } cases[] = {
      {L"quarnel-avi.exe", {}},
      {L"quarnel-avi.exe clip.avi --json", {"clip.avi", "--json"}},
      {L"\"C:\\Program Files\\q.exe\" \"my clip.avi\" \"\"", {"my clip.avi", ""}},
      {L"q.exe \u041E\u0442\u043F\u0443\u0441\u043A.avi \u6771\u4EAC.avi \xD83C\xDFAC.avi",
       {"\xD0\x9E\xD1\x82\xD0\xBF\xD1\x83\xD1\x81\xD0\xBA.avi", "\xE6\x9D\xB1\xE4\xBA\xAC.avi",
        "\xF0\x9F\x8E\xAC.avi"}},
      // Backslashes count only before a quote: two give one, and the quote
      // opens a quoted part.
      {L"q.exe C:\\v\\a.avi a\\\\\"b c\"", {"C:\\v\\a.avi", "a\\b c"}},
  };
  for (const auto& c : cases) EXPECT_EQ(argumentsOfCommandLine(c.commandLine), c.arguments);
}

}  // namespace

#endif
