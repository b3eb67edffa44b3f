#pragma once
#include <cstdint>
#include <string>

#include "avi/EntryReader.h"
#include "avi/IndexCursor.h"

// The entries of one stream's OpenDML super index (indx): each says where
// one of the stream's standard index chunks (ix00 for stream 0) lies and
// how large it is.
class SuperIndexCursor : public IndexCursor {
 public:
  // count entries of 16 bytes from position on, of stream number stream.
  SuperIndexCursor(brix::SeekableInputStream& stream, std::uint64_t position, std::uint64_t count,
                   unsigned streamNumber);

  bool advance() override;
  std::string name() const override;

 private:
  EntryReader entries_;
  unsigned stream_;
};
