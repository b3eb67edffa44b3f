#include "base/FormatString.h"

#include <cctype>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

namespace brix {
namespace {

constexpr std::size_t maxLength = 1999;

// Collects output and silently stops at maxLength characters.
class BoundedText {
 public:
  void append(const char* text, std::size_t length) {
    const std::size_t room = maxLength - text_.size();
    text_.append(text, length < room ? length : room);
  }
  void append(const std::string& text) { append(text.data(), text.size()); }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

// One conversion rewritten for the C library: flags, resolved width and
// precision, and the conversion with a fixed-width argument type.
template <typename T>
std::string formatOne(const std::string& conversion, T value) {
  const int length = std::snprintf(nullptr, 0, conversion.c_str(), value);
  if (length <= 0) return std::string();
  std::string out(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(&out[0], out.size(), conversion.c_str(), value);
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string pointerText(const void* pointer) {
  static const char digits[] = "0123456789ABCDEF";
  auto value = reinterpret_cast<std::uintptr_t>(pointer);
  std::string out(sizeof(void*) * 2, '0');
  for (auto it = out.rbegin(); it != out.rend(); ++it, value >>= 4) *it = digits[value & 0xF];
  return out;
}

}  // namespace

std::string formatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  BoundedText out;
  const char* p = format;
  while (*p != '\0') {
    if (*p != '%') {
      const char* start = p;
      while (*p != '\0' && *p != '%') ++p;
      out.append(start, static_cast<std::size_t>(p - start));
      continue;
    }
    const char* conversionStart = p++;
    std::string conversion = "%";
    while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') conversion += *p++;
    if (*p == '*') {
      conversion += std::to_string(va_arg(args, int));
      ++p;
    } else {
      while (std::isdigit(static_cast<unsigned char>(*p))) conversion += *p++;
    }
    if (*p == '.') {
      conversion += *p++;
      if (*p == '*') {
        conversion += std::to_string(va_arg(args, int));
        ++p;
      } else {
        while (std::isdigit(static_cast<unsigned char>(*p))) conversion += *p++;
      }
    }
    bool wide = false;  // 64-bit integer argument
    if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
      wide = true;
      p += 3;
    } else if (p[0] == 'I' && p[1] == '3' && p[2] == '2') {
      p += 3;
    } else if (p[0] == 'l' && p[1] == 'l') {
      wide = true;
      p += 2;
    } else if (p[0] == 'h' && p[1] == 'h') {
      p += 2;
    } else if (*p == 'l' || *p == 'h') {
      ++p;
    }
    switch (*p) {
      case 'd':
      case 'i': {
        const long long value = wide ? va_arg(args, long long) : va_arg(args, std::int32_t);
        out.append(formatOne(conversion + "lld", value));
        break;
      }
      case 'u':
      case 'x':
      case 'X':
      case 'o': {
        const unsigned long long value = wide ? va_arg(args, unsigned long long) : va_arg(args, std::uint32_t);
        out.append(formatOne(conversion + "ll" + *p, value));
        break;
      }
      case 'c':
        out.append(formatOne(conversion + "c", va_arg(args, int)));
        break;
      case 's': {
        const char* text = va_arg(args, const char*);
        out.append(formatOne(conversion + "s", text != nullptr ? text : "(null)"));
        break;
      }
      case 'p':
        out.append(pointerText(va_arg(args, const void*)));
        break;
      case '%':
        out.append("%", 1);
        break;
      default:
        // Unknown or truncated conversion: keep the text as written.
        if (*p == '\0') {
          out.append(conversionStart, static_cast<std::size_t>(p - conversionStart));
          va_end(args);
          return out.take();
        }
        out.append(conversionStart, static_cast<std::size_t>(p + 1 - conversionStart));
        break;
    }
    ++p;
  }
  va_end(args);
  return out.take();
}

}  // namespace brix
