#pragma once

#include <array>
#include <string_view>

#include "optics/CalcState.h"

namespace korvan {

// What the window shows for each compute mode: the list entry, the description beside the list
// and the name of the computed quantity above the result box.
struct ComputeModeTexts {
  std::string_view listEntry;
  std::string_view description;
  std::string_view resultName;
};

inline constexpr std::array<ComputeModeTexts, 4> kComputeModeTexts = {{
    {"Focal Length", "Select this if you know scene information and want to know which video lens to use.",
     "Focal Length"},
    {"Magnification",
     "Select this if you want to use microscope or endoscope optics labeled with magnification.",
     "Magnification"},
    {"Object Distance",
     "Select this if you already have a lens and want to know how far away to place the object.",
     "Object Distance"},
    {"Field Width",
     "Select this if you already have a lens and want to know the maximum size of your subject.",
     "Field Width"},
}};

inline constexpr std::string_view kDefaultModeDescription = "Put information here about what this mode does...";

inline constexpr std::array<std::string_view, 10> kFNumberListItems = {
    "1.0", "1.4", "2.0", "2.8", "4.0", "5.6", "8.0", "11.0", "16.0", "22.0"};

}  // namespace korvan
