#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"

// What the command read from texts it did not wholly understand. The texts are read as the
// window reads its boxes (the leading number, 0 when there is none); these notes say so, on
// standard error, so that a typing slip does not pass unseen.
namespace korvan::cli {

// True when the text, without blanks around it, is one plain decimal number: sign, digits,
// point, digits, exponent. Anything else ("2m", "abc", "0x10", "inf") reads by its leading number.
bool IsWholeNumber(std::string_view text);

// "--distance 'abc' reads as 0" for a text that is not wholly a number; nothing for one that is,
// and nothing for an empty text, which is an empty box.
std::optional<std::string> NumberNote(std::string_view option, const std::string& text);

// What each entry of a lens kit was read as, when the text may mean something else: "12,5" is
// two lenses, not 12.5 mm. Nothing when every comma is followed by a blank or no digit.
std::optional<std::string> KitNote(const std::string& lenses);

// The notes for every numeric option the command line gave (`given` tells which), in the order
// the options are listed. `planner` is null for calc.
std::vector<std::string> ReadingNotes(const std::function<bool(std::string_view)>& given, const CalcOptions& calc,
                                      const planner::PlannerTexts* planner);

}  // namespace korvan::cli
