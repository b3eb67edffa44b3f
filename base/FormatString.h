#pragma once
#include <string>

namespace brix {

// printf-style formatting into a text of at most 1999 characters; longer
// output is cut there. The same text on every platform for the conversions
// messages use:
//   %s %hs   narrow string (null prints "(null)")
//   %d       32-bit signed          %u %lu %x %X   32-bit unsigned
//   %I64d    64-bit signed          %I64u %llu     64-bit unsigned
//   %p       pointer, upper-case hexadecimal, zero-padded to the pointer's
//            width, no prefix
//   %c, %%   a character, a percent sign
// "l" means 32 bits here, as it does on Windows: pass DWORD-sized values,
// never a 64-bit Linux unsigned long. Flags, width and precision work as in
// printf. An unknown conversion is copied as it stands.
std::string formatString(const char* format, ...);

}  // namespace brix
