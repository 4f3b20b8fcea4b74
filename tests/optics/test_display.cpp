#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>

#include "WorkedExample.h"
#include "optics/ControlIds.h"
#include "optics/Display.h"
#include "optics/Engine.h"
#include "optics/Units.h"

namespace korvan {
namespace {

using testing::kPitch;

InputTexts WorkedExampleTexts() {
  InputTexts in;
  in.frameRate = "60";
  in.shutter = "3x -- 5555.56 usec";
  in.fNumber = "2.8";
  in.objectDistance = "2";
  in.fieldWidth = "0.5";
  in.velocity = "1";
  return in;
}

CalcState Cycle(const InputTexts& in) {
  CalcState st;
  st.sensorWidthPx = 480;
  st.sensorHeightPx = 420;
  ReadInputs(in, st);
  ComputeAll(st, kPitch, kPitch);
  return st;
}

TEST(ReadInputs, ReadsEveryControlInSIUnits) {
  InputTexts in = WorkedExampleTexts();
  in.unit = LengthUnit::Mm;
  in.objectDistance = "250";
  in.focalLength = "25";
  in.magnification = "2";
  CalcState st;
  ReadInputs(in, st);
  EXPECT_EQ(st.frameRate, 60);
  EXPECT_EQ(st.shutterMultiple, 3);
  EXPECT_EQ(st.fNumber, 2.8);
  EXPECT_EQ(st.objectDistance, 0.25);
  EXPECT_EQ(st.focalLengthMm, 25) << "the focal length is never converted";
  EXPECT_EQ(st.fieldRatio, 0.5);
  EXPECT_EQ(st.velocity, 0.001);
  EXPECT_EQ(st.unit, LengthUnit::Mm);
}

TEST(ReadInputs, EmptyOrZeroMagnificationGivesNoFieldRatio) {
  InputTexts in;
  CalcState st;
  st.fieldRatio = 7;
  ReadInputs(in, st);
  EXPECT_EQ(st.fieldRatio, 0);
  in.magnification = "0";
  ReadInputs(in, st);
  EXPECT_EQ(st.fieldRatio, 0);
  in.magnification = "-0";
  ReadInputs(in, st);
  EXPECT_EQ(st.fieldRatio, 0);
}

TEST(ReadInputs, FeetUseTheEvaluatedFactor) {
  InputTexts in;
  in.unit = LengthUnit::Feet;
  in.objectDistance = "1";
  CalcState st;
  ReadInputs(in, st);
  EXPECT_EQ(st.objectDistance, 0.30479999999999996);
  EXPECT_EQ(FromMetersFactor(LengthUnit::Feet), 3.280839895013124);
  EXPECT_EQ(FromMetersFactor(LengthUnit::Inches), 39.37007874015748);
}

TEST(ResultTexts, WorkedExampleShowsWhatTheWindowShows) {
  const ResultTexts t = MakeResultTexts(Cycle(WorkedExampleTexts()));
  EXPECT_EQ(t.focalLength, "13.73");
  EXPECT_EQ(t.magnification, "0.006912");
  EXPECT_EQ(t.objectDistance, "2");
  EXPECT_EQ(t.fieldWidth, "0.5");
  EXPECT_EQ(t.velocity, "1");
  EXPECT_EQ(t.result, "13.73");
  EXPECT_EQ(t.workingFNumber, "2.819");
  EXPECT_EQ(t.depthOfField, "2.202");
  EXPECT_EQ(t.farFocus, "3.588");
  EXPECT_EQ(t.nearFocus, "1.386");
  EXPECT_EQ(t.fieldAngle, "14.25");
  EXPECT_EQ(t.hyperFocus, "4.457");
  EXPECT_EQ(t.format, "1/3\" C");
  EXPECT_EQ(t.motionBlur, "0.005556");
  EXPECT_EQ(t.pixelBlur, "5.3");
}

TEST(ResultTexts, LengthsFollowTheUnitButTheFocalLengthDoesNot) {
  InputTexts in = WorkedExampleTexts();
  in.unit = LengthUnit::Mm;
  in.objectDistance = "250";
  in.fieldWidth = "100";
  in.focalLength = "25";
  CalcState st = Cycle(in);
  st.unit = LengthUnit::Inches;  // a units change shows the same state again
  ResultTexts t = MakeResultTexts(st);
  EXPECT_EQ(t.objectDistance, "9.843");
  st.unit = LengthUnit::Meters;
  t = MakeResultTexts(st);
  EXPECT_EQ(t.objectDistance, "0.25");
  EXPECT_EQ(t.result, t.focalLength) << "mode 0 shows the focal length in mm in every unit";
}

TEST(ResultTexts, ModesTwoAndThreeShowTheResultInTheUnit) {
  InputTexts in = WorkedExampleTexts();
  in.computeMode = ComputeMode::ObjectDistance;
  in.unit = LengthUnit::Mm;
  in.focalLength = "13.729104430178605";
  in.fieldWidth = "500";
  const ResultTexts t = MakeResultTexts(Cycle(in));
  EXPECT_EQ(t.result, "2000");
  EXPECT_EQ(t.objectDistance, "2000");
}

TEST(ResultTexts, MagnificationModeShowsTheSameMagnificationTwice) {
  CalcState st;
  st.computeMode = ComputeMode::Magnification;
  st.sensorWidthPx = 480;
  st.fieldWidth = 0.048;
  ComputeGeometry(st, 0.00001, 0.00001);
  EXPECT_EQ(st.computedValue, 10);
  const ResultTexts t = MakeResultTexts(st);
  EXPECT_EQ(t.result, "0.1");
  EXPECT_EQ(t.magnification, "0.1");
  EXPECT_EQ(ResultUnitLabel(ComputeMode::Magnification, LengthUnit::Feet), "x");
}

TEST(ResultTexts, NegativeOrUndefinedFarFocusReadsInfinity) {
  CalcState st;
  st.farFocus = -1;
  st.depthOfField = -3;
  st.nearFocus = 0.5;
  st.hyperfocal = 2;
  ResultTexts t = MakeResultTexts(st);
  EXPECT_EQ(t.farFocus, "Infinity");
  EXPECT_EQ(t.depthOfField, "Infinity");
  EXPECT_EQ(t.nearFocus, "0.5");
  EXPECT_EQ(t.hyperFocus, "2");
  st.farFocus = std::nan("");
  EXPECT_EQ(MakeResultTexts(st).farFocus, "Infinity");
}

TEST(ResultTexts, NegativeZeroFarFocusIsShownAsZero) {
  CalcState st;  // u = 0 gives a far focus of u * u / (u - g) = -0.0
  st.farFocus = -0.0;
  st.computedValue = -0.0;
  const ResultTexts t = MakeResultTexts(st);
  EXPECT_EQ(t.farFocus, "0");
  EXPECT_EQ(t.depthOfField, "0");
  EXPECT_EQ(t.result, "0");
}

TEST(ResultTexts, ZeroOrUndefinedRatioShowsZeroMagnification) {
  CalcState st;
  st.computeMode = ComputeMode::Magnification;
  st.fieldRatio = std::nan("");
  st.computedValue = std::nan("");
  const ResultTexts t = MakeResultTexts(st);
  EXPECT_EQ(t.magnification, "0");
  EXPECT_EQ(t.result, "0");
}

struct BlurCase {
  double value;
  const char* text;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BlurCase& c, std::ostream* os) { *os << c.value; }

class PixelBlur : public ::testing::TestWithParam<BlurCase> {};

TEST_P(PixelBlur, IsCutToTenthsTowardZero) { EXPECT_EQ(PixelBlurText(GetParam().value), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Cases, PixelBlur,
                         ::testing::Values(BlurCase{2.57, "2.5"}, BlurCase{0.04, "0"}, BlurCase{-1.26, "-1.2"},
                                           BlurCase{-0.04, "0"}, BlurCase{5.333333333333334, "5.3"},
                                           BlurCase{214748364.7, "2.147e+08"}, BlurCase{3e9, "3e+09"},
                                           BlurCase{-3e9, "-3e+09"}, BlurCase{HUGE_VAL, "Infinity"},
                                           BlurCase{std::numeric_limits<double>::quiet_NaN(), "NaN"}));

TEST(ShowOrder, WritesTheFiveInputsFirstAndSkipsOnlyThemWhenFocused) {
  ASSERT_EQ(kShowResultsOrder[0].controlId, ids::kFocalLengthEdit);
  ASSERT_EQ(kShowResultsOrder[2].controlId, ids::kObjectDistanceEdit);
  for (std::size_t i = 0; i < kShowResultsOrder.size(); ++i) EXPECT_EQ(kShowResultsOrder[i].skipWhenFocused, i < 5);
}

TEST(UnitLabels, NameEveryUnit) {
  EXPECT_EQ(UnitLabelsFor(LengthUnit::Mm).speed, "mm/sec");
  EXPECT_EQ(UnitLabelsFor(LengthUnit::Meters).length, "meters");
  EXPECT_EQ(UnitLabelsFor(LengthUnit::Inches).speed, "in/sec");
  EXPECT_EQ(UnitLabelsFor(LengthUnit::Feet).length, "feet");
  EXPECT_EQ(ResultUnitLabel(ComputeMode::FocalLength, LengthUnit::Feet), "mm");
  EXPECT_EQ(ResultUnitLabel(ComputeMode::FieldWidth, LengthUnit::Feet), "feet");
}

class StatusLine : public ::testing::Test {
 protected:
  // Focal length 25 mm on an object 1 cm away: both warnings apply.
  CalcState TooClose() {
    CalcState st;
    st.resultsValid = true;
    st.focalLengthMm = 25;
    st.objectDistance = 0.01;
    return st;
  }
};

TEST_F(StatusLine, RowMapAndTexts) {
  const auto rows = BuildStatusRowByKey();
  EXPECT_EQ(StatusText(rows, 0), "To learn more about Korvan products and software, click on About.");
  EXPECT_EQ(StatusText(rows, 1), "Object distance should be greater than the focal length.");
  EXPECT_EQ(StatusText(rows, 2), "Focal length should be less than the object distance.");
  EXPECT_EQ(StatusText(rows, 3), "");
}

TEST_F(StatusLine, TypingTheFocalLengthEndsWithTheFocalLengthWarning) {
  EXPECT_EQ(StatusAfterCycle(TooClose(), ids::kFocalLengthEdit, ids::kFocalLengthEdit), kStatusFocalTooLong);
}

TEST_F(StatusLine, AnyOtherEventEndsWithTheDistanceWarning) {
  EXPECT_EQ(StatusAfterCycle(TooClose(), ids::kObjectDistanceEdit, ids::kObjectDistanceEdit), kStatusDistanceTooShort);
  EXPECT_EQ(StatusAfterCycle(TooClose(), ids::kFieldWidthEdit, ids::kFieldWidthEdit), kStatusDistanceTooShort);
  EXPECT_EQ(StatusAfterCycle(TooClose(), 0, 0), kStatusDistanceTooShort);
}

TEST_F(StatusLine, NoWarningWhileResultsAreInvalidOrTheLensIsShorter) {
  CalcState st = TooClose();
  st.resultsValid = false;
  EXPECT_EQ(StatusAfterCycle(st, 0, 0), kStatusAbout);
  st = TooClose();
  st.objectDistance = 0.025;  // equal is not a warning
  EXPECT_EQ(StatusAfterCycle(st, 0, 0), kStatusAbout);
}

TEST_F(StatusLine, ShowingAgainKeepsOrRaisesTheWarning) {
  EXPECT_EQ(StatusAfterShow(kStatusDistanceTooShort, TooClose(), ids::kUnitsList), kStatusDistanceTooShort);
  CalcState fine = TooClose();
  fine.objectDistance = 5;
  EXPECT_EQ(StatusAfterShow(kStatusDistanceTooShort, fine, ids::kUnitsList), kStatusDistanceTooShort)
      << "nothing resets the message when the test fails";
  EXPECT_EQ(StatusAfterShow(kStatusAbout, TooClose(), ids::kUnitsList), kStatusDistanceTooShort);
}

}  // namespace
}  // namespace korvan
