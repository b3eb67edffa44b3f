#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "base/FormatString.h"
#include "base/RegistryKey.h"
#include "base/Unicode.h"
#include "base/WindowsError.h"

using brix::RegistryKey;
using brix::WindowsError;

static_assert(!std::is_copy_constructible_v<RegistryKey>, "a key has one owner");
static_assert(!std::is_copy_assignable_v<RegistryKey>, "a key has one owner");

namespace {

constexpr const char* testRoot = "Software\\Quarnel AVI tests";

std::string plainMessage(const WindowsError& error) {
  return error.std::runtime_error::what();
}

// Each test works under a key of its own below HKEY_CURRENT_USER, removed
// with everything in it afterwards.
class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path = brix::formatString("%s\\%s-%lu", testRoot, info->name(), GetCurrentProcessId());
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    // The shared parent goes once no test uses it any more.
    RegDeleteKeyA(HKEY_CURRENT_USER, testRoot);
  }
  // Creates the test key with the system's own call and writes one value.
  void writeRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
  }
  bool exists(const std::string& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  void create(RegistryKey& key, const std::string& keyPath, DWORD* disposition = nullptr) {
    key.create(HKEY_CURRENT_USER, keyPath.c_str(), nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
               disposition);
  }

  std::string path;
};

// --- Opening -----------------------------------------------------------------

TEST_F(RegistryKeyTest, ADefaultKeyHoldsNothing) {
  const RegistryKey key;
  EXPECT_FALSE(key.owned());
  EXPECT_EQ(key.key(), nullptr);
}

TEST_F(RegistryKeyTest, OpeningAMissingKeyThrowsNotFound) {
  try {
    const RegistryKey key(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
    FAIL() << "opened a missing key";
  } catch (const WindowsError& e) {
    EXPECT_EQ(e.code(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(plainMessage(e), "Registry key not found");
    EXPECT_EQ(std::string(e.what()).rfind("Registry key not found: ", 0), 0u) << e.what();
  }
}

TEST_F(RegistryKeyTest, AnyOtherOpenFailureCarriesItsCodeAndNoMessage) {
  // A parent handle that is no key.
  const auto notAKey = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x7ff0));
  try {
    const RegistryKey key(notAKey, "Software", KEY_READ);
    FAIL() << "opened a key under a handle that is no key";
  } catch (const WindowsError& e) {
    EXPECT_EQ(e.code(), static_cast<std::uint32_t>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(plainMessage(e), "");
    EXPECT_EQ(std::string(e.what()).rfind(": ", 0), 0u) << e.what();
  }
}

TEST_F(RegistryKeyTest, OpeningAnExistingKeyOwnsIt) {
  const DWORD number = 7;
  writeRaw("Seven", REG_DWORD, &number, sizeof number);
  RegistryKey key(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
  EXPECT_TRUE(key.owned());
  EXPECT_NE(key.key(), nullptr);
  EXPECT_EQ(key.queryDWORD("Seven"), 7u);
}

// --- Reading -----------------------------------------------------------------

TEST_F(RegistryKeyTest, ADWORDReadsAsItsNumber) {
  const DWORD number = 0x12345678;
  writeRaw("Width", REG_DWORD, &number, sizeof number);
  const DWORD all = 0xFFFFFFFF;
  writeRaw("All", REG_DWORD, &all, sizeof all);
  RegistryKey key(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
  EXPECT_EQ(key.queryDWORD("Width"), 0x12345678u);
  EXPECT_EQ(key.queryDWORD("All"), 0xFFFFFFFFu);
}

TEST_F(RegistryKeyTest, AMissingValueThrowsNotFoundWithoutMessage) {
  const DWORD number = 1;
  writeRaw("Present", REG_DWORD, &number, sizeof number);
  RegistryKey key(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
  try {
    key.queryDWORD("Absent");
    FAIL() << "read a missing value";
  } catch (const WindowsError& e) {
    EXPECT_EQ(e.code(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(plainMessage(e), "");
  }
}

TEST_F(RegistryKeyTest, AValueLongerThanFourBytesThrowsMoreData) {
  const char text[] = "200 pixels";
  writeRaw("Text", REG_SZ, text, sizeof text);
  RegistryKey key(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
  try {
    key.queryDWORD("Text");
    FAIL() << "read ten bytes into four";
  } catch (const WindowsError& e) {
    EXPECT_EQ(e.code(), static_cast<std::uint32_t>(ERROR_MORE_DATA));
    EXPECT_EQ(plainMessage(e), "");
  }
}

TEST_F(RegistryKeyTest, AShorterValueReadsWithZeroHighBytes) {
  const unsigned char bytes[] = {0xAA, 0xBB};
  writeRaw("Short", REG_BINARY, bytes, sizeof bytes);
  RegistryKey key(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
  EXPECT_EQ(key.queryDWORD("Short"), 0xBBAAu);
}

// --- Creating and writing ----------------------------------------------------

TEST_F(RegistryKeyTest, CreateMakesTheKeyAndWritesDWORDs) {
  RegistryKey key;
  DWORD disposition = 0;
  create(key, path, &disposition);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  EXPECT_TRUE(key.owned());
  key.setDWORD("ElementWidth", 100);
  key.setDWORD("ValueWidth", 0xDEADBEEF);

  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
  DWORD type = 0, value = 0, size = sizeof value;
  ASSERT_EQ(RegQueryValueExA(raw, "ValueWidth", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(value, 0xDEADBEEFu);
  RegCloseKey(raw);

  // Creating an existing key opens it.
  RegistryKey again;
  create(again, path, &disposition);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  EXPECT_EQ(again.queryDWORD("ElementWidth"), 100u);
}

TEST_F(RegistryKeyTest, SetValueWritesTheGivenType) {
  RegistryKey key;
  create(key, path);
  const char text[] = "Ok";
  key.setValue("Status", text, sizeof text, REG_SZ);
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
  char read[8] = {};
  DWORD type = 0, size = sizeof read;
  ASSERT_EQ(RegQueryValueExA(raw, "Status", nullptr, &type, reinterpret_cast<BYTE*>(read), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(read), "Ok");
  RegCloseKey(raw);
}

TEST_F(RegistryKeyTest, WritingThroughAReadOnlyKeyThrowsItsCode) {
  const DWORD number = 1;
  writeRaw("Present", REG_DWORD, &number, sizeof number);
  RegistryKey key(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
  try {
    key.setDWORD("Present", 2);
    FAIL() << "wrote through a read-only key";
  } catch (const WindowsError& e) {
    EXPECT_EQ(e.code(), static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(plainMessage(e), "");
  }
  EXPECT_EQ(key.queryDWORD("Present"), 1u);
}

TEST_F(RegistryKeyTest, CreateOverAHeldKeyClosesItFirst) {
  RegistryKey key;
  create(key, path + "\\First");
  const HKEY first = key.key();
  key.setDWORD("Which", 1);
  create(key, path + "\\Second");
  EXPECT_TRUE(key.owned());
  key.setDWORD("Which", 2);
  // The first handle is closed: either it is no key any more, or the system
  // reused its value for the second.
  if (key.key() != first) {
    DWORD subKeys = 0;
    EXPECT_EQ(RegQueryInfoKeyA(first, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_INVALID_HANDLE);
  }
  RegistryKey second(HKEY_CURRENT_USER, (path + "\\Second").c_str(), KEY_READ);
  EXPECT_EQ(second.queryDWORD("Which"), 2u);
  RegistryKey firstAgain(HKEY_CURRENT_USER, (path + "\\First").c_str(), KEY_READ);
  EXPECT_EQ(firstAgain.queryDWORD("Which"), 1u);
}

TEST_F(RegistryKeyTest, AFailingCreateHoldsNoKey) {
  RegistryKey key;
  create(key, path);
  const auto notAKey = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x7ff0));
  try {
    key.create(notAKey, "Child", nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, nullptr);
    FAIL() << "created a key under a handle that is no key";
  } catch (const WindowsError& e) {
    EXPECT_EQ(e.code(), static_cast<std::uint32_t>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(plainMessage(e), "");
  }
  EXPECT_FALSE(key.owned());
  EXPECT_EQ(key.key(), nullptr);
}

TEST_F(RegistryKeyTest, AFailingCloseInCreateThrowsAndKeepsTheObject) {
  RegistryKey key;
  create(key, path);
  const HKEY held = key.key();
  // Closed behind the object's back, so that its own close fails.
  ASSERT_EQ(RegCloseKey(held), ERROR_SUCCESS);
  try {
    create(key, path + "\\Other");
    FAIL() << "closed a key twice without complaint";
  } catch (const WindowsError& e) {
    EXPECT_EQ(e.code(), static_cast<std::uint32_t>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(plainMessage(e), "");
  }
  EXPECT_TRUE(key.owned());
  EXPECT_EQ(key.key(), held);
  EXPECT_FALSE(exists(path + "\\Other"));
}

// --- What registration needs ---------------------------------------------

TEST_F(RegistryKeyTest, StringsAreStoredAsUtf16AndStoredValuesComeBackExactly) {
  RegistryKey key;
  create(key, path);
  const std::string text = "C:\\Program Files\\Quarnel AVI – tëst 日本 𝄞\\Quarnel AVI.dll";
  key.setString("", text);
  key.setString("Empty", "");

  // Read with the system's own wide call: UTF-16 with one terminator.
  wchar_t read[128] = {};
  DWORD type = 0, size = sizeof read;
  ASSERT_EQ(RegQueryValueExW(key.key(), L"", nullptr, &type, reinterpret_cast<BYTE*>(read), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(read, size / sizeof(wchar_t)), brix::toWide(text) + L'\0');
  EXPECT_EQ(key.queryStored("Empty"), (brix::StoredValue{REG_SZ, {0, 0}}));

  // What is stored comes back as it was, whatever its type and length.
  const std::wstring expandable = L"%ProgramFiles%\\Quarnel AVI.dll";
  const auto* bytes = reinterpret_cast<const BYTE*>(expandable.c_str());
  const brix::StoredValue values[] = {
      {REG_EXPAND_SZ, std::vector<BYTE>(bytes, bytes + (expandable.size() + 1) * sizeof(wchar_t))},
      {REG_BINARY, std::vector<BYTE>(5000, 0xA5)},
      {REG_DWORD, {1, 2, 3, 4}},
      {REG_BINARY, {}},
  };
  for (const brix::StoredValue& value : values) {
    key.setStored("Kept", value);
    EXPECT_EQ(key.queryStored("Kept"), value) << "type " << value.type << ", " << value.data.size() << " bytes";
  }
  EXPECT_EQ(key.queryStored("Absent"), std::nullopt);
}

TEST_F(RegistryKeyTest, DeletingAnswersWhatWasThereAndKeepsKeysThatHoldKeys) {
  RegistryKey key;
  create(key, path + "\\Child\\Grandchild");
  RegistryKey parent;
  create(parent, path);
  EXPECT_FALSE(parent.empty());
  parent.setString("Value", "x");
  EXPECT_TRUE(parent.deleteValue("Value"));
  EXPECT_FALSE(parent.deleteValue("Value"));

  // A key with a sub-key stays.
  EXPECT_THROW(RegistryKey::deleteKey(HKEY_CURRENT_USER, (path + "\\Child").c_str()), WindowsError);
  EXPECT_TRUE(exists(path + "\\Child\\Grandchild"));
  key.setString("", "goes with its key");
  EXPECT_TRUE(RegistryKey::deleteKey(HKEY_CURRENT_USER, (path + "\\Child\\Grandchild").c_str()));
  EXPECT_FALSE(RegistryKey::deleteKey(HKEY_CURRENT_USER, (path + "\\Child\\Grandchild").c_str()));
  EXPECT_TRUE(RegistryKey::deleteKey(HKEY_CURRENT_USER, (path + "\\Child").c_str()));
  EXPECT_TRUE(parent.empty());
}

}  // namespace
