#include "page/Utf8Text.h"

#include "base/Unicode.h"

#ifdef _WIN32
#include "base/Win32.h"
#endif

std::string utf8WithLatin1Fallback(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = brix::utf8SequenceLength(bytes, i);
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
std::string toUtf8(const std::string& systemText) {
  return utf8WithLatin1Fallback(systemText);
}
#endif
