// Number, date and text conversions whose exact results reach the report and
// the window. Everything here is plain IEEE double and integer arithmetic so
// the Linux and Windows builds produce the same bytes: no locale, no printf
// family, no libm routine whose last bit may differ between C libraries.
#include "engine/convert.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace dirtree {
namespace {

constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kExponentBits = std::uint64_t{0x7FF} << 52;
constexpr std::uint64_t kFractionBits = (std::uint64_t{1} << 52) - 1;
constexpr std::uint64_t kQuietBit = std::uint64_t{1} << 51;

// Appends the decimal digits of a magnitude.
void AppendDigits(Text& out, std::uint64_t magnitude) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) out.push_back(digits[--count]);
}

void AppendInteger(Text& out, std::int64_t n) {
  // Negating in unsigned arithmetic keeps the smallest value well defined.
  std::uint64_t magnitude = static_cast<std::uint64_t>(n);
  if (n < 0) {
    out.push_back('-');
    magnitude = 0 - magnitude;
  }
  AppendDigits(out, magnitude);
}

// The word for an infinity or NaN; the caller adds the sign.
const char* SpecialValueWord(std::uint64_t bits) {
  const std::uint64_t fraction = bits & kFractionBits;
  if (fraction == 0) return "1.#INF";
  // The x86 default NaN (0 / 0): sign set and only the quiet bit.
  if ((bits & kSignBit) != 0 && fraction == kQuietBit) return "1.#IND";
  return (fraction & kQuietBit) != 0 ? "1.#QNAN" : "1.#SNAN";
}

// 10^n for n >= 0. Exact up to 10^22; beyond that a fixed chain of
// multiplications, so every build forms the same double.
double PowerOfTen(std::int32_t n) {
  static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  double p = 1;
  while (n > 22) {
    p *= 1e22;
    n -= 22;
    if (std::isinf(p)) return p;
  }
  return p * kExact[n];
}

// Whole part and fraction of a non-negative number, in double precision.
// Infinity splits into infinity and NaN, so it never rounds up.
struct Split {
  double whole;
  double fraction;
};
Split SplitNumber(double x) {
  const double whole = std::trunc(x);
  return {whole, x - whole};
}

double RoundHalfUp(double scaled) {
  const Split s = SplitNumber(scaled + 1e-12);
  return s.fraction >= 0.5 ? s.whole + 1 : s.whole;
}

struct CivilDate {
  std::int64_t year;
  int month;
  int day;
};

// Proleptic Gregorian date of a day count from 1 January 1970.
CivilDate DateFromDays(std::int64_t days) {
  days += 719468;  // shift the era origin to 1 March 0000
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 is March
  const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, day};
}

}  // namespace

Text IntegerToText(std::int64_t n) {
  Text out;
  AppendInteger(out, n);
  return out;
}

Text RealToText(double v) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
  const bool negative = (bits & kSignBit) != 0;
  Text out;
  if ((bits & kExponentBits) == kExponentBits) {
    if (negative) out.push_back('-');
    out.append(SpecialValueWord(bits));
    return out;
  }
  if ((bits & ~kSignBit) == 0) return Text("0");

  // 17 correctly rounded significant digits: "d.dddddddddddddddde[+-]x".
  char expansion[48];
  const auto [end, ec] = std::to_chars(expansion, expansion + sizeof expansion, std::fabs(v),
                                       std::chars_format::scientific, 16);
  (void)ec;  // 48 bytes always hold 17 digits and a three-digit exponent
  char digits[13];
  digits[0] = expansion[0];
  std::memcpy(digits + 1, expansion + 2, 12);
  const char fourteenth = expansion[14];
  int exponent = 0;
  std::from_chars(expansion + 20, end, exponent);
  if (expansion[19] == '-') exponent = -exponent;

  // Second stage: half up from the 14th digit to 13.
  if (fourteenth >= '5') {
    int i = 12;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i >= 0) {
      ++digits[i];
    } else {
      digits[0] = '1';
      ++exponent;
    }
  }

  int kept = 13;
  if (negative) out.push_back('-');
  if (exponent < -4 || exponent >= 13) {
    while (kept > 1 && digits[kept - 1] == '0') --kept;
    out.push_back(digits[0]);
    if (kept > 1) {
      out.push_back('.');
      out.append(digits + 1, kept - 1);
    }
    out.push_back('e');
    out.push_back(exponent < 0 ? '-' : '+');
    const int magnitude = exponent < 0 ? -exponent : exponent;
    out.push_back(static_cast<char>('0' + magnitude / 100));
    out.push_back(static_cast<char>('0' + magnitude / 10 % 10));
    out.push_back(static_cast<char>('0' + magnitude % 10));
  } else if (exponent >= 0) {
    const int whole = exponent + 1;
    while (kept > whole && digits[kept - 1] == '0') --kept;
    out.append(digits, whole);
    if (kept > whole) {
      out.push_back('.');
      out.append(digits + whole, kept - whole);
    }
  } else {
    while (digits[kept - 1] == '0') --kept;  // digits[0] is never 0
    out.append("0.");
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out.append(digits, kept);
  }
  return out;
}

Text DateTimeToText(double v) {
  constexpr double kLatestDate = 2958465;   // 31 December 9999
  constexpr double kEarliestDate = -657434;  // 1 January 100
  constexpr double kHalfSecond = 1.0 / 172800;
  constexpr std::int64_t kDay0FromUnixEpoch = -25569;  // 30 December 1899

  if (!(v <= kLatestDate)) v = kLatestDate;  // NaN included
  if (v < kEarliestDate) v = kEarliestDate;
  const double t = v > 0 ? v + kHalfSecond : v - kHalfSecond;

  const auto dayNumber = static_cast<std::int64_t>(std::trunc(t));
  const double magnitude = std::fabs(t);
  const auto seconds = static_cast<std::int64_t>(std::trunc((magnitude - std::floor(magnitude)) * 86400));
  const std::int64_t hour = seconds / 3600;
  const std::int64_t minute = seconds / 60 % 60;
  const std::int64_t second = seconds % 60;

  const CivilDate date = DateFromDays(dayNumber + kDay0FromUnixEpoch);
  Text out;
  AppendInteger(out, date.year);
  out.append("年");
  AppendInteger(out, date.month);
  out.append("月");
  AppendInteger(out, date.day);
  out.append("日");
  if (second != 0 || minute != 0 || hour != 0) {
    AppendInteger(out, hour);
    out.append("时");
    if (second != 0 || minute != 0) {
      AppendInteger(out, minute);
      out.append("分");
      if (second != 0) {
        AppendInteger(out, second);
        out.append("秒");
      }
    }
  }
  return out;
}

double RoundToDecimals(double v, std::int32_t decimals) {
  if (v == 0 || std::isnan(v)) return v;
  if (std::isinf(v)) return v;  // also keeps inf / inf out of the scaling
  const double a = std::fabs(v);
  double r;
  if (decimals > 0) {
    const double p = PowerOfTen(decimals);
    const double k = RoundHalfUp(a * p);
    // An overflowed scale stays infinite rather than becoming inf / inf.
    r = std::isinf(k) ? k : k / p;
  } else if (decimals == 0) {
    r = RoundHalfUp(a);
  } else {
    // -decimals in 64 bits: the smallest 32-bit count has no 32-bit negation.
    const double p = PowerOfTen(static_cast<std::int32_t>(
        std::min<std::int64_t>(-static_cast<std::int64_t>(decimals), 400)));
    const double k = RoundHalfUp(a / p);
    // A value far below the scale rounds to zero rather than 0 * inf.
    r = k == 0 ? 0.0 : k * p;
  }
  return v < 0 ? -r : r;
}

std::int64_t TruncateToInteger(double v) {
  // The range test rejects NaN too; only then is the conversion defined.
  if (v >= -0x1p63 && v < 0x1p63) return static_cast<std::int64_t>(v);
  return std::numeric_limits<std::int64_t>::min();
}

std::int32_t TextToInteger(const Text& text) {
  // Full-width GBK forms of blanks, signs and digits become ASCII first.
  Text folded;
  folded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (!IsLeadByte(text[i])) {
      folded.push_back(static_cast<char>(lead));
      continue;
    }
    if (i + 1 >= text.size() || text[i + 1] == '\0') continue;  // a lone lead byte is dropped
    const auto trail = static_cast<unsigned char>(text[++i]);
    if (lead == 0xA1 && trail == 0xA1) {
      folded.push_back(' ');
    } else if (lead == 0xA1 && trail == 0xAB) {
      folded.push_back('~');
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      folded.push_back('*');
    } else if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      folded.push_back(static_cast<char>(trail - 0x80));
    } else {
      folded.push_back(static_cast<char>(lead));
      folded.push_back(static_cast<char>(trail));
    }
  }

  std::size_t i = 0;
  while (i < folded.size() && (folded[i] == ' ' || (folded[i] >= '\t' && folded[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) negative = folded[i++] == '-';
  std::uint32_t value = 0;  // wraps modulo 2^32 by design
  for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
    value = value * 10 + static_cast<std::uint32_t>(folded[i] - '0');
  }
  if (negative) value = 0 - value;
  return static_cast<std::int32_t>(value);
}

Text BlankText(std::int32_t n) {
  if (n <= 0) return Text();
  return Text(static_cast<std::size_t>(n), ' ');
}

Text RightText(const Text& text, std::int32_t n) {
  if (n <= 0) return Text();
  const auto count = static_cast<std::size_t>(n);
  if (count >= text.size()) return text;
  return text.substr(text.size() - count);
}

Text ReplaceText(const Text& text, const Text& search, const Text& replacement) {
  if (text.empty() || search.empty()) return text;
  Text out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (text.size() - i >= search.size()) {
    if (text.compare(i, search.size(), search) == 0) {
      out.append(replacement);
      i += search.size();
    } else if (IsLeadByte(text[i])) {
      // A match may not start on a trailing byte, so step over both.
      if (i + 1 < text.size()) out.append(text, i, 2);
      i += 2;
      if (i > text.size()) i = text.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  out.append(text, i, Text::npos);
  return out;
}

int CompareText(const Text& a, const Text& b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace dirtree
