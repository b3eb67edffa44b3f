#pragma once
// The system's installer as an administrator meets it: msiexec and its exit
// codes, the products it knows by upgrade code, and the entries of
// "Programs and Features".
#include <windows.h>

#include <string>
#include <vector>

namespace installer_test {

// msiexec.exe of the system with the arguments; its exit code.
DWORD msiexec(const std::vector<std::string>& arguments);

// The rows a query on the package's own database returns, each row its
// fields as text (numbers in decimal, an empty field as ""). Throws
// std::runtime_error when the query fails.
using Rows = std::vector<std::vector<std::string>>;
Rows packageRows(const std::string& package, const std::string& query);

// A property of the package's own database ("ProductCode", "UpgradeCode",
// "ProductVersion", ...). Throws std::runtime_error when there is none.
std::string packageProperty(const std::string& package, const std::string& name);

// The package code: the revision number of its summary information.
std::string packageCode(const std::string& package);

// msiexec /i with the basic user interface (/qb), as a user who opens the
// package sees it: the texts of the message boxes it shows (each answered
// with OK), and its exit code. Throws std::runtime_error when it has not
// ended within a minute.
struct InstallAttempt {
  DWORD exitCode;
  std::vector<std::string> messages;
};
InstallAttempt installShowingMessages(const std::string& package);

// The product codes of the installed products with this upgrade code.
std::vector<std::string> installedProducts(const std::string& upgradeCode);

// One entry of "Programs and Features" (the uninstall list, in either
// registry view).
struct UninstallEntry {
  std::string displayName;
  std::string displayVersion;
  std::string publisher;
  std::string uninstallString;
};
std::vector<UninstallEntry> uninstallEntries(const std::string& displayName);

}  // namespace installer_test
