#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reading and writing numbers with the C library's rules, done here rather than by the C runtime so that
// every platform and every locale reads and writes the same:
// a German desktop must still read "2.8" as 2.8 and show 2.819, not 2,819.
namespace korvan {

// How a value that is not a finite number is shown, everywhere. Each reads back through
// ParseDouble as the same value, so a read-only box that shows one keeps it across cycles.
inline constexpr std::string_view kInfinityText = "Infinity";
inline constexpr std::string_view kNegativeInfinityText = "-Infinity";
inline constexpr std::string_view kNotANumberText = "NaN";

// atoi: leading white space, optional sign, decimal digits, stop at the first other character,
// 0 when there are no digits. Values beyond the 32-bit range saturate instead of overflowing.
std::int32_t ParseInt(std::string_view text);

// atof: the leading number of the text (decimal, hexadecimal, inf, nan), 0 when there is none.
double ParseDouble(std::string_view text);

// A text read whole as std::from_chars reads a double in general notation (optional minus, decimal
// digits with optional point and exponent, "inf", "infinity", "nan"), rounded to nearest the same
// on every platform; nothing when the text is not wholly such a number. `outOfRange`: a numeral
// whose value overflowed to infinity or underflowed to zero.
struct WholeNumber {
  double value = 0;
  bool outOfRange = false;
};
std::optional<WholeNumber> ReadWholeDouble(std::string_view text);

// printf("%.4g"), except that a zero never carries a minus sign and non-finite values use the texts above.
std::string FormatG4(double value);

// printf("%.3g") with the same zero and non-finite rules.
std::string FormatG3(double value);

// printf("%.2f") with the same zero and non-finite rules.
std::string FormatFixed2(double value);

// printf("%.15g") with the same zero and non-finite rules: general notation, up to 15 significant digits.
std::string FormatG15(double value);

// The shortest text that strtod reads back to exactly `value` (finite values only; the others as
// the texts above).
std::string FormatShortest(double value);

// std::to_chars(value, std::chars_format::scientific): the shortest digits that read back, as
// "1.5e-07" (finite values only; the others as the texts above).
std::string FormatShortestScientific(double value);

// printf("%d").
std::string FormatInt(std::int64_t value);

// The raw C "%.4g" text, non-finite values as printf writes them ("inf", "-nan"); for rounding only.
std::string PrintfG4(double value);

// Formatting where the standard library has no floating-point std::to_chars: the C library's
// printf, which there is exact and knows only the "C" locale. Open so that a test can hold it to
// std::to_chars where both exist.
namespace printf_chars {
std::string Formatted(double value, std::chars_format format, int precision);
std::string Shortest(double value);            // finite values only
std::string ShortestScientific(double value);  // finite values only
}  // namespace printf_chars

}  // namespace korvan
