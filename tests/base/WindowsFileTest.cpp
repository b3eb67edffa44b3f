#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

#include "base/WindowsFile.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#endif

#include "base/EOFException.h"
#include "base/WindowsError.h"
#include "tests/support/FileNames.h"
#include "tests/support/TempDirectory.h"

using brix::Seekable;
using brix::WindowsError;
using brix::WindowsFile;
using testing_support::TempDirectory;

static_assert(!std::is_copy_constructible_v<WindowsFile>, "a file handle has one owner");
static_assert(!std::is_copy_assignable_v<WindowsFile>, "a file handle has one owner");
static_assert(!std::is_copy_constructible_v<brix::WindowsHandle>, "a handle has one owner");

namespace {

constexpr std::int64_t fourGiB = std::int64_t{1} << 32;

WindowsFile openForReading(const std::string& path) {
  return WindowsFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

void expectMessage(const WindowsError& error, const std::string& message) {
  const std::string text = error.what();
  ASSERT_GT(text.size(), message.size() + 2) << text;
  EXPECT_EQ(text.substr(0, message.size() + 2), message + ": ") << text;
}

// action must fail with code and a message that starts with message.
template <typename Action>
void expectWindowsError(Action action, DWORD code, const std::string& message) {
  try {
    action();
    FAIL() << "no error where expected: " << message;
  } catch (const WindowsError& e) {
    EXPECT_EQ(e.code(), code) << message;
    expectMessage(e, message);
  }
}

void expectOpenRefused(const std::string& path, DWORD code) {
  expectWindowsError([&] { openForReading(path); }, code, "WindowsFile::open: Can't open '" + path + "'");
}

class WindowsFileTest : public ::testing::Test {
 protected:
  std::string makeFile(const std::string& name, const std::string& content) {
    const std::string path = dir.file(name);
    testing_support::writeFile(path, content.data(), content.size());
    return path;
  }
  // A path of exactly `length` characters in dir, its folders made. No part
  // is longer than 100 characters, which every file system takes.
  std::string makePathOfLength(std::size_t length) {
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    std::string path = dir.path().u8string();
    while (length - path.size() > 110) {
      path += separator + std::string(99, 'd');
      std::filesystem::create_directory(std::filesystem::u8path(path));
    }
    path += separator;
    path += std::string(length - path.size() - 4, 'f') + ".avi";
    return path;
  }
  std::string makeSparseFile(const std::string& name, std::int64_t size) {
    const std::string path = makeFile(name, "");
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    return path;
  }
  TempDirectory dir;
};

TEST_F(WindowsFileTest, ReadsAndReportsSize) {
  WindowsFile file = openForReading(makeFile("a.bin", "hello"));
  EXPECT_EQ(file.size(), 5);
  char buffer[8] = {};
  EXPECT_EQ(file.read(buffer, 8), 5u);
  EXPECT_EQ(std::string(buffer), "hello");
  EXPECT_EQ(file.read(buffer, 8), 0u);
  EXPECT_EQ(file.tell(), 5);
}

TEST_F(WindowsFileTest, ReadFullyAtTheEndThrowsEOF) {
  WindowsFile file = openForReading(makeFile("a.bin", "abc"));
  char buffer[4];
  EXPECT_EQ(file.readFully(buffer, 0), 0u);
  EXPECT_THROW(file.readFully(buffer, 4), brix::EOFException);
  EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST_F(WindowsFileTest, SeekBeyondTheEndSucceedsAndReadsNothing) {
  WindowsFile file = openForReading(makeFile("a.bin", "abc"));
  EXPECT_EQ(file.seek(100, Seekable::Begin), 100);
  char buffer[4];
  EXPECT_EQ(file.read(buffer, 4), 0u);
  EXPECT_EQ(file.seek(-1, Seekable::End), 2);
  EXPECT_EQ(file.seek(-1, Seekable::Current), 1);
}

TEST_F(WindowsFileTest, SeekBeforeTheStartNamesTheNegativeOffsetAndOrigin) {
  WindowsFile file = openForReading(makeFile("a.bin", "abc"));
  file.seek(2, Seekable::Begin);
  expectWindowsError([&] { file.seek(-5, Seekable::Current); }, ERROR_NEGATIVE_SEEK,
                     "WindowsFile::seek: Can't seek to -5 relative to 1");
  expectWindowsError([&] { file.seek(-fourGiB - 7, Seekable::Begin); }, ERROR_NEGATIVE_SEEK,
                     "WindowsFile::seek: Can't seek to -4294967303 relative to 0");
}

TEST_F(WindowsFileTest, UnknownOriginIsPassedOnAndRefused) {
  WindowsFile file = openForReading(makeFile("a.bin", "abc"));
  expectWindowsError([&] { file.seek(0, 3); }, ERROR_INVALID_PARAMETER,
                     "WindowsFile::seek: Can't seek to 0 relative to 3");
}

// Every handle has its own file pointer, which its own reads and writes
// move on by what they transferred.
TEST_F(WindowsFileTest, EachHandleHasItsOwnPointer) {
  const std::string path = makeFile("a.bin", "abcdef");
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  WindowsFile writer(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  WindowsFile reader(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  writer.seek(2, Seekable::Begin);
  EXPECT_EQ(writer.write("XY", 2), 2u);
  char buffer[8];
  EXPECT_EQ(reader.read(buffer, 8), 6u);
  EXPECT_EQ(std::string(buffer, 6), "abXYef");
  EXPECT_EQ(writer.tell(), 4);
  EXPECT_EQ(reader.tell(), 6);
}

TEST_F(WindowsFileTest, FilesBeyond4GiBAreAddressedWith64Bits) {
  WindowsFile file = openForReading(makeSparseFile("big.bin", fourGiB + 10));
  EXPECT_EQ(file.size(), fourGiB + 10);
  EXPECT_EQ(file.seek(fourGiB + 3, Seekable::Begin), fourGiB + 3);
  EXPECT_EQ(file.tell(), fourGiB + 3);
  char buffer[16];
  EXPECT_EQ(file.read(buffer, 16), 7u);
  // The base class's size works through seek and tell.
  file.seek(fourGiB + 1, Seekable::Begin);
  EXPECT_EQ(file.Seekable::size(), fourGiB + 10);
  EXPECT_EQ(file.tell(), fourGiB + 1);
}

TEST_F(WindowsFileTest, SizeWithAllOnesLowHalfIsNotAnError) {
  WindowsFile file = openForReading(makeSparseFile("edge.bin", fourGiB - 1));
  EXPECT_EQ(file.size(), fourGiB - 1);
  // The same pattern from a seek: the position 0xFFFFFFFF is no failure.
  EXPECT_EQ(file.seek(fourGiB - 1, Seekable::Begin), fourGiB - 1);
}

TEST_F(WindowsFileTest, WritesFlushesAndReadsBack) {
  const std::string path = dir.file("out.bin");
  {
    WindowsFile file(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(file.write("data", 4), 4u);
    file.flush();
    file.close();
  }
  WindowsFile file = openForReading(path);
  char buffer[4];
  file.readFully(buffer, 4);
  EXPECT_EQ(std::string(buffer, 4), "data");
}

TEST_F(WindowsFileTest, WritingAReadOnlyFileFails) {
  WindowsFile file = openForReading(makeFile("a.bin", "abc"));
  expectWindowsError([&] { file.write("x", 1); }, ERROR_ACCESS_DENIED,
                     "WindowsFile::write: Error when writing 1 bytes");
  EXPECT_THROW(file.flush(), WindowsError);
}

TEST_F(WindowsFileTest, AfterCloseEveryCallFailsAndASecondCloseDoesNothing) {
  WindowsFile file = openForReading(makeFile("a.bin", "abc"));
  file.close();
  EXPECT_FALSE(file.isHeld());
  file.close();
  char buffer[2];
  char pointer[40];
  std::snprintf(pointer, sizeof pointer, "%0*llX", static_cast<int>(sizeof(void*) * 2),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(buffer)));
  expectWindowsError([&] { file.read(buffer, 2); }, ERROR_INVALID_HANDLE,
                     "WindowsFile::read: Error when reading 2 bytes to " + std::string(pointer));
  EXPECT_THROW(file.seek(0, Seekable::Begin), WindowsError);
  EXPECT_THROW(file.tell(), WindowsError);
  expectWindowsError([&] { file.size(); }, ERROR_INVALID_HANDLE, "Can't retrieve the file size for a windows file");
}

TEST_F(WindowsFileTest, AHandleThatCannotBeClosedIsReportedByCloseAndSwallowedByTheDestructor) {
  const HANDLE bogus = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x7FF0));
  {
    WindowsFile file = openForReading(makeFile("a.bin", "abc"));
    file.setHandle(bogus);  // closes the real file first
    expectWindowsError([&] { file.close(); }, ERROR_INVALID_HANDLE, "Error while closing handle");
    EXPECT_EQ(file.handle(), bogus);  // still recorded after the failure
  }  // the destructor tries again and must not throw
  SUCCEED();
}

TEST_F(WindowsFileTest, AnyNameOpensAndAMissingOneIsNamedIntact) {
  for (const std::string& name : testing_support::namesInAnyScript) {
    WindowsFile file = openForReading(makeFile(name, name));
    std::string content(name.size(), '\0');
    file.readFully(&content[0], static_cast<std::uint32_t>(content.size()));
    EXPECT_EQ(content, name);
    expectOpenRefused(dir.file("missing " + name), ERROR_FILE_NOT_FOUND);
  }
}

TEST_F(WindowsFileTest, PathsAroundAndBeyondTheWindowsLimitOpen) {
  // Below, at and above MAX_PATH, and a folder nest well beyond it.
  for (const std::size_t length : {259u, 260u, 261u, 330u}) {
    const std::string path = makePathOfLength(length);
    ASSERT_EQ(path.size(), length);
    testing_support::writeFile(path, "data", 4);
    EXPECT_EQ(openForReading(path).size(), 4) << length;
    std::string missing = path;
    missing[missing.size() - 5] = 'x';
    expectOpenRefused(missing, ERROR_FILE_NOT_FOUND);
  }
}

TEST_F(WindowsFileTest, AMissingFolderOrAnEmptyOrOverlongPathIsNamedWhole) {
  expectOpenRefused(dir.file("no-such-folder") + "/x.avi", ERROR_PATH_NOT_FOUND);
  expectOpenRefused("", ERROR_PATH_NOT_FOUND);
  std::string deep;
  for (int i = 0; i < 12; ++i) deep += std::string(200, 'd') + "/";
  expectOpenRefused(dir.file(deep + "clip.avi"), ERROR_PATH_NOT_FOUND);
}

TEST_F(WindowsFileTest, OnlyFilesAndDisksOpen) {
  expectOpenRefused(dir.path().u8string(), ERROR_ACCESS_DENIED);
#ifdef _WIN32
  expectOpenRefused("NUL", ERROR_ACCESS_DENIED);
  // The console: refused by the type check on Windows, by the open itself
  // under Wine when no console is attached.
  EXPECT_THROW(openForReading("CON"), WindowsError);
#else
  // Any of these would block in the open or stream without end; a hang
  // ends the test with SIGALRM instead of waiting for the test's timeout.
  alarm(10);
  const std::string fifo = dir.file("fifo.avi");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  expectOpenRefused(fifo, ERROR_ACCESS_DENIED);
  expectOpenRefused("/dev/null", ERROR_ACCESS_DENIED);
  expectOpenRefused("/dev/zero", ERROR_ACCESS_DENIED);

  const std::string socketPath = dir.file("socket.avi");
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_NE(listener, -1);
  ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  expectOpenRefused(socketPath, ERROR_ACCESS_DENIED);
  close(listener);
  alarm(0);
#endif
}

#ifndef _WIN32
// A disk is read like a file, its size from the device rather than from its
// inode (which says 0). The largest block device that can be read is used.
TEST(WindowsFileDisk, ADiskOpensWithItsSize) {
  std::string disk;
  off_t diskSize = -1;
  for (const auto& entry : std::filesystem::directory_iterator("/dev")) {
    if (!entry.is_block_file()) continue;
    const int descriptor = ::open(entry.path().c_str(), O_RDONLY);
    if (descriptor == -1) continue;
    const off_t end = lseek(descriptor, 0, SEEK_END);
    ::close(descriptor);
    if (end > diskSize) {
      disk = entry.path().string();
      diskSize = end;
    }
  }
  if (disk.empty()) GTEST_SKIP() << "no readable disk";
  EXPECT_EQ(openForReading(disk).size(), diskSize) << disk;
}

TEST_F(WindowsFileTest, LinuxNamesAreBytesAndNeedNotBeUtf8) {
  const std::string name = "bad\xE9name.avi";
  WindowsFile file = openForReading(makeFile(name, "abc"));
  EXPECT_EQ(file.size(), 3);
  expectOpenRefused(dir.file("missing \xFF.avi"), ERROR_FILE_NOT_FOUND);
}
#endif

#ifdef _WIN32
TEST(WindowsFileSystemPath, OnlyPathsOfMaxPathOrMoreTakeTheExtendedForm) {
  const std::string folder = "C:\\" + std::string(200, 'd');
  const std::wstring wideFolder = L"C:\\" + std::wstring(200, L'd');
  const std::string share = "\\\\server\\share\\" + std::string(250, 's');
  const std::wstring wideShare = L"server\\share\\" + std::wstring(250, L's');
  const struct {
    std::string path;
    std::wstring expected;
  } cases[] = {
      {"C:\\clip.avi", L"C:\\clip.avi"},
      {"C:/videos/../clip.avi", L"C:/videos/../clip.avi"},  // short: left to the ordinary rules
      {"\xE6\x9D\xB1\xE4\xBA\xAC.avi", L"\u6771\u4EAC.avi"},
      {"", L""},
      {folder + "\\" + std::string(55, 'f'), wideFolder + L"\\" + std::wstring(55, L'f')},               // 259
      {folder + "\\" + std::string(56, 'f'), L"\\\\?\\" + wideFolder + L"\\" + std::wstring(56, L'f')},  // 260
      {folder + "/x/../" + std::string(60, 'f'), L"\\\\?\\" + wideFolder + L"\\" + std::wstring(60, L'f')},
      {share, L"\\\\?\\UNC\\" + wideShare},
      {"\\\\?\\C:\\already", L"\\\\?\\C:\\already"},
      {"\\\\.\\PhysicalDrive0", L"\\\\.\\PhysicalDrive0"},
  };
  for (const auto& c : cases) EXPECT_EQ(WindowsFile::systemPath(c.path.c_str()), c.expected) << c.path;

  // A relative path counts with the folder it is relative to.
  const std::wstring current = std::filesystem::current_path().wstring();
  const std::string relative(MAX_PATH - current.size(), 'r');
  EXPECT_EQ(WindowsFile::systemPath(relative.c_str()),
            L"\\\\?\\" + current + L"\\" + std::wstring(relative.begin(), relative.end()));
}
#endif

}  // namespace
