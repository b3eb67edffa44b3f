#pragma once
#include <cstdint>
#include <functional>

#include "avi/AVIHeaders.h"
#include "avi/Chunk.h"

// The header list (LIST hdrl) as the parser reads and checks it, shared by
// the parser and the verification of a whole file, so that both take the
// same streams from a file and refuse it with the same messages.

// The main header (avih), the list's first chunk: its first 56 bytes at
// most, the rest 0. Throws "AVI header list is empty", "First chunk in AVI
// header list is not the AVI header chunk (avih)" or "AVIH chunk too small".
AVIMAINHEADER readMainHeader(Chunk& hdrl);

// Calls onStream for each of the streams 0 to streams - 1 in order, with
// the stream's header list (strl, the i-th among hdrl's children, whatever
// stands between them) and its strh and strf chunks. Throws "Too many
// streams in AVI header (<n>, at most 100)" before any, "Stream header list
// for stream <i> not found", "strh chunk for stream <i> not found" or "strf
// chunk for stream <i> not found", or what onStream throws.
void forEachStreamList(
    Chunk& hdrl, std::uint32_t streams,
    const std::function<void(std::uint32_t stream, Chunk& strl, Chunk& strh, Chunk& strf)>& onStream);
