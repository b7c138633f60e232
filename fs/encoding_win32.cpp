// GBK (code page 936) to and from UTF-16 and UTF-8 on Windows. Code page 936
// is named in every call, never CP_ACP, so names and paths convert the same
// way whatever the system's ANSI code page is.
#include <windows.h>

#include <cstdint>

#include "fs/encoding.h"
#include "fs/encoding_win32.h"

namespace dirtree {
namespace {

constexpr UINT kGbkCodePage = 936;

bool IsSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Code page 936 holds nothing outside the BMP. Windows would turn a surrogate
// pair into one default character or two depending on its tables; folding
// each pair (and each lone surrogate) into one "?" first makes one character
// always one "?".
std::wstring FoldSurrogates(std::wstring_view wide) {
  std::wstring out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const wchar_t c = wide[i];
    if (!IsSurrogate(c)) {
      out += c;
      continue;
    }
    if (IsHighSurrogate(c) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) ++i;
    out += L'?';
  }
  return out;
}

Text WideBmpToGbk(std::wstring_view wide) {
  if (wide.empty()) return Text();
  const int length = static_cast<int>(wide.size());
  const int bytes = ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                          nullptr, 0, "?", nullptr);
  if (bytes <= 0) return Text(wide.size(), '?');
  Text out(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), bytes,
                        "?", nullptr);
  return out;
}

// Converts a GBK run that holds only valid characters; false otherwise.
bool GbkRunToWide(const char* bytes, int length, std::wstring& out) {
  const int units = ::MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes, length,
                                          nullptr, 0);
  if (units <= 0) return false;
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(units));
  ::MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes, length, out.data() + start,
                        units);
  return true;
}

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when the byte
// at i does not start a valid (shortest-form, non-surrogate) sequence.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, std::uint32_t& cp) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char c = b(0);
  std::size_t length;
  std::uint32_t min;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if (c >= 0xC2 && c <= 0xDF) {
    length = 2, cp = c & 0x1F, min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3, cp = c & 0x0F, min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > s.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (b(k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

Text WideToGbk(std::wstring_view wide) {
  for (const wchar_t c : wide) {
    if (IsSurrogate(c)) return WideBmpToGbk(FoldSurrogates(wide));
  }
  return WideBmpToGbk(wide);
}

std::wstring GbkToWide(const Text& gbk) {
  std::wstring out;
  if (gbk.empty() || GbkRunToWide(gbk.data(), static_cast<int>(gbk.size()), out)) return out;
  // Some bytes are not GBK: convert character by character, each invalid
  // one becoming U+FFFD. A lead byte takes the byte after it, as the
  // character count of a text does.
  out.clear();
  for (std::size_t i = 0; i < gbk.size();) {
    const auto c = static_cast<unsigned char>(gbk[i]);
    const int length = (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size()) ? 2 : 1;
    if (!GbkRunToWide(gbk.data() + i, length, out)) out += L'\xFFFD';
    i += static_cast<std::size_t>(length);
  }
  return out;
}

Text Utf8ToGbk(std::string_view utf8) {
  // Decoded here rather than by the system so that each invalid byte, not
  // each invalid run, becomes one "?".
  std::wstring wide;
  wide.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    std::uint32_t cp = 0;
    const std::size_t length = DecodeUtf8(utf8, i, cp);
    if (length == 0) {
      wide += L'?';
      ++i;
      continue;
    }
    wide += cp < 0x10000 ? static_cast<wchar_t>(cp) : L'?';
    i += length;
  }
  return WideBmpToGbk(wide);
}

std::string GbkToUtf8(const Text& gbk) {
  const std::wstring wide = GbkToWide(gbk);
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr,
                                          nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace dirtree
