#pragma once

#include <string_view>

#include "optics/CalcState.h"

namespace korvan {

// Factor that turns a length typed in `unit` into meters. Feet use 12 x 0.0254 as evaluated in
// double precision (0.30479999999999996), one unit in the last place below 0.3048.
double ToMetersFactor(LengthUnit unit);

// Factor that turns meters into `unit` for display.
double FromMetersFactor(LengthUnit unit);

// "mm", "meters", "inches", "feet".
std::string_view LengthUnitName(LengthUnit unit);

// "mm/sec", "m/sec", "in/sec", "ft/sec".
std::string_view SpeedUnitName(LengthUnit unit);

// A unit from a list position; positions outside 0..3 give meters.
LengthUnit LengthUnitFromIndex(int index);

inline constexpr std::string_view kUnitListItems[] = {"mm", "meters", "inches", "feet"};
inline constexpr std::string_view kDirectionListItems[] = {"horizontal", "vertical"};

}  // namespace korvan
