#pragma once
#include <cstdint>
#include <string>

#include "avi/EntryReader.h"
#include "avi/IndexCursor.h"

// The entries of the legacy index (idx1). Their offsets count from the
// movi list's type, or from the start of the file, as the writer chose:
// like other readers, the first entry decides, by which of the two places
// holds the chunk it names.
class LegacyIndexCursor : public IndexCursor {
 public:
  // The idx1 chunk's data lies at dataPosition, size bytes long (entries of
  // 16 bytes; a rest is no entry); moviDataPosition is the position of the
  // movi list's type.
  LegacyIndexCursor(brix::SeekableInputStream& stream, std::uint64_t dataPosition, std::uint32_t size,
                    std::uint64_t moviDataPosition);

  bool advance() override;
  std::string name() const override;

 private:
  EntryReader entries_;
  std::uint64_t base_;
};
