#include "page/Utf8Text.h"

#include <cstdint>

#ifdef _WIN32
#include "base/Win32.h"
#endif

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 if there is none.
std::size_t validSequenceLength(const std::string& text, std::size_t i) {
  const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length;
  std::uint32_t minimum;
  std::uint32_t code;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, minimum = 0x80, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, minimum = 0x800, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, minimum = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and values beyond Unicode are not valid.
  if (code < minimum || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

}  // namespace

std::string utf8WithLatin1Fallback(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = validSequenceLength(bytes, i);
    if (length != 0) {
      out.append(bytes, i, length);
      i += length;
    } else {
      const auto byte = static_cast<unsigned char>(bytes[i++]);
      out += static_cast<char>(0xC0 | byte >> 6);
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

#ifdef _WIN32
std::string toUtf8(const std::string& systemText) {
  if (systemText.empty()) return systemText;
  const int length = static_cast<int>(systemText.size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, systemText.data(), length, nullptr, 0);
  if (wideLength <= 0) return utf8WithLatin1Fallback(systemText);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, systemText.data(), length, &wide[0], wideLength);
  const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (utf8Length <= 0) return utf8WithLatin1Fallback(systemText);
  std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], utf8Length, nullptr, nullptr);
  return utf8;
}
#else
std::string toUtf8(const std::string& systemText) { return utf8WithLatin1Fallback(systemText); }
#endif
