// The extension object in this process, without a DLL between: what it
// keeps of each Initialize.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/ModuleHandle.h"
#include "com/AVIPropertySheetExtension.h"
#include "tests/com/ShellHost.h"

namespace {

using shell_host::ComRef;

class ExtensionObject : public ::testing::Test {
 protected:
  void SetUp() override {
    brix::setModuleHandle(GetModuleHandleW(nullptr));
    makeExtension();
  }
  void TearDown() override { brix::setModuleHandle(nullptr); }

  // A new extension object in place of the one held.
  void makeExtension() {
    IUnknown* created = brix::CreateInstanceImpl<AVIPropertySheetExtension>::createInstance(nullptr);
    object = static_cast<AVIPropertySheetExtension*>(static_cast<brix::IUnknownImpl*>(created));
    init.reset(static_cast<IShellExtInit*>(object));
    init->AddRef();
    sheet.reset(static_cast<IShellPropSheetExt*>(object));
    sheet->AddRef();
    created->Release();
  }

  AVIPropertySheetExtension* object = nullptr;
  ComRef<IShellExtInit> init;
  ComRef<IShellPropSheetExt> sheet;
};

TEST_F(ExtensionObject, EachInitializeStartsFromAnEmptySelection) {
  // none: a data object without CF_HDROP data.
  using Selection = std::optional<std::vector<std::string>>;
  const Selection none;
  const struct {
    const char* what;
    std::vector<Selection> calls;
    std::string kept;
  } cases[] = {
      {"the same file twice, as a host may", {{{"C:\\a.avi"}}, {{"C:\\a.avi"}}}, "C:\\a.avi"},
      {"another file the second time", {{{"C:\\a.avi"}}, {{"C:\\b.AVI"}}}, "C:\\b.AVI"},
      {"two names in one call", {{{"C:\\a.avi", "C:\\b.avi"}}}, ""},
      {"one name after two", {{{"C:\\a.avi", "C:\\b.avi"}}, {{"C:\\a.avi"}}}, "C:\\a.avi"},
      {"no avi name after one", {{{"C:\\a.avi"}}, {{"C:\\notes.txt"}}}, ""},
      {"data without files keeps the name", {{{"C:\\a.avi"}}, none}, "C:\\a.avi"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    makeExtension();
    for (const Selection& names : c.calls) {
      const ComRef<IDataObject> data = names ? shell_host::fileDropData(*names) : shell_host::dataWithoutFiles();
      init->Initialize(nullptr, data.get(), HKEY_CLASSES_ROOT);
    }
    EXPECT_EQ(object->fileName(), c.kept);
  }
}

}  // namespace
