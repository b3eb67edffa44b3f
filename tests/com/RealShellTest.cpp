// "Quarnel AVI.dll" in the system's own shell: registered with regsvr32
// from a folder whose name has spaces and characters beyond ASCII, the
// Properties dialog of an .avi file, opened through the shell, has the
// "AVI" page with what quarnel-avi reports; once unregistered, it has none.
// Registers per machine in the test prefix, and removes that again.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "tests/com/DllCopy.h"
#include "tests/com/RealShell.h"
#include "tests/support/TempDirectory.h"

namespace {

bool loaded(const std::string& dll) {
  return GetModuleHandleW(brix::toWide(dll).c_str()) != nullptr;
}

// The class's server as the registry below root names it, if at all.
std::optional<std::string> serverPath(HKEY root) {
  wchar_t path[1024] = {};
  DWORD size = sizeof path;
  if (RegGetValueW(root, L"Software\\Classes\\CLSID\\{C81B959F-8750-4E75-89FE-F44CB8354139}\\InprocServer32", nullptr,
                   RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return brix::fromWide(path);
}

class RealShell : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    shell_host::initCommonControls();
    clip = files.copyOf(std::string(QUARNEL_TEST_DATA_DIR) + "/ffmpeg-mjpeg-pcm.avi", "clip.avi");
  }
  void TearDown() override {
    // Unloads the DLLs that COM loaded, so that the copy can go.
    OleUninitialize();
  }

  shell_host::DllCopy copy{QUARNEL_DLL};
  testing_support::TempDirectory files;
  std::string clip;
};

TEST_F(RealShell, RegisteredTheDialogHasTheAVIPageAndUnregisteredItHasNone) {
  const shell_host::WineAviAssociation association;
  shell_host::Regsvr32Registration registration(copy.path());

  bool copyLoaded = false;
  const shell_host::PropertiesDialog registered =
      shell_host::openProperties(clip, [&](HWND) { copyLoaded = loaded(copy.path()); });
  ASSERT_TRUE(registered.shown);
  EXPECT_TRUE(copyLoaded) << "the shell did not load the registered copy";
  ASSERT_TRUE(registered.avi) << "tabs: " << ::testing::PrintToString(registered.tabs);
  const shell_host::ToolReport tool = shell_host::toolReport(QUARNEL_TOOL, clip);
  EXPECT_EQ(registered.avi->status, "Ok");
  EXPECT_EQ(tool.status, "Ok");
  ASSERT_EQ(registered.avi->rows.size(), tool.rows.size());
  for (std::size_t i = 0; i < tool.rows.size(); ++i) EXPECT_EQ(registered.avi->rows[i], tool.rows[i]) << "row " << i;
  EXPECT_EQ(registered.avi->rows.front().value, clip);

  registration.unregister();
  const shell_host::PropertiesDialog unregistered = shell_host::openProperties(clip);
  EXPECT_TRUE(unregistered.shown);
  EXPECT_FALSE(unregistered.avi) << "tabs: " << ::testing::PrintToString(unregistered.tabs);
}

// Wine's shell reads classes from the machine's part of the registry only,
// so per user the test stops at what regsvr32 writes and removes.
TEST_F(RealShell, PerUserRegsvr32WritesTheCurrentUsersEntriesOnly) {
  shell_host::Regsvr32Registration registration(copy.path(), {"/n", "/i:user"});
  EXPECT_EQ(serverPath(HKEY_CURRENT_USER), copy.path());
  EXPECT_EQ(serverPath(HKEY_LOCAL_MACHINE), std::nullopt);
  registration.unregister();
  EXPECT_EQ(serverPath(HKEY_CURRENT_USER), std::nullopt);
}

}  // namespace
