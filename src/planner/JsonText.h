#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// A small ordered JSON document for the plan and the setup sheet. The core links nothing but the
// standard library, so it cannot use the command's JSON library; this writes the same layout
// (two-space indentation, doubles in their shortest form that reads back bit-identical, "2.0"
// for a whole double) so that `plan --json` reads like `calc --json`.
namespace korvan::planner {

class JsonText {
 public:
  JsonText() = default;  // null
  JsonText(std::nullptr_t) {}
  JsonText(bool value) : value_(value) {}
  JsonText(int value) : value_(std::int64_t{value}) {}
  JsonText(std::int64_t value) : value_(value) {}
  JsonText(std::uint32_t value) : value_(std::int64_t{value}) {}
  JsonText(std::size_t value) : value_(static_cast<std::int64_t>(value)) {}
  JsonText(double value) : value_(value) {}
  JsonText(std::string value) : value_(std::move(value)) {}
  JsonText(const char* value) : value_(std::string(value)) {}

  static JsonText Object();
  static JsonText Array();

  // Adds a member to an object (keys are added in order and never looked up) or an element to an array.
  JsonText& Add(std::string key, JsonText value);
  JsonText& Push(JsonText value);

  std::string Dump() const;

 private:
  struct Members {
    std::vector<std::pair<std::string, JsonText>> items;
  };
  struct Elements {
    std::vector<JsonText> items;
  };
  void DumpTo(std::string& out, int indent) const;

  std::variant<std::nullptr_t, bool, std::int64_t, double, std::string, Members, Elements> value_;
};

// A finite double in the shortest form that reads back bit-identical, always with a decimal
// point or an exponent ("2.0", "7.2e-06"). Non-finite values give "inf", "-inf" and "nan".
std::string ExactDoubleText(double value);

}  // namespace korvan::planner
