#pragma once
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace posix {

// The file pointer of every file CreateFileA opened, by descriptor. Windows
// keeps a pointer per handle, which ReadFile and WriteFile move on; kept
// here rather than in the kernel, a seek is no system call, and a seek and
// the read after it are one positioned read. Any thread may use it, and
// threads reading files of their own never wait for one another: each
// descriptor has a slot of its own, in blocks made on first use and kept.
class FilePointers {
 public:
  static FilePointers& instance();
  ~FilePointers();

  // A file just opened: its pointer at the start. False for a descriptor
  // beyond what the table holds (over a million).
  bool add(int descriptor);
  // Before the descriptor is closed: it names no file from here on.
  void remove(int descriptor);
  // None for a descriptor that names no file CreateFileA opened.
  std::optional<std::int64_t> get(int descriptor);
  void set(int descriptor, std::int64_t position);

 private:
  static constexpr std::size_t slotsPerBlock = 64;
  static constexpr std::size_t blockCount = 16384;
  // The pointer, or -1 while no file is open under the descriptor. A cache
  // line each: threads reading files of neighbouring descriptors would
  // otherwise pass one line to and fro at every read.
  struct alignas(64) Slot {
    std::atomic<std::int64_t> pointer;
  };

  FilePointers() = default;
  Slot* slot(int descriptor, bool make);

  std::array<std::atomic<Slot*>, blockCount> blocks_{};
};

}  // namespace posix
