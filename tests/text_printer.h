// GoogleTest failure messages show a Text as a C literal, GBK bytes as \xNN
// escapes, so a wrong connector or name reads the same on every terminal.
#pragma once

#include <ostream>

#include "engine/text.h"

namespace dirtree {

// In the namespace of Text so that GoogleTest finds it.
inline void PrintTo(const Text& text, std::ostream* os) {
  static const char kHex[] = "0123456789ABCDEF";
  *os << '"';
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      *os << static_cast<char>(c);
    } else {
      *os << "\\x" << kHex[c >> 4] << kHex[c & 15];
    }
  }
  *os << '"';
}

}  // namespace dirtree
