// The tables of the built packages, read through the system's installer:
// what Windows Installer decides by when it upgrades (file versions and
// languages, the product and package codes) and the names it stores.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/com/VersionResource.h"
#include "tests/installer/Packages.h"
#include "tests/installer/WindowsInstaller.h"

namespace {

using installer_test::Package;
using installer_test::packageRows;
using Lines = std::vector<std::string>;

// "1.2.3.0 1033": the file version and language of a binary's version
// resource, as the system reads them.
std::string versionOf(const std::string& binary) {
  const shell_host::VersionResource resource(binary);
  const VS_FIXEDFILEINFO& fixed = resource.fixed();
  return std::to_string(HIWORD(fixed.dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed.dwFileVersionMS)) + "." +
         std::to_string(HIWORD(fixed.dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed.dwFileVersionLS)) + " " +
         std::to_string(resource.language());
}

// An 8.3 name as the installer's short names must be.
bool isShortName(const std::string& name) {
  static const std::regex shortName(R"([^\\?|><:/*"+,;=\[\]. ]{1,8}(\.[^\\?|><:/*"+,;=\[\]. ]{1,3})?)");
  return std::regex_match(name, shortName);
}

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

class PackageTables : public ::testing::TestWithParam<Package> {};

TEST_P(PackageTables, EachBinaryCarriesTheVersionOfItsOwnResourceAndOnlyOtherFilesAHash) {
  const std::string& package = GetParam().path;
  std::set<std::string> hashed;
  for (const auto& row : packageRows(package, "SELECT `File_` FROM `MsiFileHash`")) hashed.insert(row.at(0));
  Lines files;
  for (const auto& row : packageRows(package, "SELECT `File`, `Version`, `Language` FROM `File`")) {
    files.push_back(row.at(0) + " " + row.at(1) + " " + row.at(2) + (hashed.count(row.at(0)) ? " hashed" : ""));
  }
  std::sort(files.begin(), files.end());
  // The files' own versions, which the higher package's version is not.
  EXPECT_EQ(files, (Lines{"Dll32 " + versionOf(QUARNEL_DLL32), "Dll64 " + versionOf(QUARNEL_DLL), "License   hashed",
                          "Readme   hashed", "Tool " + versionOf(QUARNEL_TOOL)}));
}

TEST_P(PackageTables, NamesThatAreNotShortCarryAShortNameOfTheirOwnInTheirFolder) {
  const std::string& package = GetParam().path;
  std::map<std::string, std::string> folderOf;
  for (const auto& row : packageRows(package, "SELECT `Component`, `Directory_` FROM `Component`")) {
    folderOf[row.at(0)] = row.at(1);
  }
  // (name as stored, the folder it is in), for every file and folder.
  std::vector<std::pair<std::string, std::string>> names;
  for (const auto& row : packageRows(package, "SELECT `FileName`, `Component_` FROM `File`")) {
    names.emplace_back(row.at(0), folderOf.at(row.at(1)));
  }
  for (const auto& row : packageRows(package, "SELECT `DefaultDir`, `Directory_Parent` FROM `Directory`")) {
    // The installer's own names for the parent itself and the source.
    if (row.at(0) != "." && row.at(0) != "SourceDir") names.emplace_back(row.at(0), row.at(1));
  }
  ASSERT_EQ(names.size(), 7u);

  Lines faults;
  std::set<std::pair<std::string, std::string>> taken;
  for (const auto& [name, folder] : names) {
    const std::string::size_type bar = name.find('|');
    const std::string shortName = name.substr(0, bar);
    if (!isShortName(shortName)) faults.push_back(name + ": no valid short name");
    if (bar != std::string::npos && isShortName(name.substr(bar + 1))) faults.push_back(name + ": needs no short name");
    if (!taken.emplace(folder, upper(shortName)).second) faults.push_back(name + ": short name taken in " + folder);
  }
  EXPECT_EQ(faults, Lines{});
}

INSTANTIATE_TEST_SUITE_P(Built, PackageTables,
                         ::testing::Values(installer_test::first, installer_test::rebuilt, installer_test::higher));

// Each package is a product of its own, with codes in the form the installer
// requires. That they share one upgrade code the upgrades of the installer
// tests show.
TEST(PackageCodes, EveryPackageHasAProductAndAPackageCodeOfItsOwn) {
  const std::regex code(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})");
  std::set<std::string> codes;
  for (const Package& package : {installer_test::first, installer_test::rebuilt, installer_test::higher}) {
    for (const std::string& own :
         {installer_test::packageProperty(package.path, "ProductCode"), installer_test::packageCode(package.path)}) {
      EXPECT_TRUE(std::regex_match(own, code)) << own;
      EXPECT_TRUE(codes.insert(own).second) << own << " is not unique";
    }
  }
}

}  // namespace
