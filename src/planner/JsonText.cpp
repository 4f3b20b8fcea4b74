#include "planner/JsonText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "optics/NumberText.h"

namespace korvan::planner {
namespace {

void AppendExponent(std::string& out, int e) {
  out += e < 0 ? "e-" : "e+";
  e = std::abs(e);
  if (e < 10) out += '0';
  out += std::to_string(e);
}

// The text is valid UTF-8 whenever the bytes are; each byte of an invalid sequence becomes U+FFFD,
// since camera names and notes are 8-bit text that may be in any encoding.
std::size_t Utf8SequenceLength(const std::string& s, std::size_t i) {
  const auto byte = [&](std::size_t j) { return static_cast<unsigned char>(s[j]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > s.size()) return 0;
  for (std::size_t j = 1; j < length; ++j) {
    const unsigned char c = byte(i + j);
    const unsigned char lo = j == 1 ? low : 0x80;
    const unsigned char hi = j == 1 ? high : 0xBF;
    if (c < lo || c > hi) return 0;
  }
  return length;
}

void AppendString(std::string& out, const std::string& s) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t length = Utf8SequenceLength(s, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
      continue;
    }
    if (length > 1) {
      out.append(s, i, length);
      i += length;
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  out += '"';
}

}  // namespace

std::string ExactDoubleText(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  if (value == 0) return std::signbit(value) ? "-0.0" : "0.0";
  const std::string scientific = FormatShortestScientific(value);
  std::string out;
  std::size_t i = 0;
  if (scientific[0] == '-') {
    out += '-';
    i = 1;
  }
  std::string digits;
  for (; i < scientific.size() && scientific[i] != 'e'; ++i) {
    if (scientific[i] != '.') digits += scientific[i];
  }
  const int exponent = std::atoi(scientific.c_str() + i + 1);
  const int k = static_cast<int>(digits.size());
  const int n = exponent + 1;  // where the decimal point goes, counted from the first digit
  constexpr int kMinExponent = -4;
  constexpr int kMaxExponent = 15;
  if (k <= n && n <= kMaxExponent) {
    out += digits;
    out.append(static_cast<std::size_t>(n - k), '0');
    out += ".0";
  } else if (0 < n && n <= kMaxExponent) {
    out.append(digits, 0, static_cast<std::size_t>(n));
    out += '.';
    out.append(digits, static_cast<std::size_t>(n), std::string::npos);
  } else if (kMinExponent < n && n <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-n), '0');
    out += digits;
  } else {
    out += digits[0];
    if (k > 1) {
      out += '.';
      out.append(digits, 1, std::string::npos);
    }
    AppendExponent(out, n - 1);
  }
  return out;
}

JsonText JsonText::Object() {
  JsonText json;
  json.value_ = Members{};
  return json;
}

JsonText JsonText::Array() {
  JsonText json;
  json.value_ = Elements{};
  return json;
}

JsonText& JsonText::Add(std::string key, JsonText value) {
  std::get<Members>(value_).items.emplace_back(std::move(key), std::move(value));
  return *this;
}

JsonText& JsonText::Push(JsonText value) {
  std::get<Elements>(value_).items.push_back(std::move(value));
  return *this;
}

std::string JsonText::Dump() const {
  std::string out;
  DumpTo(out, 0);
  return out;
}

void JsonText::DumpTo(std::string& out, int indent) const {
  const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
  const std::string outer(static_cast<std::size_t>(indent), ' ');
  if (std::holds_alternative<std::nullptr_t>(value_)) {
    out += "null";
  } else if (const bool* b = std::get_if<bool>(&value_)) {
    out += *b ? "true" : "false";
  } else if (const std::int64_t* i = std::get_if<std::int64_t>(&value_)) {
    out += std::to_string(*i);
  } else if (const double* d = std::get_if<double>(&value_)) {
    // JSON has no number for these; they are written as strings, as the command's state does.
    if (std::isfinite(*d)) {
      out += ExactDoubleText(*d);
    } else {
      AppendString(out, ExactDoubleText(*d));
    }
  } else if (const std::string* s = std::get_if<std::string>(&value_)) {
    AppendString(out, *s);
  } else if (const Members* members = std::get_if<Members>(&value_)) {
    if (members->items.empty()) {
      out += "{}";
      return;
    }
    out += "{\n";
    for (std::size_t m = 0; m < members->items.size(); ++m) {
      if (m > 0) out += ",\n";
      out += inner;
      AppendString(out, members->items[m].first);
      out += ": ";
      members->items[m].second.DumpTo(out, indent + 2);
    }
    out += '\n';
    out += outer;
    out += '}';
  } else if (const Elements* elements = std::get_if<Elements>(&value_)) {
    if (elements->items.empty()) {
      out += "[]";
      return;
    }
    out += "[\n";
    for (std::size_t e = 0; e < elements->items.size(); ++e) {
      if (e > 0) out += ",\n";
      out += inner;
      elements->items[e].DumpTo(out, indent + 2);
    }
    out += '\n';
    out += outer;
    out += ']';
  }
}

}  // namespace korvan::planner
