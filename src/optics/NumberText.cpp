#include "optics/NumberText.h"

#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace korvan {
namespace {

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

#ifdef _WIN32
_locale_t CLocale() {
  static const _locale_t locale = _create_locale(LC_ALL, "C");
  return locale;
}
double StrToDouble(const char* text) { return _strtod_l(text, nullptr, CLocale()); }
#else
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}
double StrToDouble(const char* text) { return strtod_l(text, nullptr, CLocale()); }
#endif

// std::to_chars formats exactly as printf does in the C locale, whatever the process locale is.
std::string ToChars(double value, std::chars_format format, int precision) {
  char buffer[400];  // enough for "%.2f" of the largest double
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  return std::string(buffer, result.ptr);
}

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
  // strtod needs a terminated string; a NUL inside the view ends the number as it ends a C string.
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  if (i == text.size()) return 0;
  const std::string copy(text.substr(i));
  return StrToDouble(copy.c_str());
}

std::string FormatG4(double value) { return Formatted(value, std::chars_format::general, 4); }

std::string FormatG3(double value) { return Formatted(value, std::chars_format::general, 3); }

std::string FormatFixed2(double value) { return Formatted(value, std::chars_format::fixed, 2); }

std::string FormatG15(double value) { return Formatted(value, std::chars_format::general, 15); }

std::string FormatShortest(double value) {
  if (std::isnan(value)) return std::string(kNotANumberText);
  if (std::isinf(value)) return std::string(value > 0 ? kInfinityText : kNegativeInfinityText);
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string FormatInt(std::int64_t value) { return std::to_string(value); }

std::string PrintfG4(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  return ToChars(value, std::chars_format::general, 4);
}

}  // namespace korvan
