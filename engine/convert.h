// Conversions between numbers, date-time values and texts. Pure functions:
// no locale is consulted, the decimal point is "." and digits are ASCII.
#pragma once

#include <cstdint>

#include "engine/text.h"

namespace dirtree {

// Decimal digits, "-" for negatives; no grouping or padding.
Text IntegerToText(std::int64_t n);

// "%.13g"-like with a three-digit exponent, "-0" written 0, and the words
// 1.#INF, 1.#IND, 1.#QNAN and 1.#SNAN for infinities and NaNs.
Text RealToText(double v);

// Days since 30 December 1899 as "Y年M月D日" plus 时/分/秒 as needed,
// rounded to the nearest second.
Text DateTimeToText(double v);

// Rounds half away from zero to `decimals` places (negative: tens, hundreds),
// nudging the scaled magnitude by 1e-12. Zero and NaN come back unchanged.
double RoundToDecimals(double v, std::int32_t decimals = 0);

// Whole part toward zero; NaN, infinities and out-of-range give INT64_MIN.
std::int64_t TruncateToInteger(double v);

// Leading blanks, optional sign, decimal digits with 32-bit wrap-around;
// full-width GBK digits, signs and blanks count as their ASCII forms.
std::int32_t TextToInteger(const Text& text);

// n blanks; the empty text for n <= 0.
Text BlankText(std::int32_t n);

// The last n bytes (the whole text when shorter); empty for n <= 0.
Text RightText(const Text& text, std::int32_t n);

// Replaces every occurrence of `search` that starts at a character boundary.
Text ReplaceText(const Text& text, const Text& search, const Text& replacement);

// Byte-wise unsigned comparison: -1, 0 or +1.
int CompareText(const Text& a, const Text& b);

}  // namespace dirtree
