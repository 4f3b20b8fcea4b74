#include "optics/LensFormat.h"

namespace korvan {

const std::array<LensFormat, 8> kLensFormats = {{
    {4, "1/4\" C", 0.015},
    {6, "1/3\" C", 0.015},
    {8, "1/2\" C", 0.015},
    {11, "2/3\" C", 0.02},
    {16, "1\" C", 0.03},
    {43, "B,F,E,AI,D", 0.04},
    {49, "S", 0.04},
    {-1, "Custom", 0.04},
}};

LensFormatChoice LookupLensFormat(double diagonal) {
  for (const LensFormat& row : kLensFormats) {
    // A NaN diagonal is never exceeded, so it runs through to the closing row.
    if (row.maxDiagonalMm == -1 || row.maxDiagonalMm * 0.001 > diagonal) {
      return {row.label, row.circleOfConfusionMm * 0.001};
    }
  }
  const LensFormat& last = kLensFormats.back();
  return {last.label, last.circleOfConfusionMm * 0.001};
}

}  // namespace korvan
