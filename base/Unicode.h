#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace brix {

// Text is UTF-8 in 8-bit strings everywhere inside; UTF-16 exists only at
// the platform calls that take or give names and messages. These are the
// one conversion pair between the two. Neither fails on bad input: what
// does not decode becomes U+FFFD, one replacement for each byte that starts
// no valid UTF-8 sequence and one for each unpaired surrogate.

// The length of the valid UTF-8 sequence at text[i] (1 to 4), or 0 when
// none starts there: a stray continuation byte, a lead byte without its
// continuations, an overlong form, a surrogate or a value beyond U+10FFFF.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) noexcept;

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

#ifdef _WIN32
// The same conversions for the wide Win32 calls, whose wchar_t is 16 bits.
std::wstring toWide(std::string_view utf8);
std::string fromWide(std::wstring_view wide);
#endif

}  // namespace brix
