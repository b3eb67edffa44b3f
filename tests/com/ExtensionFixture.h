#pragma once
// What the tests of "Quarnel AVI.dll" in a host of their own share: the
// common controls as the shell has them, no stored column widths before or
// after a test, a temporary folder, and the DLL, loaded for each test.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/com/ShellHost.h"
#include "tests/support/TempDirectory.h"

namespace shell_host {

class ExtensionFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    initCommonControls();
    clearColumnWidths();
    dll.emplace(QUARNEL_DLL);
  }
  void TearDown() override {
    dll.reset();
    clearColumnWidths();
  }

  // A file of tests/data.
  static std::string dataFile(const std::string& name) { return std::string(QUARNEL_TEST_DATA_DIR) + "/" + name; }

  // A copy of a file of tests/data in the temporary folder, under name.
  std::string copyOf(const std::string& source, const std::string& name) const {
    return temp.copyOf(dataFile(source), name);
  }

  // The pages a new extension adds for this selection; the extension is
  // released again.
  std::vector<HPROPSHEETPAGE> pagesFor(const std::vector<std::string>& names) const {
    return shell_host::pagesFor(dll->createExtension().get(), names);
  }

  // Shows the one page of the selection, or of the data, and reads it back.
  PageContents showPage(const std::vector<std::string>& names) const {
    return shell_host::showPage(*dll, fileDropData(names).get());
  }
  PageContents showPage(IDataObject* data) const { return shell_host::showPage(*dll, data); }

  testing_support::TempDirectory temp;
  std::optional<ExtensionDll> dll;
};

}  // namespace shell_host
