#include "avi/HeaderList.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "avi/AVIFile.h"

namespace {

constexpr std::uint32_t minMainHeaderBytes = 48;
constexpr std::uint32_t maxMainHeaderBytes = 56;

std::runtime_error streamError(const char* before, std::uint32_t stream, const char* after) {
  return std::runtime_error(before + std::to_string(stream) + after);
}

}  // namespace

AVIMAINHEADER readMainHeader(Chunk& hdrl) {
  if (hdrl.childCount() == 0) throw std::runtime_error("AVI header list is empty");
  Chunk& avih = *hdrl.begin();
  if (avih.id() != fourcc::avih) {
    throw std::runtime_error("First chunk in AVI header list is not the AVI header chunk (avih)");
  }
  if (avih.size() < minMainHeaderBytes) throw std::runtime_error("AVIH chunk too small");
  AVIMAINHEADER header{};
  header.fcc = fourcc::avih;
  header.cb = static_cast<std::uint32_t>(std::min<std::uint64_t>(avih.size(), maxMainHeaderBytes));
  avih.stream().seek(static_cast<std::int64_t>(avih.dataPosition()), brix::Seekable::Begin);
  avih.stream().readFully(reinterpret_cast<std::uint8_t*>(&header) + 8, header.cb);
  return header;
}

void forEachStreamList(
    Chunk& hdrl, std::uint32_t streams,
    const std::function<void(std::uint32_t stream, Chunk& strl, Chunk& strh, Chunk& strf)>& onStream) {
  // dwStreams comes from the file: the lists that exist bound the work, not
  // the count. Past what chunk ids can address the count is refused outright:
  // otherwise a few megabytes of minimal strl lists make tens of thousands
  // of streams, and every one of them costs its readers rows and memory.
  if (streams > AVIFile::maxStreams) {
    throw std::runtime_error("Too many streams in AVI header (" + std::to_string(streams) + ", at most " +
                             std::to_string(AVIFile::maxStreams) + ")");
  }
  // The i-th strl list is the next one after the (i-1)-th.
  auto strl = hdrl.begin();
  for (std::uint32_t i = 0; i < streams; ++i, ++strl) {
    while (strl != hdrl.end() && !(strl->id() == fourcc::LIST && strl->listType() == fourcc::strl)) ++strl;
    if (strl == hdrl.end()) throw streamError("Stream header list for stream ", i, " not found");
    const auto strh = strl->findChild(0, fourcc::strh, 0);
    if (strh == strl->end()) throw streamError("strh chunk for stream ", i, " not found");
    const auto strf = strl->findChild(0, fourcc::strf, 0);
    if (strf == strl->end()) throw streamError("strf chunk for stream ", i, " not found");
    onStream(i, *strl, *strh, *strf);
  }
}
