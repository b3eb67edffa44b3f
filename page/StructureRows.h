#pragma once
#include <functional>
#include <optional>
#include <string>

class AVIFile;

// Row images: the pictures in front of the Element text.
enum StructureRowImage { rowImageGroup = 0, rowImageStructure = 1, rowImageField = 2 };

// Receives each row the moment it is made: indent level (0 to 3), image,
// Element text and Value text (none for rows that name a structure).
using StructureRowSink = std::function<void(int indent, int image, const std::string& element,
                                            const std::optional<std::string>& value)>;

// Which rows: those of the headers alone, or all, which adds after each
// stream's header its format, name and the summaries of its legacy and
// OpenDML indexes, and after the last stream the file's RIFF forms and INFO
// tags. The header rows are the same in both, in the same order.
enum class StructureRowSet { headers, all };

// The rows that show one parsed file: the path, the main header, the
// extended header when there is one, and the header of every stream. An
// exception from the sink ends the production; earlier rows stay with it.
void buildStructureRows(const std::string& path, const AVIFile& file, const StructureRowSink& sink,
                        StructureRowSet set = StructureRowSet::all);
