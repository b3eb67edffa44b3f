#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

// One chunk of a RIFF file to be written: a data chunk, or a list ("RIFF"
// or "LIST") with a type and children. Sizes and pad bytes can be made
// wrong on purpose.
struct RiffNode {
  std::string id;        // four characters (raw bytes allowed)
  std::string listType;  // lists only
  Bytes data;            // data chunks only
  std::vector<RiffNode> children;
  std::optional<std::uint32_t> sizeOverride;  // written instead of the true size
  bool padded = true;                         // write the pad byte after odd data
  bool raw = false;                           // write data as it stands, even under a list id

  bool isList() const { return !raw && (id == "RIFF" || id == "LIST"); }
  // The first child with this id (and list type, when given); throws if none.
  RiffNode& child(const std::string& id, const std::string& listType = "");
};

RiffNode dataChunk(const std::string& id, Bytes data);
// A chunk whose data is written as given, whatever its id says.
RiffNode rawChunk(const std::string& id, Bytes data);
RiffNode listChunk(const std::string& id, const std::string& listType, std::vector<RiffNode> children);

Bytes serialize(const RiffNode& node);
Bytes serialize(const std::vector<RiffNode>& topLevel);

// Little-endian field writers for building chunk contents.
void putLE16(Bytes& out, std::uint16_t value);
void putLE32(Bytes& out, std::uint32_t value);
void putFourCC(Bytes& out, const std::string& code);
void setLE32(Bytes& bytes, std::size_t offset, std::uint32_t value);

}  // namespace testing_support
