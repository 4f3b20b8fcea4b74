#include "planner/PlannerInputs.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "optics/NumberText.h"
#include "optics/Units.h"

namespace korvan::planner {
namespace {

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsCSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsCSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if ((text[i] | 0x20) != word[i]) return false;
  }
  return true;
}

enum class Range { AtLeastZero, AboveZero };

// The calculator reads "abc" as 0 without complaint; the planner's texts have no box that a
// calculation overwrites, so a text that is not a number is refused rather than silently read as 0.
PlannerValue Read(const std::string& text, std::string_view name, Range range, double scale) {
  PlannerValue read;
  const std::string_view trimmed = Trimmed(text);
  if (!trimmed.empty() && !BeginsWithNumber(text)) {
    read.problem = "The " + std::string(name) + " is not a number";
    return read;
  }
  const double value = ParseDouble(text);
  if (!std::isfinite(value)) {
    read.problem = "The " + std::string(name) + " is not a finite number";
  } else if (range == Range::AtLeastZero && value < 0) {
    read.problem = "The " + std::string(name) + " cannot be negative";
  } else if (range == Range::AboveZero && !(value > 0)) {
    read.problem = "Enter a " + std::string(name) + " above 0";
  }
  read.value = read.problem.empty() ? value * scale : 0;
  return read;
}

}  // namespace

bool BeginsWithNumber(const std::string& text) {
  std::string_view t = text;
  while (!t.empty() && IsCSpace(t.front())) t.remove_prefix(1);
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
  if (t.empty()) return false;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (digit(t.front())) return true;
  if (t.front() == '.') return t.size() > 1 && digit(t[1]);
  return StartsWithNoCase(t, "inf") || StartsWithNoCase(t, "nan");
}

PlannerInputs ReadPlannerInputs(const PlannerTexts& texts, LengthUnit unit) {
  PlannerInputs inputs;
  inputs.depth = Read(texts.depth, "depth", Range::AtLeastZero, ToMetersFactor(unit));
  inputs.wavelength = Read(texts.wavelength, "wavelength", Range::AboveZero, 1e-9);
  inputs.blurLimit = Read(texts.blurLimit, "blur limit", Range::AboveZero, 1);
  inputs.eventMs = Read(texts.eventMs, "event duration", Range::AtLeastZero, 1);
  inputs.memoryGb = Read(texts.memoryGb, "memory", Range::AtLeastZero, 1);
  inputs.bitDepth = Read(texts.bitDepth, "bit depth", Range::AboveZero, 1);
  LensKitRead kit = ReadLensKit(texts.lenses);
  inputs.kit = std::move(kit.lenses);
  inputs.kitNotes = std::move(kit.notes);
  if (!kit.problem.empty()) inputs.kitNotes.push_back(std::move(kit.problem));
  inputs.light = ReadLightInputs(texts.light, unit);
  return inputs;
}

}  // namespace korvan::planner
