// GBK <-> UTF-8 with glibc's iconv. iconv is asked once per process to fill
// two code tables (code page 936 both ways); every later conversion is a
// table lookup, which keeps the per-entry cost of the walk small.
#include <iconv.h>

#include <array>
#include <cstdint>
#include <memory>

#include "fs/encoding.h"
#include "fs/utf8.h"

namespace dirtree {
namespace {

struct CodeTables {
  // GBK code (a single byte, or lead << 8 | trail) by BMP code point; 0: none.
  std::array<std::uint16_t, 0x10000> gbkByUnicode{};
  // BMP code point by two-byte GBK code; 0: not a GBK character.
  std::array<std::uint16_t, 0x10000> unicodeByGbk{};
  std::uint16_t unicodeOf0x80 = 0;
};

class IconvOwner {
 public:
  IconvOwner(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvOwner() {
    if (valid()) iconv_close(cd_);
  }
  IconvOwner(const IconvOwner&) = delete;
  IconvOwner& operator=(const IconvOwner&) = delete;
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Converts one GBK character to a BMP code point; 0 when it has none.
std::uint16_t DecodeOne(iconv_t cd, const char* bytes, std::size_t length) {
  char in[2] = {bytes[0], length > 1 ? bytes[1] : '\0'};
  unsigned char out[4];
  char* inp = in;
  char* outp = reinterpret_cast<char*>(out);
  std::size_t inLeft = length, outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) return 0;
  if (inLeft != 0 || sizeof out - outLeft != 2) return 0;
  return static_cast<std::uint16_t>(out[0] | out[1] << 8);
}

std::unique_ptr<CodeTables> BuildTables() {
  auto tables = std::make_unique<CodeTables>();
  IconvOwner cd("UCS-2LE", "CP936");
  for (int c = 0; c < 0x80; ++c) tables->gbkByUnicode[c] = static_cast<std::uint16_t>(c);
  if (!cd.valid()) return tables;
  const char euro = static_cast<char>(0x80);
  tables->unicodeOf0x80 = DecodeOne(cd.get(), &euro, 1);
  if (tables->unicodeOf0x80) tables->gbkByUnicode[tables->unicodeOf0x80] = 0x80;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const std::uint16_t u = DecodeOne(cd.get(), pair, 2);
      if (u == 0) continue;
      const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
      tables->unicodeByGbk[code] = u;
      if (tables->gbkByUnicode[u] == 0) tables->gbkByUnicode[u] = code;
    }
  }
  return tables;
}

const CodeTables& Tables() {
  static const std::unique_ptr<CodeTables> tables = BuildTables();
  return *tables;
}

}  // namespace

Text Utf8ToGbk(std::string_view utf8) {
  const CodeTables& tables = Tables();
  Text out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    std::uint32_t cp = 0;
    const std::size_t length = DecodeUtf8(utf8, i, cp);
    if (length == 0) {
      out += '?';
      ++i;
      continue;
    }
    i += length;
    const std::uint16_t code = cp < 0x10000 ? tables.gbkByUnicode[cp] : 0;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (code == 0) {
      out += '?';
    } else if (code < 0x100) {
      out += static_cast<char>(code);
    } else {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    }
  }
  return out;
}

std::string GbkToUtf8(const Text& gbk) {
  const CodeTables& tables = Tables();
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  for (std::size_t i = 0; i < gbk.size();) {
    const auto c = static_cast<unsigned char>(gbk[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else if (c == 0x80 && tables.unicodeOf0x80) {
      AppendUtf8(out, tables.unicodeOf0x80);
      ++i;
    } else if (i + 1 < gbk.size() && c >= 0x81 && c <= 0xFE) {
      const auto code = static_cast<std::uint16_t>(c << 8 | static_cast<unsigned char>(gbk[i + 1]));
      const std::uint16_t u = tables.unicodeByGbk[code];
      AppendUtf8(out, u ? u : 0xFFFD);
      i += 2;
    } else {
      AppendUtf8(out, 0xFFFD);
      ++i;
    }
  }
  return out;
}

}  // namespace dirtree
