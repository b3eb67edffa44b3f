#pragma once
#include <string>
#include <vector>

namespace testing_support {

// File names (UTF-8) that no ANSI code page holds all of.
inline const std::string cyrillicName = "\xD0\x9E\xD1\x82\xD0\xBF\xD1\x83\xD1\x81\xD0\xBA.avi";
inline const std::string cjkName = "\xE6\x9D\xB1\xE4\xBA\xAC.avi";
inline const std::string emojiName = "clip \xF0\x9F\x8E\xAC.avi";  // a surrogate pair in UTF-16

// Those, and names at the edges of what a name may be: a long one without a
// trailing dot, and one that is all extension.
inline const std::vector<std::string> namesInAnyScript = {cyrillicName, cjkName, emojiName,
                                                          std::string(200, 'n') + ".avi", ".avi"};

}  // namespace testing_support
