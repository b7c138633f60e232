// GBK (code page 936) to and from UTF-16 and UTF-8 on Windows. Code page 936
// is named in every call, never CP_ACP, so names and paths convert the same
// way whatever the system's ANSI code page is.
#include <windows.h>

#include <cstdint>

#include "fs/encoding.h"
#include "fs/encoding_win32.h"
#include "fs/utf8.h"

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
