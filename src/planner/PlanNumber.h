#pragma once

#include <string>
#include <string_view>

// A value the planner shows: the double behind it and the text the window and the command show,
// made by the core's number texts. A value that cannot be computed has the text "n/a" and a
// one-line reason; some values that do not exist for these inputs (an aperture window, a shutter
// limit) have another text ("none") with a reason as well.
namespace korvan::planner {

inline constexpr std::string_view kNotAvailableText = "n/a";
inline constexpr std::string_view kNoneText = "none";

struct PlanNumber {
  double value = 0;    // NaN when not available
  std::string text;    // as shown
  std::string reason;  // empty unless the text is "n/a" or "none"

  bool Available() const { return text != kNotAvailableText; }
};

}  // namespace korvan::planner
