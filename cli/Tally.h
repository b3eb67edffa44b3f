#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The counts of a run, and the texts that tell them.
class Tally {
 public:
  void addFile(bool ok);
  void addUnreadableFolder();

  std::uint64_t files() const { return files_; }
  // Lines reported: files and unreadable folders.
  std::uint64_t reported() const { return files_ + unreadableFolders_; }
  bool allOk() const { return failedFiles_ == 0 && unreadableFolders_ == 0; }

  // "1,234 files: 1,230 Ok, 4 failed", and "; 1 folder could not be read"
  // when one could not.
  std::string summary() const;
  // "1,234 / 5,000 files, 4 failed, 812 files/s" (failures count folders
  // too); "1,234 files, ..." while the total is not yet known.
  std::string progress(std::optional<std::uint64_t> total, double seconds) const;

 private:
  std::uint64_t files_ = 0;
  std::uint64_t failedFiles_ = 0;
  std::uint64_t unreadableFolders_ = 0;
};

// 1234567 as "1,234,567".
std::string groupedNumber(std::uint64_t number);
