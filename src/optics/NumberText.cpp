#include "optics/NumberText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <system_error>

#include <fast_float/fast_float.h>

namespace korvan {
namespace {

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-insensitive test that `text` continues with `word` at `i`.
bool HasWordAt(std::string_view text, std::size_t i, std::string_view word) {
  if (text.size() - i < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (Lower(text[i + k]) != word[k]) return false;
  }
  return true;
}

// The length of the longest prefix of `text` that reads as a number with `digit` as the digit
// test and `exponentMark` as the exponent letter: digits, optional point, digits, then an exponent
// only when at least one digit follows it. 0 when the prefix holds no digit.
template <typename DigitTest>
std::size_t NumberLength(std::string_view text, DigitTest digit, char exponentMark) {
  std::size_t i = 0;
  bool anyDigit = false;
  while (i < text.size() && digit(text[i])) ++i, anyDigit = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && digit(text[i])) ++i, anyDigit = true;
  }
  if (!anyDigit) return 0;
  if (i < text.size() && Lower(text[i]) == exponentMark) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

// strtod's reading of "nan(chars)": the characters, read as an unsigned number in C notation
// (decimal, 0x hexadecimal or 0 octal, saturating), fill the low 51 bits of the quiet NaN.
double NotANumber(std::string_view chars) {
  const std::uint64_t quiet = 0x7ff8000000000000ULL;
  std::uint64_t payload = 0;
  std::size_t i = 0;
  unsigned base = 10;
  if (chars.size() >= 2 && chars[0] == '0' && Lower(chars[1]) == 'x' && chars.size() > 2 && IsHexDigit(chars[2])) {
    base = 16;
    i = 2;
  } else if (!chars.empty() && chars[0] == '0') {
    base = 8;
  }
  bool saturated = false;
  for (; i < chars.size(); ++i) {
    const char c = Lower(chars[i]);
    const unsigned digit = IsDigit(c) ? static_cast<unsigned>(c - '0') : c >= 'a' && c <= 'z' ? c - 'a' + 10 : 99;
    if (digit >= base) break;
    if (payload > (UINT64_MAX - digit) / base) saturated = true;
    payload = payload * base + digit;
  }
  if (i != chars.size()) payload = 0;  // not wholly a number: no payload
  if (saturated) payload = UINT64_MAX;
  const std::uint64_t bits = quiet | (payload & ((std::uint64_t{1} << 51) - 1));
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The value of hexadecimal digits with an optional point and binary exponent ("1.8p-3", the syntax
// NumberLength accepts), rounded to nearest with ties to even as strtod rounds: infinity above the
// largest double, subnormal or zero below the smallest normal one.
double HexValue(std::string_view number) {
  std::uint64_t mantissa = 0;  // the leading digits, at least 61 significant bits of them
  std::int64_t exponent = 0;   // of 2, for the last bit of `mantissa`
  bool sticky = false;         // a nonzero digit beyond `mantissa`
  bool afterPoint = false;
  std::size_t i = 0;
  for (; i < number.size() && Lower(number[i]) != 'p'; ++i) {
    if (number[i] == '.') {
      afterPoint = true;
      continue;
    }
    const char c = Lower(number[i]);
    const unsigned digit = IsDigit(c) ? static_cast<unsigned>(c - '0') : static_cast<unsigned>(c - 'a' + 10);
    if (mantissa < (std::uint64_t{1} << 60)) {
      mantissa = mantissa * 16 + digit;
      if (afterPoint) exponent -= 4;
    } else {
      sticky = sticky || digit != 0;
      if (!afterPoint) exponent += 4;
    }
  }
  if (i < number.size()) {
    ++i;
    const bool negative = number[i] == '-';
    if (number[i] == '+' || number[i] == '-') ++i;
    std::int64_t written = 0;  // beyond 10^9 the result is infinity or zero either way
    for (; i < number.size(); ++i) {
      if (written < 1000000000) written = written * 10 + (number[i] - '0');
    }
    exponent += negative ? -written : written;
  }
  if (mantissa == 0) return 0.0;

  // The place of the result's last bit: 52 below its leading bit, but never below the smallest subnormal.
  const std::int64_t leading = exponent + std::bit_width(mantissa) - 1;
  if (leading >= std::numeric_limits<double>::max_exponent) return std::numeric_limits<double>::infinity();
  const std::int64_t last = std::max<std::int64_t>(leading - 52, -1074);
  const std::int64_t dropped = last - exponent;
  if (dropped <= 0) return std::ldexp(static_cast<double>(mantissa), static_cast<int>(exponent));
  if (dropped > 64) return 0.0;  // below half the smallest subnormal
  const std::uint64_t kept = dropped == 64 ? 0 : mantissa >> dropped;
  const std::uint64_t rest = dropped == 64 ? mantissa : mantissa & ((std::uint64_t{1} << dropped) - 1);
  const std::uint64_t half = std::uint64_t{1} << (dropped - 1);
  const bool up = rest > half || (rest == half && (sticky || (kept & 1) != 0));
  // Exact: at most 53 bits at a representable place; a carry to 2^1024 gives infinity.
  return std::ldexp(static_cast<double>(kept + (up ? 1 : 0)), static_cast<int>(last));
}

// The value of decimal digits with an optional point and exponent (the syntax NumberLength accepts),
// correctly rounded by the Eisel-Lemire algorithm with an exact fallback: infinity above the largest
// double, zero below half the smallest subnormal.
double DecimalValue(std::string_view number) {
  double value = 0;
  fast_float::from_chars(number.data(), number.data() + number.size(), value);
  return value;
}

// The unsigned leading number of `text` (after white space and sign), as strtod reads it; nothing
// when the text does not begin with one.
std::optional<double> ReadMagnitude(std::string_view text) {
  if (HasWordAt(text, 0, "inf")) return std::numeric_limits<double>::infinity();
  if (HasWordAt(text, 0, "nan")) {
    std::size_t i = 3;
    if (i < text.size() && text[i] == '(') {
      std::size_t j = i + 1;
      while (j < text.size() && (IsDigit(text[j]) || (Lower(text[j]) >= 'a' && Lower(text[j]) <= 'z') ||
                                 text[j] == '_')) {
        ++j;
      }
      if (j < text.size() && text[j] == ')') return NotANumber(text.substr(i + 1, j - i - 1));
    }
    return NotANumber({});
  }

  if (text.size() >= 2 && text[0] == '0' && Lower(text[1]) == 'x') {
    const std::string_view digits = text.substr(2);
    const std::size_t length = NumberLength(digits, IsHexDigit, 'p');
    if (length == 0) return 0.0;  // "0x" without a hexadecimal digit is the number 0 followed by "x"
    return HexValue(digits.substr(0, length));
  }
  const std::size_t length = NumberLength(text, IsDigit, 'e');
  if (length == 0) return std::nullopt;
  return DecimalValue(text.substr(0, length));
}

#if defined(__cpp_lib_to_chars)
// std::to_chars formats exactly as printf does in the C locale, whatever the process locale is.
std::string ToChars(double value, std::chars_format format, int precision) {
  char buffer[400];  // enough for "%.2f" of the largest double
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  return std::string(buffer, result.ptr);
}

std::string ShortestChars(double value, std::chars_format format) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
  return std::string(buffer, result.ptr);
}
#else
std::string ToChars(double value, std::chars_format format, int precision) {
  return printf_chars::Formatted(value, format, precision);
}

std::string ShortestChars(double value, std::chars_format format) {
  return format == std::chars_format::scientific ? printf_chars::ShortestScientific(value)
                                                 : printf_chars::Shortest(value);
}
#endif

// Non-finite values get readable texts, and a zero never carries a sign ("-0", "-0.00"): a
// negative zero comes out of u * u / (u - g) with u = 0, and a tiny negative rounds to zeros.
std::string Formatted(double value, std::chars_format format, int precision) {
  if (std::isnan(value)) return std::string(kNotANumberText);
  if (std::isinf(value)) return std::string(value > 0 ? kInfinityText : kNegativeInfinityText);
  std::string text = ToChars(value, format, precision);
  if (text.front() == '-' && text.find_first_of("123456789") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace

std::int32_t ParseInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate in 64 bits and stop growing once past the 32-bit range, so any number of digits is safe.
  std::int64_t magnitude = 0;
  constexpr std::int64_t kCap = std::int64_t{INT32_MAX} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (magnitude < kCap) magnitude = magnitude * 10 + (text[i] - '0');
  }
  if (negative) return magnitude >= kCap ? INT32_MIN : static_cast<std::int32_t>(-magnitude);
  return magnitude > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(magnitude);
}

double ParseDouble(std::string_view text) {
  // A NUL inside the view ends the number as it ends a C string.
  text = text.substr(0, text.find('\0'));
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::optional<double> magnitude = ReadMagnitude(text.substr(i));
  if (!magnitude) return 0;  // a sign without a number reads as a plain 0, not -0
  return negative ? -*magnitude : *magnitude;
}

std::optional<WholeNumber> ReadWholeDouble(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto result = fast_float::from_chars(text.data(), end, value);
  if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
  const std::string_view magnitude = text.front() == '-' ? text.substr(1) : text;
  const bool numeral = !magnitude.empty() && (IsDigit(magnitude.front()) || magnitude.front() == '.');
  const std::string_view digits = magnitude.substr(0, magnitude.find_first_of("eE"));
  const bool outOfRange =
      numeral && (std::isinf(value) || (value == 0 && digits.find_first_of("123456789") != std::string_view::npos));
  return WholeNumber{value, outOfRange};
}

std::string FormatG4(double value) { return Formatted(value, std::chars_format::general, 4); }

std::string FormatG3(double value) { return Formatted(value, std::chars_format::general, 3); }

std::string FormatFixed2(double value) { return Formatted(value, std::chars_format::fixed, 2); }

std::string FormatG15(double value) { return Formatted(value, std::chars_format::general, 15); }

std::string FormatShortest(double value) {
  if (std::isnan(value)) return std::string(kNotANumberText);
  if (std::isinf(value)) return std::string(value > 0 ? kInfinityText : kNegativeInfinityText);
  return ShortestChars(value, std::chars_format::general);
}

std::string FormatShortestScientific(double value) {
  if (std::isnan(value)) return std::string(kNotANumberText);
  if (std::isinf(value)) return std::string(value > 0 ? kInfinityText : kNegativeInfinityText);
  return ShortestChars(value, std::chars_format::scientific);
}

std::string FormatInt(std::int64_t value) { return std::to_string(value); }

std::string PrintfG4(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  return ToChars(value, std::chars_format::general, 4);
}

namespace printf_chars {

std::string Formatted(double value, std::chars_format format, int precision) {
  char buffer[400];  // enough for "%.2f" of the largest double
  std::snprintf(buffer, sizeof buffer, format == std::chars_format::fixed ? "%.*f" : "%.*g", precision, value);
  return buffer;
}

namespace {

// printf's %.*e text of a sign, significant digits and a decimal exponent: "-1.25e+03".
std::string ScientificText(std::string_view sign, const std::string& digits, int exponent) {
  std::string out(sign);
  out += digits[0];
  if (digits.size() > 1) out.append(".").append(digits, 1);
  char tail[16];
  std::snprintf(tail, sizeof tail, "e%+03d", exponent);
  return out + tail;
}

// The digits one unit in their last place up, carrying into the exponent ("999" e0 gives "100" e1).
void StepUp(std::string& digits, int& exponent) {
  std::size_t i = digits.size();
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) {
    digits.insert(digits.begin(), '1');
    digits.pop_back();
    ++exponent;
  } else {
    ++digits[i - 1];
  }
}

// A value's correctly rounded texts of every length from one printf call: its 17 significant
// digits, rounded as text. Rounding those can differ from rounding the value only when the digits
// dropped are a 5 and zeros: no shorter rounding boundary lies nearer the value than its nearest
// 17-digit text, unless it is that text. Those ties are asked of printf.
class ScientificTexts {
 public:
  explicit ScientificTexts(double value) : value_(value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.16e", value);
    std::string_view text(buffer);
    if (text.front() == '-') {
      sign_ = "-";
      text.remove_prefix(1);
    }
    const std::size_t mark = text.find('e');
    for (const char c : text.substr(0, mark)) {
      if (c != '.') digits_ += c;
    }
    exponent_ = static_cast<int>(ParseInt(text.substr(mark + 1)));
  }

  // printf's "%.*e" with `digits` - 1.
  std::string Rounded(int digits) const {
    const std::size_t length = static_cast<std::size_t>(digits);
    if (length >= digits_.size()) return ScientificText(sign_, digits_, exponent_);
    const std::string_view dropped = std::string_view(digits_).substr(length);
    if (dropped.front() == '5' && dropped.find_first_not_of('0', 1) == std::string_view::npos) {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value_);
      return buffer;
    }
    std::string kept = digits_.substr(0, length);
    int exponent = exponent_;
    if (dropped.front() >= '5') StepUp(kept, exponent);
    return ScientificText(sign_, kept, exponent);
  }

  // The text of as many digits one unit in their last place above a positive `text`'s.
  static std::string NextUp(const std::string& text) {
    const std::size_t mark = text.find('e');
    std::string digits;
    for (std::size_t i = 0; i < mark; ++i) {
      if (text[i] != '.') digits += text[i];
    }
    int exponent = static_cast<int>(ParseInt(std::string_view(text).substr(mark + 1)));
    StepUp(digits, exponent);
    return ScientificText("", digits, exponent);
  }

 private:
  double value_;
  std::string sign_;
  std::string digits_;
  int exponent_ = 0;
};

}  // namespace

std::string ShortestScientific(double value) {
  // The fewest significant digits that read back as `value`, and of those the nearest text: the
  // correctly rounded one when it reads back.
  int exponent = 0;
  if (std::fabs(std::frexp(value, &exponent)) == 0.5) {
    // A power of two lies nearer its lower neighbour than its upper one: a rounded-down text can
    // fall outside the narrow side while the text one digit above still reads back.
    const double magnitude = std::fabs(value);
    const std::string sign = value < 0 ? "-" : "";
    const ScientificTexts texts(magnitude);
    std::string text;
    for (int digits = 1; digits <= 17; ++digits) {
      text = texts.Rounded(digits);
      const double read = ParseDouble(text);
      if (read == magnitude) return sign + text;
      if (read < magnitude) {
        const std::string up = ScientificTexts::NextUp(text);
        if (ParseDouble(up) == magnitude) return sign + up;
      }
    }
    return sign + text;
  }
  // Elsewhere the doubles that read as `value` lie symmetrically around it, and the rounded text
  // one digit longer lies at least as close, so reading back holds from some length on: halve.
  const ScientificTexts texts(value);
  int low = 1;    // shorter texts do not read back
  int high = 17;  // this one does
  while (low < high) {
    const int middle = (low + high) / 2;
    if (ParseDouble(texts.Rounded(middle)) == value) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return texts.Rounded(low);
}

std::string Shortest(double value) {
  const std::string scientific = ShortestScientific(value);
  const std::size_t mark = scientific.find('e');
  const std::string_view sign = scientific.front() == '-' ? "-" : "";
  std::string significant;
  for (char c : scientific.substr(sign.size(), mark - sign.size())) {
    if (c != '.') significant += c;
  }
  const int exponent = static_cast<int>(ParseInt(std::string_view(scientific).substr(mark + 1)));
  const int count = static_cast<int>(significant.size());

  std::string fixed(sign);
  if (exponent < 0) {
    fixed += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + significant;
  } else if (exponent + 1 >= count) {
    // A whole number: of the texts this long, the one nearest the value, which is its exact digits.
    char whole[400];  // enough for the largest double
    std::snprintf(whole, sizeof whole, "%.0f", value);
    fixed = whole;
  } else {
    fixed += significant.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
             significant.substr(static_cast<std::size_t>(exponent + 1));
  }
  // The shorter notation, the fixed one when both are as long.
  return fixed.size() <= scientific.size() ? fixed : scientific;
}

}  // namespace printf_chars

}  // namespace korvan
