#include "cli/OptionNotes.h"

#include <utility>

#include "optics/NumberText.h"
#include "planner/PlannerInputs.h"

namespace korvan::cli {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Digits from `i` on; returns how many.
std::size_t SkipDigits(std::string_view text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i - start;
}

}  // namespace

bool IsWholeNumber(std::string_view text) {
  text = TrimBlanks(text);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = SkipDigits(text, i);
  if (i < text.size() && text[i] == '.') {
    ++i;
    digits += SkipDigits(text, i);
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (SkipDigits(text, i) == 0) return false;
  }
  return i == text.size();
}

std::optional<std::string> NumberNote(std::string_view option, const std::string& text) {
  if (text.empty() || IsWholeNumber(text)) return std::nullopt;
  return std::string(option) + " '" + text + "' reads as " + FormatShortest(ParseDouble(text));
}

std::optional<std::string> KitNote(const std::string& lenses) {
  bool ambiguous = false;
  for (std::size_t i = 1; i + 1 < lenses.size(); ++i) {
    if (lenses[i] == ',' && IsDigit(lenses[i - 1]) && IsDigit(lenses[i + 1])) ambiguous = true;
  }
  if (!ambiguous) return std::nullopt;
  planner::PlannerTexts texts;
  texts.lenses = lenses;
  const planner::PlannerInputs read = planner::ReadPlannerInputs(texts, LengthUnit::Mm);
  std::string entries;
  for (const planner::KitLens& lens : read.kit) {
    entries += (entries.empty() ? "" : ", ") + FormatShortest(lens.focalLengthMm) + " mm";
  }
  std::string note = "--lenses '" + lenses + "' reads as " + std::to_string(read.kit.size()) +
                     (read.kit.size() == 1 ? " lens" : " lenses");
  if (!entries.empty()) note += ": " + entries;
  return note + " (a comma separates lenses; write decimals with a point)";
}

std::vector<std::string> ReadingNotes(const std::function<bool(std::string_view)>& given, const CalcOptions& calc,
                                      const planner::PlannerTexts* planner) {
  std::vector<std::pair<std::string_view, const std::string*>> texts = {
      {"--focal-length", &calc.focalLength}, {"--magnification", &calc.magnification},
      {"--f-number", &calc.fNumber},         {"--distance", &calc.objectDistance},
      {"--field-width", &calc.fieldWidth},   {"--velocity", &calc.velocity}};
  if (planner != nullptr) {
    texts.insert(texts.end(), {{"--depth", &planner->depth},
                               {"--wavelength", &planner->wavelength},
                               {"--blur-limit", &planner->blurLimit},
                               {"--event-ms", &planner->eventMs},
                               {"--memory-gb", &planner->memoryGb},
                               {"--bit-depth", &planner->bitDepth}});
  }
  std::vector<std::string> notes;
  for (const auto& [option, text] : texts) {
    if (!given(option)) continue;
    if (std::optional<std::string> note = NumberNote(option, *text)) notes.push_back(std::move(*note));
  }
  return notes;
}

}  // namespace korvan::cli
