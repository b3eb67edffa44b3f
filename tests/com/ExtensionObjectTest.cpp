// The extension object in this process, without a DLL between: what it
// keeps of each Initialize, the interfaces it answers, and what AddPages
// answers when the page can't be made. This program carries no DLL manifest,
// so making a page here fails with the system's own error for that.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/LiveObject.h"
#include "base/ModuleHandle.h"
#include "com/AVIPropertySheetExtension.h"
#include "tests/com/ShellHost.h"

namespace {

std::atomic<bool> refuseNothrowAllocations{false};

}  // namespace

// What the extension allocates with new (std::nothrow) fails while refused;
// otherwise it comes from the usual operator new, which delete matches.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (refuseNothrowAllocations) return nullptr;
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

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

TEST_F(ExtensionObject, EveryInterfaceHasTheSameIdentity) {
  void* fromInit = nullptr;
  void* fromSheet = nullptr;
  ASSERT_EQ(init->QueryInterface(IID_IUnknown, &fromInit), S_OK);
  ASSERT_EQ(sheet->QueryInterface(IID_IUnknown, &fromSheet), S_OK);
  EXPECT_EQ(fromInit, fromSheet);
  static_cast<IUnknown*>(fromInit)->Release();
  static_cast<IUnknown*>(fromSheet)->Release();
}

TEST_F(ExtensionObject, APageThatCanNotBeMadeIsReportedAndLeavesNothing) {
  // What the system says of this program's missing DLL manifest.
  ACTCTXW manifest = {};
  manifest.cbSize = sizeof manifest;
  manifest.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  manifest.hModule = GetModuleHandleW(nullptr);
  manifest.lpResourceName = MAKEINTRESOURCEW(2);
  ASSERT_EQ(CreateActCtxW(&manifest), INVALID_HANDLE_VALUE) << "this program has a DLL manifest";
  const HRESULT noManifest = HRESULT_FROM_WIN32(GetLastError());
  ASSERT_TRUE(FAILED(noManifest));

  const ComRef<IDataObject> data = shell_host::fileDropData({"C:\\a.avi"});
  ASSERT_EQ(init->Initialize(nullptr, data.get(), HKEY_CLASSES_ROOT), S_OK);
  const struct {
    const char* what;
    bool refuseMemory;
    HRESULT expected;
  } cases[] = {
      {"no memory for the page", true, E_OUTOFMEMORY},
      {"no activation context for the page", false, noManifest},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const LONG before = brix::liveObjectCount();
    shell_host::PageCollector collector;
    refuseNothrowAllocations = c.refuseMemory;
    const HRESULT result = sheet->AddPages(&shell_host::PageCollector::add, reinterpret_cast<LPARAM>(&collector));
    refuseNothrowAllocations = false;
    EXPECT_EQ(result, c.expected);
    EXPECT_TRUE(collector.pages.empty());
    EXPECT_EQ(brix::liveObjectCount(), before);
  }
}

}  // namespace
