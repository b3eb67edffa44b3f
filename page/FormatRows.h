#pragma once
#include "page/StructureRows.h"

class AVIStream;

// The rows of a stream's format, after its header's: a BITMAPINFOHEADER
// for video, a WAVEFORMATEX (and the rest of a WAVEFORMATEXTENSIBLE) for
// audio, the format's size for any other stream type. Only the fields the
// format holds are shown.
void addStreamFormatRows(const AVIStream& stream, const StructureRowSink& sink);
