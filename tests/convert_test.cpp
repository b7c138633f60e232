// The value-to-text conversions: each rule as a table of cases, plus the
// edges where a naive implementation differs (NaN bits, carries, wrap-around,
// double-byte characters, the fatal allocation path).
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <ostream>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "engine/convert.h"
#include "tests/text_printer.h"

namespace dirtree {
namespace {

// Arithmetic the compiler must not fold: folded 0 / 0 is a positive NaN,
// while the processor's default NaN has the sign bit set.
double Divide(double a, double b) {
  volatile double x = a;
  volatile double y = b;
  return x / y;
}

double FromBits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

// A moment of day 45000 (15 March 2023).
double Day45000At(int h, int m, double s) { return 45000.0 + (h * 3600 + m * 60 + s) / 86400.0; }

std::string Shown(const Text& text) { return testing::PrintToString(text); }

TEST(IntegerToTextTest, Table) {
  struct Row {
    std::int64_t value;
    const char* text;
  };
  const Row rows[] = {
      {0, "0"},
      {123456, "123456"},
      {-42, "-42"},
      {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
      {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(IntegerToText(row.value), row.text);
  }
}

TEST(RealToTextTest, Table) {
  struct Row {
    double value;
    const char* text;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Row rows[] = {
      {1.5, "1.5"},
      {1024.0, "1024"},
      {1 + 0.07, "1.07"},
      {0.1 + 1e-15, "0.1"},
      {Divide(2, 3), "0.6666666666667"},
      {0.0001, "0.0001"},
      {0.00001, "1e-005"},
      {1234567890123, "1234567890123"},
      {12345678901234, "1.234567890123e+013"},
      {1e15, "1e+015"},
      {9.99999999999996, "10"},
      {-2.5, "-2.5"},
      {-0.0, "0"},
      {Divide(0, 0), "-1.#IND"},
      {inf, "1.#INF"},
      {-inf, "-1.#INF"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(RealToText(row.value), row.text);
  }
}

TEST(RealToTextTest, DigitsAndExponents) {
  struct Row {
    double value;
    const char* text;
  };
  const Row rows[] = {
      // The carry out of the first digit moves the form: 9999999999999.5
      // becomes 1e+013, 0.000099999999999995 becomes 0.0001.
      {9999999999999.5, "1e+013"},
      {9999999999999.4, "9999999999999"},
      {0.000099999999999995, "0.0001"},
      {0.00012345678901234, "0.0001234567890123"},
      {-1.2345678901235e-7, "-1.234567890124e-007"},
      {0.5, "0.5"},
      {100, "100"},
      {1e100, "1e+100"},
      {1.7976931348623157e308, "1.797693134862e+308"},
      {5e-324, "4.940656458412e-324"},
      {2.2250738585072014e-308, "2.225073858507e-308"},
      // Two rounding stages: the double lies just below ...2150 in the 14th
      // digit, its 17 digits read 1.0000000000215000, and those round up.
      {1.0000000000215e-06, "1.000000000022e-006"},
      {1.00000000000005, "1"},
      {123456789012.3456, "123456789012.3"},
      {1.07, "1.07"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(RealToText(row.value), row.text);
  }
}

TEST(RealToTextTest, NaNWordsFollowSignAndQuietBit) {
  struct Row {
    std::uint64_t bits;
    const char* text;
  };
  const Row rows[] = {
      {0xFFF8000000000000, "-1.#IND"},   // the processor's default NaN
      {0x7FF8000000000000, "1.#QNAN"},   // same payload, positive
      {0xFFF8000000000001, "-1.#QNAN"},  // negative, other payload
      {0x7FFFFFFFFFFFFFFF, "1.#QNAN"},
      {0x7FF0000000000001, "1.#SNAN"},
      {0xFFF4000000000000, "-1.#SNAN"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(RealToText(FromBits(row.bits)), row.text);
  }
}

TEST(RoundToDecimalsTest, Table) {
  struct Row {
    double value;
    std::int32_t decimals;
    double result;
  };
  const Row rows[] = {
      {0.125, 2, 0.13},
      {0.145, 2, 0.15},  // scaled 14.499999999999998
      {1.005, 2, 1.01},  // scaled 100.49999999999999
      {0.994, 2, 0.99},
      {0.995, 2, 1},
      {0.07421875, 2, 0.07},
      {2.5, 0, 3},
      {-2.5, 0, -3},
      {0.4999999999995, 0, 1},
      {0.49999999999, 0, 0},
      {1234.5, -2, 1200},
      {1250, -2, 1300},
      {-0.125, 2, -0.13},
      {0.5, 400, std::numeric_limits<double>::infinity()},  // the scale overflows
      {1e300, 10, std::numeric_limits<double>::infinity()},
      {-1e300, 10, -std::numeric_limits<double>::infinity()},
      {1234.5, -400, 0},
      {-std::numeric_limits<double>::infinity(), -400, -std::numeric_limits<double>::infinity()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.value << " to " << row.decimals);
    EXPECT_EQ(RoundToDecimals(row.value, row.decimals), row.result);
  }
  EXPECT_EQ(RoundToDecimals(2.5), 3);  // decimals default to 0
}

TEST(RoundToDecimalsTest, ZerosAndNaNsComeBackBitForBit) {
  const std::uint64_t cases[] = {0x0000000000000000, 0x8000000000000000, 0xFFF8000000000000,
                                 0x7FF8000000000123, 0x7FF0000000000001, 0xFFF4000000000abc};
  for (std::uint64_t bits : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << bits);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(RoundToDecimals(FromBits(bits), 2)), bits);
  }
}

TEST(TruncateToIntegerTest, Table) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  struct Row {
    double value;
    std::int64_t result;
  };
  const Row rows[] = {
      {2.9, 2},
      {-2.9, -2},
      {-0.5, 0},
      {1024.9990234375, 1024},
      {-0x1p63, kMin},
      {0x1p63 - 1024, 0x7FFFFFFFFFFFFC00},
      {0x1p63, kMin},
      {1e19, kMin},
      {-1e19, kMin},
      {std::numeric_limits<double>::infinity(), kMin},
      {-std::numeric_limits<double>::infinity(), kMin},
      {Divide(0, 0), kMin},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(TruncateToInteger(row.value), row.result);
  }
}

TEST(DateTimeToTextTest, Table) {
  struct Row {
    double value;
    const char* text;
  };
  const Row rows[] = {
      {0, "1899年12月30日"},
      {45000.5, "2023年3月15日12时"},
      {Day45000At(13, 5, 0), "2023年3月15日13时5分"},
      {Day45000At(0, 0, 7), "2023年3月15日0时0分7秒"},
      {Day45000At(9, 30, 0.6), "2023年3月15日9时30分1秒"},
      {Day45000At(23, 59, 59.6), "2023年3月16日"},
      {Day45000At(23, 59, 59.4), "2023年3月15日23时59分59秒"},
      {45351, "2024年2月29日"},
      {60, "1900年2月28日"},
      {61, "1900年3月1日"},
      {-1.25, "1899年12月29日6时"},
      {-0.5, "1899年12月30日12时"},  // the whole part goes toward zero
      {3000000, "9999年12月31日"},
      {2958465.5, "9999年12月31日"},
      {Divide(0, 0), "9999年12月31日"},
      {std::numeric_limits<double>::infinity(), "9999年12月31日"},
      {-700000, "100年1月1日"},
      {-std::numeric_limits<double>::infinity(), "100年1月1日"},
      {36526, "2000年1月1日"},
      {43752 + (4 * 3600 + 59 * 60 + 46) / 86400.0, "2019年10月14日4时59分46秒"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(DateTimeToText(row.value), row.text);
  }
}

TEST(TextToIntegerTest, Table) {
  struct Row {
    const char* text;
    std::int32_t result;
  };
  const Row rows[] = {
      {"12", 12},
      {" 12", 12},
      {"\t12", 12},
      {"\r\n\v\f12", 12},
      {"-3", -3},
      {"+7", 7},
      {"3.7", 3},
      {"12abc", 12},
      {"abc", 0},
      {"", 0},
      {"0x10", 0},
      {"- 3", 0},
      {"+-3", 0},
      {"１２", 12},
      {"\xA1\xA1－３", -3},  // ideographic space, full-width minus
      {"＋７", 7},
      {"1２3", 123},
      {"十二", 0},
      {"4294967297", 1},
      {"2147483648", std::numeric_limits<std::int32_t>::min()},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"99999999999", 1215752191},  // 99999999999 mod 2^32
      {"\xA1\xA1", 0},
      {"12\xB3", 12},     // a lone lead byte at the end is dropped
      {"\xB3" "5", 0},    // B3 35 is one character, not a digit
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Shown(row.text));
    EXPECT_EQ(TextToInteger(row.text), row.result);
  }
  EXPECT_EQ(TextToInteger(Text()), 0);
}

TEST(BlankTextTest, Table) {
  EXPECT_EQ(BlankText(0), "");
  EXPECT_EQ(BlankText(-1), "");
  EXPECT_EQ(BlankText(std::numeric_limits<std::int32_t>::min()), "");
  EXPECT_EQ(BlankText(3), "   ");
}

void ReportBytesAndExit(std::int64_t bytes) {
  std::fprintf(stderr, "bytes=%lld\n", static_cast<long long>(bytes));
  std::fflush(stderr);
  std::_Exit(3);
}

// 255 where the exit status is eight bits, -1 where it is the whole word.
bool ExitedWithMinusOne(int status) {
  return testing::ExitedWithCode(255)(status) || testing::ExitedWithCode(-1)(status);
}

TEST(BlankTextDeathTest, HugeCountEndsThroughTheFailureHook) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetAllocationFailureHandler(ReportBytesAndExit);
        BlankText(1500000000);
      },
      testing::ExitedWithCode(3), "bytes=1500000001");
  // The default reaction writes the message to standard error and exits -1.
  EXPECT_EXIT(
      {
        SetAllocationFailureHandler(nullptr);
        BlankText(std::numeric_limits<std::int32_t>::max());
      },
      ExitedWithMinusOne, "2147483648");
}

TEST(RightTextTest, Table) {
  struct Row {
    const char* text;
    std::int32_t count;
    const char* result;
  };
  const Row rows[] = {
      {"D:\\Work", 1, "k"},
      {"D:\\Work\\", 1, "\\"},
      {"誠", 1, "\\"},  // D5 5C: the last byte alone
      {"abc", 2, "bc"},
      {"abc", 3, "abc"},
      {"abc", 10, "abc"},
      {"abc", 0, ""},
      {"abc", -1, ""},
      {"", 5, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << Shown(row.text) << " / " << row.count);
    EXPECT_EQ(RightText(row.text, row.count), row.result);
  }
  EXPECT_EQ(Text("誠"), Text("\xD5\x5C"));  // the build stores literals as GBK
}

TEST(ReplaceTextTest, Table) {
  struct Row {
    const char* text;
    const char* search;
    const char* replacement;
    const char* result;
  };
  const Row rows[] = {
      {"D:\\a\\b", "\\", "", "D:ab"},
      {"D:\\a\\b", ":", "", "D\\a\\b"},
      {"誠\\", "\\", "", "誠"},        // D5 5C 5C: only the last 5C is a match
      {"表\\誠", "\\", "/", "表/誠"},  // B1 ED 5C D5 5C
      {"aaaa", "aa", "b", "bb"},
      {"aaa", "aa", "b", "ba"},
      {"abcABC", "abc", "x", "xABC"},
      {"abc", "", "x", "abc"},
      {"", "a", "x", ""},
      {"abc", "abcd", "x", "abc"},
      {"xay", "a", "", "xy"},
      {"a\xB3", "a", "b", "b"},      // a trailing lead byte is dropped ...
      {"a\xB3", "ab", "c", "a\xB3"},  // ... unless the scan stops before it
      {"\xB3" "a" "a", "a", "b", "\xB3" "ab"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << Shown(row.text) << " / " << Shown(row.search));
    EXPECT_EQ(ReplaceText(row.text, row.search, row.replacement), Text(row.result));
  }
}

TEST(CompareTextTest, Table) {
  struct Row {
    Text a;
    Text b;
    int result;
  };
  const Row rows[] = {
      {Text(), Text(""), 0},
      {"abc", "abc", 0},
      {"abc", "abd", -1},
      {"abd", "abc", 1},
      {"ab", "abc", -1},
      {"abc", "ab", 1},
      {"", "a", -1},
      {"\x80", "a", 1},  // bytes compare unsigned
      {"A", "a", -1},
      {Text("a\0b", 3), Text("a\0c", 3), -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << Shown(row.a) << " / " << Shown(row.b));
    EXPECT_EQ(CompareText(row.a, row.b), row.result);
  }
}

}  // namespace
}  // namespace dirtree
