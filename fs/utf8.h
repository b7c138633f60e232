// UTF-8 decoding and encoding shared by both platforms' text conversions, so
// an invalid byte becomes one "?" on Linux and on Windows alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dirtree {

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when the byte
// at i does not start a valid (shortest-form, non-surrogate) sequence.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, std::uint32_t& cp);

// Appends a BMP code point.
void AppendUtf8(std::string& out, std::uint32_t cp);

}  // namespace dirtree
