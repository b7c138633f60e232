// GBK (code page 936) to and from UTF-8, for the platform boundary: names
// read from disk, paths handed to system calls, command-line arguments and
// terminal output. Both directions are pure and locale-independent.
#pragma once

#include <string>
#include <string_view>

#include "engine/text.h"

namespace dirtree {

// A character that GBK cannot hold becomes "?", and so does each byte that
// is not part of valid UTF-8.
Text Utf8ToGbk(std::string_view utf8);

// A byte sequence that is not valid GBK becomes U+FFFD.
std::string GbkToUtf8(const Text& gbk);

}  // namespace dirtree
