#include "tests/support/RiffBuilder.h"

#include <stdexcept>

namespace testing_support {

RiffNode& RiffNode::child(const std::string& childId, const std::string& childListType) {
  for (RiffNode& c : children) {
    if (c.id == childId && (childListType.empty() || c.listType == childListType)) return c;
  }
  throw std::runtime_error("RiffNode: no child " + childId + " " + childListType);
}

RiffNode dataChunk(const std::string& id, Bytes data) {
  RiffNode node;
  node.id = id;
  node.data = std::move(data);
  return node;
}

RiffNode rawChunk(const std::string& id, Bytes data) {
  RiffNode node = dataChunk(id, std::move(data));
  node.raw = true;
  return node;
}

RiffNode listChunk(const std::string& id, const std::string& listType, std::vector<RiffNode> children) {
  RiffNode node;
  node.id = id;
  node.listType = listType;
  node.children = std::move(children);
  return node;
}

void putLE16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putLE32(Bytes& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putFourCC(Bytes& out, const std::string& code) {
  if (code.size() != 4) throw std::runtime_error("putFourCC: '" + code + "' is not four characters");
  out.insert(out.end(), code.begin(), code.end());
}

void setLE32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes serialize(const RiffNode& node) {
  Bytes out;
  putFourCC(out, node.id);
  Bytes body;
  if (node.isList()) {
    putFourCC(body, node.listType);
    for (const RiffNode& c : node.children) {
      const Bytes child = serialize(c);
      body.insert(body.end(), child.begin(), child.end());
    }
  } else {
    body = node.data;
  }
  putLE32(out, node.sizeOverride ? *node.sizeOverride : static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if ((body.size() & 1) && node.padded) out.push_back(0);
  return out;
}

Bytes serialize(const std::vector<RiffNode>& topLevel) {
  Bytes out;
  for (const RiffNode& node : topLevel) {
    const Bytes bytes = serialize(node);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

}  // namespace testing_support
