// The MSI package under the system's own installer, in a Wine prefix made
// for this run that nothing else has touched, so that no registration left
// by another test can make it pass: what it installs and where, the
// registry values in both views, the "AVI" page in the system's own shell,
// upgrades and downgrades, and removal that leaves the machine as it was,
// with the values of other programs in the same keys untouched.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "com/ExtensionRegistration.h"
#include "quarnel/Version.h"
#include "tests/com/RealShell.h"
#include "tests/com/RegistryContents.h"
#include "tests/com/VersionResource.h"
#include "tests/installer/MachineState.h"
#include "tests/installer/Packages.h"
#include "tests/installer/WindowsInstaller.h"
#include "tests/support/TempDirectory.h"

namespace {

using installer_test::first;
using installer_test::higher;
using installer_test::MachineState;
using installer_test::Package;
using installer_test::rebuilt;
using shell_host::RegistryLines;
using Lines = std::vector<std::string>;

constexpr char other[] = "{0F6D1B0C-6C2E-4B7A-9D43-2B1E5A7C9E11}";
constexpr char classes[] = "Software\\Classes";
constexpr char approved[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr char avis[] = "Software\\Classes\\SystemFileAssociations\\.avi";

// msiexec's exit codes, as DWORDs.
constexpr DWORD succeeded = ERROR_SUCCESS;
constexpr DWORD installFailed = ERROR_INSTALL_FAILURE;
constexpr DWORD unknownProduct = ERROR_UNKNOWN_PRODUCT;

// A package installed, or a package or product code removed, quietly as an
// administrator's script does it: msiexec's exit code.
DWORD install(const std::string& package) {
  return installer_test::msiexec({"/i", package, "/qn"});
}
DWORD uninstall(const std::string& packageOrProduct) {
  return installer_test::msiexec({"/x", packageOrProduct, "/qn"});
}

std::string folder64() {
  return installer_test::programFiles64() + "\\Quarnel AVI";
}
std::string folder32() {
  return installer_test::programFiles32() + "\\Quarnel AVI";
}

std::string contentsOf(const std::string& path) {
  try {
    return testing_support::readFile(path);
  } catch (const std::runtime_error&) {
    return "(missing: " + path + ")";
  }
}

// The files a package installs, and the files they are copies of.
struct InstalledFile {
  const char* line;
  std::string installed;
  std::string source;
};
std::vector<InstalledFile> installedFiles(const Package& package) {
  const std::string source = QUARNEL_SOURCE_DIR;
  return {
      {"64 Quarnel AVI\\Quarnel AVI.dll", folder64() + "\\Quarnel AVI.dll", QUARNEL_DLL},
      {"64 Quarnel AVI\\quarnel-avi.exe", folder64() + "\\quarnel-avi.exe", QUARNEL_TOOL},
      {"64 Quarnel AVI\\README.md", folder64() + "\\README.md", package.readme},
      {"64 Quarnel AVI\\LICENSE", folder64() + "\\LICENSE", source + "/LICENSE"},
      {"32 Quarnel AVI\\Quarnel AVI.dll", folder32() + "\\Quarnel AVI.dll", QUARNEL_DLL32},
  };
}

// In each view, what registering its DLL from where it is installed writes.
RegistryLines installedRegistry() {
  RegistryLines lines;
  for (const auto& [view, dll] : {std::pair{"64", folder64()}, std::pair{"32", folder32()}}) {
    for (const brix::RegistryEntry& entry : extensionRegistryEntries(dll + "\\Quarnel AVI.dll")) {
      const std::string key = entry.key.empty() ? entry.base : entry.base + "\\" + entry.key;
      lines.push_back(std::string(view) + " " +
                      (entry.valueName ? shell_host::textValueLine(key, *entry.valueName, entry.text) : key));
    }
  }
  return shell_host::sorted(lines);
}

// What the Properties dialog of a file showed, opened through the shell in
// a process of its own, as the shell's: the DLL it loads goes with it.
struct ShellView {
  bool shown = false;
  Lines tabs;
  std::optional<std::string> module;
  std::optional<shell_host::ToolReport> page;
};

ShellView propertiesOf(const std::string& path) {
  const shell_host::ProgramRun run = shell_host::runProgram(QUARNEL_PROPERTIES_OF, {path});
  if (run.exitCode != 0) throw std::runtime_error("properties-of failed for " + path);
  const nlohmann::json shown = nlohmann::json::parse(run.output);
  ShellView view;
  view.shown = shown.at("shown").get<bool>();
  view.tabs = shown.at("tabs").get<Lines>();
  if (!shown.at("module").is_null()) view.module = shown.at("module").get<std::string>();
  if (!shown.at("page").is_null()) view.page = shell_host::reportFromJson(shown.at("page"));
  return view;
}

class Installer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Another program's class, handler, approval and file type value, in
    // the keys the package writes to, in both views.
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      shell_host::putRegistryValue(HKEY_LOCAL_MACHINE, std::string(classes) + "\\CLSID\\" + other + "\\InprocServer32",
                                   "", "C:\\Other\\other.dll", REG_SZ, view);
      shell_host::putRegistryValue(HKEY_LOCAL_MACHINE, std::string(avis) + "\\shellex\\PropertySheetHandlers\\" + other,
                                   std::nullopt, "", REG_SZ, view);
      shell_host::putRegistryValue(HKEY_LOCAL_MACHINE, avis, "PerceivedType", "video", REG_SZ, view);
      shell_host::putRegistryValue(HKEY_LOCAL_MACHINE, approved, other, "Another extension", REG_SZ, view);
    }
  }

  void SetUp() override {
    upgradeCode = installer_test::packageProperty(first.path, "UpgradeCode");
    ASSERT_EQ(installer_test::installedProducts(upgradeCode), Lines{}) << "installed before the test";
    clip = files.copyOf(std::string(QUARNEL_TEST_DATA_DIR) + "/ffmpeg-mjpeg-pcm.avi", "clip.avi");
    before = MachineState::now();
  }

  void TearDown() override {
    // Whatever happened, the next test starts with nothing installed.
    for (const std::string& product : installer_test::installedProducts(upgradeCode)) {
      uninstall(product);
    }
  }

  // Exactly the package's files and registry values were added, nothing
  // was taken away, and the installer knows the package as the one product
  // of its upgrade code with one entry in "Programs and Features".
  void expectInstalled(const Package& package) {
    const MachineState now = MachineState::now();
    Lines files = {"32 Quarnel AVI", "64 Quarnel AVI"};
    for (const InstalledFile& file : installedFiles(package)) {
      files.push_back(file.line);
      EXPECT_TRUE(contentsOf(file.installed) == contentsOf(file.source))
          << file.installed << " differs from the build's";
    }
    const installer_test::Difference fileChanges = installer_test::difference(before.files, now.files);
    EXPECT_EQ(fileChanges.added, shell_host::sorted(files));
    EXPECT_EQ(fileChanges.removed, Lines{});
    const installer_test::Difference registryChanges = installer_test::difference(before.machine, now.machine);
    EXPECT_EQ(registryChanges.added, installedRegistry());
    EXPECT_EQ(registryChanges.removed, Lines{});
    EXPECT_EQ(now.user, before.user);

    EXPECT_EQ(installer_test::installedProducts(upgradeCode),
              Lines{installer_test::packageProperty(package.path, "ProductCode")});
    // Named as the DLL's version resource names the product.
    const std::string dll = folder64() + "\\Quarnel AVI.dll";
    const shell_host::VersionResource version(dll);
    const auto entries = installer_test::uninstallEntries(version.text("ProductName"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].displayVersion, package.version);
    EXPECT_EQ(entries[0].publisher, version.text("CompanyName"));
  }

  // Every file, folder and registry value the package wrote is gone, and
  // everything else is as it was.
  void expectRemoved() {
    const MachineState now = MachineState::now();
    EXPECT_EQ(now.files, before.files);
    EXPECT_EQ(now.machine, before.machine);
    EXPECT_EQ(installer_test::installedProducts(upgradeCode), Lines{});
    EXPECT_EQ(installer_test::uninstallEntries("Quarnel AVI").size(), 0u);
  }

  // ".avi" read by Wine's shell the way Windows reads it.
  const shell_host::WineAviAssociation association;
  testing_support::TempDirectory files;
  std::string clip;
  std::string upgradeCode;
  MachineState before;
};

TEST_F(Installer, InstalledTheShellShowsThePageAndRemovedNothingIsLeft) {
  ASSERT_EQ(install(first.path), succeeded);
  expectInstalled(first);
  // One version for the package and the files it installs.
  EXPECT_EQ(shell_host::VersionResource(folder64() + "\\Quarnel AVI.dll").text("ProductVersion"), first.version);
  EXPECT_EQ(shell_host::VersionResource(folder64() + "\\quarnel-avi.exe").text("ProductVersion"), first.version);

  const ShellView installed = propertiesOf(clip);
  ASSERT_TRUE(installed.shown);
  EXPECT_EQ(installed.module, folder64() + "\\Quarnel AVI.dll");
  ASSERT_TRUE(installed.page) << "tabs: " << ::testing::PrintToString(installed.tabs);
  // The installed tool and the installed page say the same.
  const shell_host::ToolReport tool = shell_host::toolReport(folder64() + "\\quarnel-avi.exe", clip);
  EXPECT_EQ(installed.page->status, "Ok");
  EXPECT_EQ(installed.page->rows, tool.rows);
  const RegistryLines userWithPage = MachineState::now().user;

  ASSERT_EQ(uninstall(first.path), succeeded);
  expectRemoved();
  // The page keeps its column widths per user; removal leaves users' data.
  EXPECT_EQ(MachineState::now().user, userWithPage);
  const ShellView removed = propertiesOf(clip);
  EXPECT_TRUE(removed.shown);
  EXPECT_FALSE(removed.page) << "tabs: " << ::testing::PrintToString(removed.tabs);
  EXPECT_FALSE(removed.module);
}

TEST_F(Installer, AnotherBuildOrAHigherVersionReplacesTheInstalledOneAndALowerOneIsRefused) {
  ASSERT_EQ(install(first.path), succeeded);
  ASSERT_EQ(install(rebuilt.path), succeeded);
  expectInstalled(rebuilt);
  ASSERT_EQ(install(higher.path), succeeded);
  expectInstalled(higher);

  EXPECT_EQ(install(first.path), installFailed);
  const installer_test::InstallAttempt downgrade = installer_test::installShowingMessages(first.path);
  EXPECT_EQ(downgrade.exitCode, installFailed);
  EXPECT_EQ(downgrade.messages, Lines{"A newer version of Quarnel AVI is already installed. To install this version, "
                                      "remove the newer one first in Programs and Features."});
  expectInstalled(higher);

  ASSERT_EQ(uninstall(higher.path), succeeded);
  expectRemoved();
}

TEST_F(Installer, InstallingTwiceAndRemovingTwiceEndWithTheInstallersOwnResults) {
  ASSERT_EQ(install(first.path), succeeded);
  EXPECT_EQ(install(first.path), succeeded);
  expectInstalled(first);

  // As "Programs and Features" removes it: by product code.
  const std::string product = installer_test::packageProperty(first.path, "ProductCode");
  EXPECT_EQ(uninstall(product), succeeded);
  EXPECT_EQ(uninstall(product), unknownProduct);
  expectRemoved();
}

TEST_F(Installer, RemovingAfterTheFilesWereDeletedByHandRemovesTheRest) {
  // What another program keeps below the class's key stays, and so does the key.
  for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    shell_host::putRegistryValue(HKEY_LOCAL_MACHINE,
                                 std::string(classes) + "\\CLSID\\{C81B959F-8750-4E75-89FE-F44CB8354139}\\Notes",
                                 "Kept", "by another program", REG_SZ, view);
  }
  before = MachineState::now();
  ASSERT_EQ(install(first.path), succeeded);
  for (const std::string& folder : {folder64(), folder32()}) {
    std::filesystem::remove_all(std::filesystem::path(brix::toWide(folder)));
  }
  EXPECT_EQ(uninstall(first.path), succeeded);
  expectRemoved();
}

}  // namespace
