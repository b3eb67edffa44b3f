#include "platform/posix/FilePointers.h"

namespace posix {

namespace {
constexpr std::int64_t noFile = -1;
}  // namespace

FilePointers& FilePointers::instance() {
  static FilePointers pointers;
  return pointers;
}

FilePointers::~FilePointers() {
  for (std::atomic<Slot*>& block : blocks_) delete[] block.load();
}

FilePointers::Slot* FilePointers::slot(int descriptor, bool make) {
  if (descriptor < 0 || static_cast<std::size_t>(descriptor) >= slotsPerBlock * blockCount) return nullptr;
  const auto index = static_cast<std::size_t>(descriptor);
  std::atomic<Slot*>& block = blocks_[index / slotsPerBlock];
  Slot* slots = block.load();
  if (slots == nullptr && make) {
    Slot* fresh = new Slot[slotsPerBlock];
    for (std::size_t i = 0; i < slotsPerBlock; ++i) fresh[i].pointer = noFile;
    // Another thread may have made the block meanwhile: its block stays.
    if (block.compare_exchange_strong(slots, fresh)) {
      slots = fresh;
    } else {
      delete[] fresh;
    }
  }
  return slots == nullptr ? nullptr : &slots[index % slotsPerBlock];
}

bool FilePointers::add(int descriptor) {
  Slot* file = slot(descriptor, true);
  if (file == nullptr) return false;
  file->pointer = 0;
  return true;
}

void FilePointers::remove(int descriptor) {
  if (Slot* file = slot(descriptor, false)) file->pointer = noFile;
}

std::optional<std::int64_t> FilePointers::get(int descriptor) {
  const Slot* file = slot(descriptor, false);
  if (file == nullptr) return std::nullopt;
  const std::int64_t position = file->pointer;
  if (position == noFile) return std::nullopt;
  return position;
}

void FilePointers::set(int descriptor, std::int64_t position) {
  Slot* file = slot(descriptor, false);
  // A file closed meanwhile stays closed.
  std::int64_t open = file == nullptr ? noFile : file->pointer.load();
  while (open != noFile && !file->pointer.compare_exchange_weak(open, position)) {
  }
}

}  // namespace posix
