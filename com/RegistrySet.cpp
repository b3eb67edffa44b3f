#include "com/RegistrySet.h"

#include <memory>

#include "base/RegistryKey.h"
#include "base/WindowsError.h"

namespace brix {

namespace {

constexpr REGSAM access = KEY_READ | KEY_WRITE;

std::string pathOf(const RegistryEntry& entry) {
  return entry.key.empty() ? entry.base : entry.base + "\\" + entry.key;
}

// The key at path, or null when there is none.
std::unique_ptr<RegistryKey> openIfPresent(HKEY root, const std::string& path) {
  try {
    return std::make_unique<RegistryKey>(root, path.c_str(), access);
  } catch (const WindowsError& e) {
    if (e.code() == ERROR_FILE_NOT_FOUND) return nullptr;
    throw;
  }
}

// What write() changed so far, to be undone when a later call fails.
class Changes {
 public:
  explicit Changes(HKEY root) : root_(root) {}

  // Creates path one key at a time, so that the keys that are new are known.
  void createKey(RegistryKey& key, const std::string& path) {
    for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
      const std::string part = path.substr(0, end);
      DWORD disposition = 0;
      key.create(root_, part.c_str(), nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &disposition);
      if (disposition == REG_CREATED_NEW_KEY) createdKeys_.push_back(part);
      if (end == std::string::npos) return;
    }
  }

  void setString(RegistryKey& key, const std::string& path, const std::string& name, const std::string& text) {
    values_.push_back({path, name, key.queryStored(name.c_str())});
    key.setString(name.c_str(), text);
  }

  // Puts back what was there, latest change first. Best effort: the error
  // that made this necessary is the one to report.
  void undo() const noexcept {
    for (auto value = values_.rbegin(); value != values_.rend(); ++value) {
      try {
        RegistryKey key(root_, value->path.c_str(), access);
        if (value->previous) {
          key.setStored(value->name.c_str(), *value->previous);
        } else {
          key.deleteValue(value->name.c_str());
        }
      } catch (const std::exception&) {
      }
    }
    for (auto path = createdKeys_.rbegin(); path != createdKeys_.rend(); ++path) {
      try {
        RegistryKey::deleteKey(root_, path->c_str());
      } catch (const std::exception&) {
      }
    }
  }

 private:
  struct Value {
    std::string path;
    std::string name;
    std::optional<StoredValue> previous;
  };
  HKEY root_;
  std::vector<std::string> createdKeys_;
  std::vector<Value> values_;
};

}  // namespace

RegistrySet::RegistrySet(HKEY root, std::vector<RegistryEntry> entries) : root_(root), entries_(std::move(entries)) {}

void RegistrySet::write() const {
  Changes changes(root_);
  try {
    for (const RegistryEntry& entry : entries_) {
      const std::string path = pathOf(entry);
      RegistryKey key;
      changes.createKey(key, path);
      if (entry.valueName) changes.setString(key, path, *entry.valueName, entry.text);
    }
  } catch (...) {
    changes.undo();
    throw;
  }
}

void RegistrySet::remove() const {
  for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
    std::string path = pathOf(*entry);
    if (entry->valueName) {
      if (const auto key = openIfPresent(root_, path)) key->deleteValue(entry->valueName->c_str());
    }
    for (; path.size() > entry->base.size(); path.erase(path.rfind('\\'))) {
      auto key = openIfPresent(root_, path);
      if (!key) continue;
      if (!key->empty()) break;
      key.reset();
      RegistryKey::deleteKey(root_, path.c_str());
    }
  }
}

}  // namespace brix
