#include "optics/Display.h"

#include <cmath>

#include "optics/NumberText.h"
#include "optics/Units.h"

namespace korvan {
namespace {

// Boxes 1016 and 1025 show 0 for a ratio that is zero or not a number.
bool ZeroOrNaN(double x) { return x == 0 || std::isnan(x); }

std::string ReciprocalText(double ratio) { return ZeroOrNaN(ratio) ? std::string("0") : FormatG4(1 / ratio); }

// The far limit lies at infinity when farFocus is negative or not a number.
bool FarLimitAtInfinity(const CalcState& st) { return !(st.farFocus >= 0); }

}  // namespace

void ReadInputs(const InputTexts& in, CalcState& st) {
  st.computeMode = in.computeMode;
  st.direction = in.direction;
  st.lensInput = in.lensInput;
  st.unit = in.unit;
  const double toMeters = ToMetersFactor(in.unit);

  st.frameRate = ParseInt(in.frameRate);
  st.shutterMultiple = ParseInt(in.shutter);
  st.focalLengthMm = ParseDouble(in.focalLength);
  const double magnification = ParseDouble(in.magnification);
  st.fieldRatio = magnification == 0 ? 0 : 1 / magnification;
  st.fNumber = ParseDouble(in.fNumber);
  st.objectDistance = ParseDouble(in.objectDistance) * toMeters;
  st.fieldWidth = ParseDouble(in.fieldWidth) * toMeters;
  st.velocity = ParseDouble(in.velocity) * toMeters;
}

std::string PixelBlurText(double pixelBlur) {
  const double tenfold = pixelBlur * 10.0;
  // Only a value that fits converts to a 32-bit integer; anything else is shown as it is.
  if (!(tenfold > -2147483649.0 && tenfold < 2147483648.0)) return FormatG4(pixelBlur);
  const auto tenths = static_cast<std::int32_t>(tenfold);
  return FormatG4(tenths * 0.1);
}

ResultTexts MakeResultTexts(const CalcState& st) {
  const double k = FromMetersFactor(st.unit);
  ResultTexts t;
  t.focalLength = FormatG4(st.focalLengthMm);
  t.magnification = ReciprocalText(st.fieldRatio);
  t.objectDistance = FormatG4(k * st.objectDistance);
  t.fieldWidth = FormatG4(k * st.fieldWidth);
  t.velocity = FormatG4(k * st.velocity);
  switch (st.computeMode) {
    case ComputeMode::FocalLength: t.result = FormatG4(st.computedValue); break;
    case ComputeMode::Magnification: t.result = ReciprocalText(st.computedValue); break;
    case ComputeMode::ObjectDistance:
    case ComputeMode::FieldWidth: t.result = FormatG4(k * st.computedValue); break;
    default: t.result = FormatG4(st.computedValue); break;
  }
  t.workingFNumber = FormatG4(st.workingFNumber);
  const bool infinite = FarLimitAtInfinity(st);
  t.depthOfField = infinite ? std::string(kFarLimitAtInfinityText) : FormatG4(k * st.depthOfField);
  t.farFocus = infinite ? std::string(kFarLimitAtInfinityText) : FormatG4(k * st.farFocus);
  t.nearFocus = FormatG4(k * st.nearFocus);
  t.fieldAngle = FormatG4(st.fieldAngleDeg);
  t.hyperFocus = FormatG4(k * st.hyperfocal);
  t.format = st.centeredFormatLabel;
  t.motionBlur = FormatG4(k * st.motionBlur);
  t.pixelBlur = PixelBlurText(st.pixelBlur);
  return t;
}

const std::array<ResultBox, 15> kShowResultsOrder = {{
    {ids::kFocalLengthEdit, &ResultTexts::focalLength, true},
    {ids::kMagnificationEdit, &ResultTexts::magnification, true},
    {ids::kObjectDistanceEdit, &ResultTexts::objectDistance, true},
    {ids::kFieldWidthEdit, &ResultTexts::fieldWidth, true},
    {ids::kVelocityEdit, &ResultTexts::velocity, true},
    {ids::kResultBox, &ResultTexts::result, false},
    {ids::kWorkingFNumberBox, &ResultTexts::workingFNumber, false},
    {ids::kDepthOfFieldBox, &ResultTexts::depthOfField, false},
    {ids::kFarFocusBox, &ResultTexts::farFocus, false},
    {ids::kNearFocusBox, &ResultTexts::nearFocus, false},
    {ids::kFieldAngleBox, &ResultTexts::fieldAngle, false},
    {ids::kHyperFocusBox, &ResultTexts::hyperFocus, false},
    {ids::kFormatBox, &ResultTexts::format, false},
    {ids::kMotionBlurBox, &ResultTexts::motionBlur, false},
    {ids::kPixelBlurBox, &ResultTexts::pixelBlur, false},
}};

UnitLabels UnitLabelsFor(LengthUnit unit) { return {LengthUnitName(unit), SpeedUnitName(unit)}; }

std::string_view ResultUnitLabel(ComputeMode mode, LengthUnit unit) {
  switch (mode) {
    case ComputeMode::FocalLength: return "mm";
    case ComputeMode::Magnification: return "x";
    default: return LengthUnitName(unit);
  }
}

const std::array<StatusMessage, 3> kStatusMessages = {{
    {0, "To learn more about Korvan products and software, click on About."},
    {1, "Object distance should be greater than the focal length."},
    {2, "Focal length should be less than the object distance."},
}};

std::array<int, 3> BuildStatusRowByKey() {
  std::array<int, 3> rowByKey{};
  for (std::size_t row = 0; row < kStatusMessages.size(); ++row) {
    const std::int32_t key = kStatusMessages[row].key;
    if (key >= 0 && key < static_cast<std::int32_t>(rowByKey.size())) rowByKey[key] = static_cast<int>(row);
  }
  return rowByKey;
}

std::string_view StatusText(const std::array<int, 3>& rowByKey, std::uint32_t key) {
  if (key >= rowByKey.size()) return {};
  return kStatusMessages[rowByKey[key]].text;
}

std::optional<std::uint32_t> WarningAfterTextChange(int controlId, const CalcState& st) {
  std::uint32_t key;
  if (controlId == ids::kFocalLengthEdit) {
    key = kStatusFocalTooLong;
  } else if (controlId == ids::kObjectDistanceEdit) {
    key = kStatusDistanceTooShort;
  } else {
    return std::nullopt;
  }
  if (st.resultsValid && st.focalLengthMm * 0.001 > st.objectDistance) return key;
  return std::nullopt;
}

std::uint32_t StatusAfterShow(std::uint32_t current, const CalcState& st, int focusedControlId) {
  // ShowResults writes 1012 before 1011; each write runs that box's warning test.
  for (const int box : {ids::kFocalLengthEdit, ids::kObjectDistanceEdit}) {
    if (box == focusedControlId) continue;
    if (const auto warning = WarningAfterTextChange(box, st)) current = *warning;
  }
  return current;
}

std::uint32_t StatusAfterCycle(const CalcState& st, int focusedControlId, int originEditId) {
  std::uint32_t key = StatusAfterShow(kStatusAbout, st, focusedControlId);
  if (const auto warning = WarningAfterTextChange(originEditId, st)) key = *warning;
  return key;
}

}  // namespace korvan
