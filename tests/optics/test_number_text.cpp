#include <gtest/gtest.h>

#include <ostream>

#ifndef _WIN32
#include <locale.h>
#endif

#include <charconv>
#include <clocale>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <limits>
#include <string>
#include <utility>

#include "optics/NumberText.h"

namespace korvan {
namespace {

struct IntCase {
  const char* text;
  std::int32_t value;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const IntCase& c, std::ostream* os) { *os << c.text; }

class ParseIntRules : public ::testing::TestWithParam<IntCase> {};

TEST_P(ParseIntRules, ReadsTheLeadingNumberLikeAtoi) { EXPECT_EQ(ParseInt(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseIntRules,
    ::testing::Values(IntCase{"", 0}, IntCase{"abc", 0}, IntCase{"42", 42}, IntCase{"  \t\n\v\f\r-17x", -17},
                      IntCase{"+8", 8}, IntCase{"4x -- 5555.56 usec", 4}, IntCase{"640 x 512", 640},
                      IntCase{"- 5", 0}, IntCase{"1e3", 1}, IntCase{"2147483647", 2147483647},
                      IntCase{"2147483648", 2147483647}, IntCase{"99999999999999999999999", 2147483647},
                      IntCase{"-2147483648", -2147483648}, IntCase{"-2147483649", -2147483648},
                      IntCase{"0x10", 0}));

TEST(ParseInt, StopsAtAnEmbeddedNul) { EXPECT_EQ(ParseInt(std::string_view("12\0" "34", 5)), 12); }

struct DoubleCase {
  const char* text;
  double value;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const DoubleCase& c, std::ostream* os) { *os << c.text; }

class ParseDoubleRules : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(ParseDoubleRules, ReadsTheLeadingNumberLikeAtof) {
  EXPECT_EQ(ParseDouble(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseDoubleRules,
    ::testing::Values(DoubleCase{"", 0}, DoubleCase{"abc", 0}, DoubleCase{"2.8", 2.8}, DoubleCase{"  -0.25m", -0.25},
                      DoubleCase{"2m", 2}, DoubleCase{"1e", 1}, DoubleCase{"1e3", 1000}, DoubleCase{".5", 0.5},
                      DoubleCase{"2,8", 2}, DoubleCase{"0x1p4", 16}, DoubleCase{"Infinity", HUGE_VAL},
                      DoubleCase{"-Infinity", -HUGE_VAL}, DoubleCase{"inf", HUGE_VAL}, DoubleCase{"1e999", HUGE_VAL},
                      DoubleCase{"13.729104430178605", 13.729104430178605}));

TEST(ParseDouble, ReadsNotANumber) {
  EXPECT_TRUE(std::isnan(ParseDouble("NaN")));
  EXPECT_TRUE(std::isnan(ParseDouble("nan(123)")));
}

TEST(ParseDouble, StopsAtAnEmbeddedNul) { EXPECT_EQ(ParseDouble(std::string_view("1.5\0" "9", 5)), 1.5); }

TEST(ParseDouble, ReadsAVeryLongNumber) {
  const std::string digits(100000, '1');
  EXPECT_TRUE(std::isinf(ParseDouble(digits)));
  EXPECT_EQ(ParseDouble("0." + digits), ParseDouble("0.1111111111111111111111"));
}

// printf in the C locale is the reference for every finite value.
TEST(FormatG4, MatchesPrintfForFiniteValues) {
  const double values[] = {13.729104430178605, 0.006912, 1234567, 1e-5, 0.0001, 99995, 9999.5, 2.8193536,
                           -8.327738713984983, 5.300000000000001, 1e300, 4.9e-324, 0.5, 100, 1e15};
  for (const double v : values) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.4g", v);
    EXPECT_EQ(FormatG4(v), expected) << v;
  }
}

TEST(NumberText, ZeroOfEitherSignIsShownAsZero) {
  EXPECT_EQ(FormatG4(-0.0), "0");
  EXPECT_EQ(FormatG15(-0.0), "0");
  EXPECT_EQ(FormatFixed2(-0.0), "0.00");
  EXPECT_EQ(FormatFixed2(-0.001), "0.00");
  EXPECT_EQ(FormatFixed2(-0.006), "-0.01");
  EXPECT_EQ(FormatG4(-1e-300), "-1e-300");
}

TEST(NumberText, NonFiniteValuesAreReadableAndReadBack) {
  for (const double v : {HUGE_VAL, -HUGE_VAL}) {
    for (const std::string& text : {FormatG4(v), FormatFixed2(v), FormatG15(v)}) {
      EXPECT_EQ(ParseDouble(text), v) << text;
    }
  }
  EXPECT_EQ(FormatG4(HUGE_VAL), "Infinity");
  EXPECT_EQ(FormatG4(-HUGE_VAL), "-Infinity");
  EXPECT_EQ(FormatG4(std::nan("")), "NaN");
  EXPECT_EQ(FormatG4(-std::nan("")), "NaN");
  EXPECT_TRUE(std::isnan(ParseDouble(FormatG4(std::nan("")))));
}

TEST(NumberText, GeneralFifteenShowsRoundedDigitsInFull) {
  EXPECT_EQ(FormatG15(1235000), "1235000");
  EXPECT_EQ(FormatG15(0.006912), "0.006912");
  EXPECT_EQ(FormatFixed2(16666.666666666668), "16666.67");
  EXPECT_EQ(FormatInt(-60), "-60");
}

TEST(NumberText, ShortestTextReadsBackBitForBit) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t bits = random();
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    const std::string text = FormatShortest(v);
    ASSERT_EQ(std::memcmp(&v, &bits, sizeof v), 0);
    const double back = ParseDouble(text);
    ASSERT_EQ(std::memcmp(&back, &v, sizeof v), 0) << text;
  }
  EXPECT_EQ(FormatShortest(7.4), "7.4");
  EXPECT_EQ(FormatShortest(12), "12");
  EXPECT_EQ(FormatShortest(1e-320), "1e-320");
}

// A desktop with a comma as decimal separator must neither read "2.8" as 2 nor show "2,819".
TEST(NumberText, IgnoresTheProcessLocale) {
  const char* applied = std::setlocale(LC_ALL, "de_DE.UTF-8");
  if (applied == nullptr) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 2.5);
  ASSERT_STREQ(probe, "2,5") << "the locale did not take effect";
  EXPECT_EQ(ParseDouble("2.8"), 2.8);
  EXPECT_EQ(ParseDouble("2,8"), 2);
  EXPECT_EQ(FormatG4(2.8193536), "2.819");
  EXPECT_EQ(FormatFixed2(3.456), "3.46");
  EXPECT_EQ(FormatShortest(5.86), "5.86");
  std::setlocale(LC_ALL, "C");
}

#ifndef _WIN32
// The C library of the build machine is the reference the readings were made with: ParseDouble must
// give the same bits as glibc's strtod for every text, crafted or random, numbers or not.
double GlibcReading(const std::string& text) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return strtod_l(text.c_str(), nullptr, c);
}

std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TEST(ParseDouble, ReadsCraftedTextsAsStrtodDoes) {
  const char* texts[] = {
      "0x", "0X1P-3", "0x.8", "0x1.", "0x.p1", "0x1p", "0x1p+", "-0x1.fffffffffffff8p1023", "0x1.fffffffffffff7p1023",
      "0x1p-1074", "0x1p-1075", "0x1.8p-1075", "0x0.0000000000001p-1022", "0x1p99999999999", "0xg", "  -0x1AbC.dEfp-3z",
      "1d3", "1D3", "1e-400", "2.4703282292062328e-324", "2.4703282292062327e-324", "4.9406564584124654e-324",
      "2.2250738585072011e-308", "1.7976931348623158e308", "1.7976931348623159e308", "-0", "-0.0e5", "+.5", "+-1", "-+1",
      ".", "-.", ".e1", "e1", "1.e1", "1..2", "1e+-3", "1e0003", "00000000000000000001", "0.000000000000000000001e21",
      "9007199254740993", "9007199254740993.0000000000000000000000000000001", "0.1e-99999999999999999999",
      "1e99999999999999999999", "inf", "-INF", "infinit", "Infinity", "infinityx", "in", "iNfInItY", "nan", "-nan",
      "NaN(1)", "nan(0x7)", "nan(017)", "nan(99999999999999999999999)", "nan(abc)", "nan(_)", "nan()", "nan(1", "nan(-1)",
      "nan(0x)", "nanx", "\t\n\v\f\r 3", "\x01" "3", "2,8", "2.8m", "1_000", "0x1_0", "١", "1e", "1E", "0e", "0x0p0",
      // Hexadecimal ties, broken by a far digit or to even, and digits beyond what a double holds.
      "0x1.00000000000008p0", "0x1.00000000000018p0", "0x1.000000000000080000000000000001p0",
      "0x100000000000000000000000000p-1100", "0x0.00000000000000000000001p-980", "0x1.fffffffffffff8p-1023",
      "0x1.fffffffffffffp1023", "0xffffffffffffffffffffp-80", "0x.00000000000000000000000000000000000000001p1"};
  for (const char* text : texts) {
    const double expected = GlibcReading(text);
    const double actual = ParseDouble(text);
    EXPECT_EQ(Bits(actual), Bits(expected)) << '"' << text << "\" reads " << actual << ", strtod " << expected;
  }
}

// Random texts from an alphabet of the characters a number can hold, so that most are near misses.
TEST(ParseDouble, ReadsRandomTextsAsStrtodDoes) {
  const std::string alphabet = "0123456789.eE+-pPxXaAfFinINtyY( )_\t";
  std::mt19937_64 random(20261207);
  int mismatches = 0;
  for (int n = 0; n < 300000; ++n) {
    std::string text;
    const int length = static_cast<int>(random() % 24);
    const bool hex = random() % 4 == 0;
    if (hex) text = random() % 2 ? "0x" : "-0X";
    for (int k = 0; k < length; ++k) {
      // Digits twice as often as the rest, so that long numbers come up.
      const std::uint64_t r = random();
      text += r % 3 == 0 ? alphabet[r / 3 % alphabet.size()] : static_cast<char>('0' + r / 3 % 10);
    }
    if (Bits(ParseDouble(text)) != Bits(GlibcReading(text)) && ++mismatches <= 10) {
      ADD_FAILURE() << '"' << text << '"';
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// Every double written in shortest, in 17 digits and in hexadecimal reads back as itself, as strtod reads it.
TEST(ParseDouble, ReadsRandomDoublesAsStrtodDoes) {
  std::mt19937_64 random(7);
  int mismatches = 0;
  for (int n = 0; n < 200000; ++n) {
    double value;
    const std::uint64_t bits = random();
    std::memcpy(&value, &bits, sizeof value);
    char texts[3][64];
    std::snprintf(texts[0], sizeof texts[0], "%.17g", value);
    std::snprintf(texts[1], sizeof texts[1], "%a", value);
    std::snprintf(texts[2], sizeof texts[2], "%.*e", static_cast<int>(random() % 20), value);  // rounded: not itself
    for (const char* text : texts) {
      if (Bits(ParseDouble(text)) != Bits(GlibcReading(text)) && ++mismatches <= 10) {
        ADD_FAILURE() << '"' << text << '"';
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}
#endif

#if defined(__cpp_lib_to_chars)
// The printf formatting that stands in for std::to_chars where a standard library lacks it writes
// the same texts, in every notation the core uses and in shortest form.
TEST(NumberText, PrintfFormattingMatchesToChars) {
  std::mt19937_64 random(11);
  int mismatches = 0;
  const auto check = [&](const std::string& expected, const std::string& actual) {
    if (expected != actual && ++mismatches <= 10) ADD_FAILURE() << expected << " written as " << actual;
  };
  for (int n = 0; n < 20000; ++n) {
    double value;
    const std::uint64_t bits = random();
    std::memcpy(&value, &bits, sizeof value);
    // Every third value has an everyday size, where fixed and scientific notation trade places.
    if (n % 3 == 0) value = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(bits % 120) - 110);
    if (!std::isfinite(value)) continue;
    char buffer[400];
    check(std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr),
          printf_chars::Shortest(value));
    check(std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr),
          printf_chars::ShortestScientific(value));
    for (const auto& [format, precision] : {std::pair{std::chars_format::general, 4},
                                            std::pair{std::chars_format::general, 3},
                                            std::pair{std::chars_format::general, 15},
                                            std::pair{std::chars_format::fixed, 2}}) {
      check(std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, format, precision).ptr),
            printf_chars::Formatted(value, format, precision));
    }
  }
  for (double value : {0.0, -0.0, 1e22, 1e21, 123456.0, 1e-5, 0.0001, 5e-324, 1.7976931348623157e308}) {
    char buffer[64];
    check(std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr), printf_chars::Shortest(value));
  }
  // Powers of two, whose neighbours below are nearer than those above, and their neighbours.
  for (int exponent = -1074; exponent <= 1023; ++exponent) {
    const double power = std::ldexp(1.0, exponent);
    for (double value : {power, std::nextafter(power, 0.0), std::nextafter(power, INFINITY), -power}) {
      char buffer[64];
      check(std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr),
            printf_chars::ShortestScientific(value));
    }
  }
  EXPECT_EQ(mismatches, 0);
}
#endif

}  // namespace
}  // namespace korvan
