#pragma once

#include <array>
#include <string>
#include <string_view>

#include "optics/CalcState.h"

namespace korvan {

// The values passed from one attachment correction to the next.
struct AdjustedOptics {
  double focalLengthMm = 0;
  double objectDistance = 0;  // meters
  double fieldWidth = 0;      // meters
  double fieldRatio = 0;
  double workingFNumber = 0;
};

// The attachments window's check boxes and list selections.
struct AttachmentChoices {
  bool closeUpOn = false;
  int closeUpIndex = 0;  // 0 none, 1..5 diopters
  bool tubesOn = false;
  int tubesIndex = 0;  // 0 none, 1..10 mm
  bool teleExtenderOn = false;
  int teleExtenderIndex = 0;  // 0 none, 1 "2x", 2 "3x"
};

inline constexpr std::array<std::string_view, 3> kTeleExtenderItems = {"none", "2x", "3x"};
inline constexpr std::array<std::string_view, 6> kCloseUpItems = {"none", "+1D", "+2D", "+3D", "+4D", "+5D"};
inline constexpr std::array<std::string_view, 11> kTubeItems = {
    "none", "1 mm", "2 mm", "3 mm", "4 mm", "5 mm", "6 mm", "7 mm", "8 mm", "9 mm", "10 mm"};

// Each correction copies its input unchanged unless its box is ticked and a real entry (not
// "none", and within the list) is selected.
AdjustedOptics ApplyTeleExtender(const AdjustedOptics& in, const AttachmentChoices& choices);
// `sensorDimension` is s, the sensor dimension along the direction in meters.
AdjustedOptics ApplyCloseUpLens(const AdjustedOptics& in, const AttachmentChoices& choices, double sensorDimension);
// `lensFNumber` is the calculator's f-number: the working f-number is worked out afresh from it.
AdjustedOptics ApplyExtensionTubes(const AdjustedOptics& in, const AttachmentChoices& choices, double sensorDimension,
                                   double lensFNumber);

// The value printed with "%.4g" and read back: 13.729104430178605 gives 13.73. Non-finite values
// are returned unchanged.
double RoundTo4Significant(double value);

// One refresh of the attachments window.
struct AttachmentResult {
  AdjustedOptics base;
  AdjustedOptics afterTeleExtender;
  AdjustedOptics afterCloseUp;
  AdjustedOptics adjusted;
  double shownFocalLengthMm = 0;
  double shownMagnification = 0;
  double shownWorkingFNumber = 0;
  double shownFieldWidth = 0;  // display unit
  double shownFocusShift = 0;  // display unit, positive toward the lens
  std::string_view unitLabel;
};

AttachmentResult ComputeAttachments(const CalcState& state, double pixelPitchX, double pixelPitchY,
                                    const AttachmentChoices& choices);

// The texts of the five boxes: general notation with up to 15 significant digits, so exactly the
// rounded digits appear (1235000, not 1.235e+06).
struct AttachmentTexts {
  std::string focalLength;     // 1088
  std::string magnification;   // 1089
  std::string workingFNumber;  // 1090
  std::string fieldWidth;      // 1092
  std::string focusShift;      // 1091
  std::string unit;            // 1094 and 1095
};

AttachmentTexts MakeAttachmentTexts(const AttachmentResult& result);

}  // namespace korvan
