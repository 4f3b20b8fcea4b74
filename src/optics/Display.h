#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "optics/CalcState.h"
#include "optics/ControlIds.h"

// The bridge between the calculator window's texts and the CalcState: reading the inputs, the
// result texts in the chosen unit, the unit labels and the status line. Both the window and the
// command use these, so they always show the same texts.
namespace korvan {

// What ReadInputs takes from the window: the selections and the texts of the controls.
// An empty text reads as 0, as does text that does not begin with a number.
struct InputTexts {
  ComputeMode computeMode = ComputeMode::FocalLength;
  Direction direction = Direction::Horizontal;
  LensInput lensInput = LensInput::FocalLength;
  LengthUnit unit = LengthUnit::Meters;
  std::string frameRate;      // selected frame-rate entry
  std::string shutter;        // selected shutter entry ("3x -- 5555.56 usec" reads 3)
  std::string focalLength;    // mm, never converted
  std::string magnification;  // stored as its reciprocal
  std::string fNumber;        // selected f-number entry
  std::string objectDistance; // in `unit`
  std::string fieldWidth;     // in `unit`
  std::string velocity;       // in `unit` per second
};

// Controls to CalcState, lengths into meters. The caller then shows status message 0.
void ReadInputs(const InputTexts& inputs, CalcState& state);

// Every result box's text, in the chosen unit, as ShowResults writes them.
struct ResultTexts {
  std::string focalLength;     // 1012
  std::string magnification;   // 1016
  std::string objectDistance;  // 1011
  std::string fieldWidth;      // 1015
  std::string velocity;        // 1013
  std::string result;          // 1025
  std::string workingFNumber;  // 1022
  std::string depthOfField;    // 1023
  std::string farFocus;        // 1048
  std::string nearFocus;       // 1068
  std::string fieldAngle;      // 1049
  std::string hyperFocus;      // 1044
  std::string format;          // 1038
  std::string motionBlur;      // 1014
  std::string pixelBlur;       // 1065
};

ResultTexts MakeResultTexts(const CalcState& state);

// The order in which ShowResults writes the boxes; the first five are left alone while they
// have the keyboard focus, so the box being typed into is never rewritten.
struct ResultBox {
  int controlId;
  std::string ResultTexts::*text;
  bool skipWhenFocused;
};
extern const std::array<ResultBox, 15> kShowResultsOrder;

inline constexpr std::string_view kFarLimitAtInfinityText = "Infinity";

// The pixel blur cut to tenths toward zero; a tenfold value outside the 32-bit range or not a
// number is shown untruncated.
std::string PixelBlurText(double pixelBlur);

// Unit labels.
struct UnitLabels {
  std::string_view length;  // the seven length-unit labels
  std::string_view speed;   // the velocity unit label
};
UnitLabels UnitLabelsFor(LengthUnit unit);
// The label beside the result box: "mm" in mode 0, "x" in mode 1, the length unit in modes 2 and 3.
std::string_view ResultUnitLabel(ComputeMode mode, LengthUnit unit);
// The length-unit label boxes, in the order they are written.
inline constexpr std::array<int, 7> kLengthUnitLabelIds = {
    ids::kObjectDistanceUnit, ids::kFieldWidthUnit, ids::kDepthOfFieldUnit, ids::kNearFocusUnit,
    ids::kFarFocusUnit,       ids::kHyperFocusUnit, ids::kMotionBlurUnit};

// Status line.
struct StatusMessage {
  std::int32_t key;
  const char* text;
};
extern const std::array<StatusMessage, 3> kStatusMessages;
inline constexpr std::uint32_t kStatusAbout = 0;
inline constexpr std::uint32_t kStatusDistanceTooShort = 1;
inline constexpr std::uint32_t kStatusFocalTooLong = 2;

// Maps each key to its row, by walking the table in order.
std::array<int, 3> BuildStatusRowByKey();
// The text for a key through the row map; empty for a key of 3 or more.
std::string_view StatusText(const std::array<int, 3>& rowByKey, std::uint32_t key);

// The warning that the handler of box 1012 (key 2) or 1011 (key 1) shows after its text changed:
// when the results are valid and the focal length in meters exceeds the object distance.
// Other boxes have no warning.
std::optional<std::uint32_t> WarningAfterTextChange(int controlId, const CalcState& state);

// The status key the line shows after a full cycle: status 0 from ReadInputs, then the warnings
// raised by ShowResults' writes of 1012 and 1011 (a focused box is not written), then the warning
// of the edit box that started the cycle (0 when the cycle did not start from an edit box).
std::uint32_t StatusAfterCycle(const CalcState& state, int focusedControlId, int originEditId);

// The status key after ShowResults alone (a units change, Reset), starting from `current`.
std::uint32_t StatusAfterShow(std::uint32_t current, const CalcState& state, int focusedControlId);

}  // namespace korvan
