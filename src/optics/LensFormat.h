#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace korvan {

// One standard lens format: the largest image diagonal it covers and the circle of confusion
// used for depth of field with it.
struct LensFormat {
  std::int32_t maxDiagonalMm;  // -1 marks the closing row
  char label[20];
  double circleOfConfusionMm;
};

extern const std::array<LensFormat, 8> kLensFormats;

struct LensFormatChoice {
  std::string_view label;
  double circleOfConfusion;  // meters
};

// The smallest format whose largest diagonal exceeds `diagonal` (meters); "Custom" for 49 mm and
// more, and for a diagonal that is not a number.
LensFormatChoice LookupLensFormat(double diagonal);

}  // namespace korvan
