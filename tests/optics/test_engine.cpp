#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>

#include "WorkedExample.h"
#include "optics/Engine.h"
#include "optics/LensFormat.h"

namespace korvan {
namespace {

using testing::kPitch;
using testing::WorkedExample;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Every value is compared to the bit: the engine must produce exactly these doubles.
TEST(Engine, WorkedExampleInFocalLengthModeIsExact) {
  CalcState st = WorkedExample();
  EXPECT_EQ(SensorDimension(st, kPitch, kPitch), 0.003456);
  EXPECT_EQ(ImageDiagonal(st, kPitch, kPitch), 0.0045922229911013685);
  ComputeAll(st, kPitch, kPitch);
  EXPECT_EQ(st.centeredFormatLabel, "1/3\" C");
  EXPECT_EQ(st.focalLengthMm, 13.729104430178605);
  EXPECT_EQ(st.computedValue, st.focalLengthMm);
  EXPECT_EQ(st.fieldRatio, 144.67592592592592);
  EXPECT_EQ(st.workingFNumber, 2.8193536);
  EXPECT_EQ(st.nearFocus, 1.3863935837398285);
  EXPECT_EQ(st.farFocus, 3.588034693333141);
  EXPECT_EQ(st.depthOfField, 2.2016411095933126);
  EXPECT_EQ(st.hyperfocal, 4.457010014748293);
  EXPECT_EQ(st.fieldAngleDeg, 14.250044734301458);
  EXPECT_TRUE(st.resultsValid);
  EXPECT_EQ(st.motionBlur, 0.005555555555555556);
  EXPECT_EQ(st.pixelBlur, 5.333333333333334);
}

TEST(Engine, MagnificationModeComputesTheFieldRatioNotItsReciprocal) {
  CalcState st = WorkedExample(ComputeMode::Magnification);
  ComputeAll(st, kPitch, kPitch);
  EXPECT_EQ(st.computedValue, 144.67592592592592);
  EXPECT_EQ(st.focalLengthMm, 13.729104430178605);
  EXPECT_EQ(st.depthOfField, 2.2016411095933126);
  EXPECT_TRUE(st.resultsValid);
}

TEST(Engine, MagnificationModeWithoutDistanceGivesAZeroFocalLength) {
  CalcState st = WorkedExample(ComputeMode::Magnification);
  st.objectDistance = 0;
  ComputeGeometry(st, kPitch, kPitch);
  EXPECT_EQ(st.focalLengthMm, 0);
  EXPECT_TRUE(st.resultsValid);
  EXPECT_EQ(st.fieldAngleDeg, 0);
  EXPECT_EQ(st.nearFocus, 0);
}

TEST(Engine, ObjectDistanceModeInvertsTheFocalLength) {
  CalcState st = WorkedExample(ComputeMode::ObjectDistance);
  st.focalLengthMm = 13.729104430178605;
  st.objectDistance = 0;
  ComputeGeometry(st, kPitch, kPitch);
  EXPECT_EQ(st.objectDistance, 2);
  EXPECT_EQ(st.computedValue, 2);

  st.focalLengthMm = 13.73;  // as the window shows it
  ComputeGeometry(st, kPitch, kPitch);
  EXPECT_EQ(st.objectDistance, 2.000130462962963);
}

TEST(Engine, ObjectDistanceModeRefusesTheMagnificationAsLensInput) {
  CalcState st = WorkedExample(ComputeMode::ObjectDistance);
  st.lensInput = LensInput::Magnification;
  st.focalLengthMm = 13.73;
  st.objectDistance = 1.5;
  ComputeGeometry(st, kPitch, kPitch);
  EXPECT_FALSE(st.resultsValid);
  EXPECT_EQ(st.objectDistance, 1.5);
  EXPECT_EQ(st.computedValue, 1.5);
  EXPECT_EQ(st.fieldRatio, 0.5 / 0.003456);
}

TEST(Engine, FieldWidthModeWithMagnificationGiven) {
  CalcState st = WorkedExample(ComputeMode::FieldWidth);
  st.lensInput = LensInput::Magnification;
  st.fieldRatio = 100;
  st.focalLengthMm = 99;
  ComputeGeometry(st, kPitch, kPitch);
  EXPECT_EQ(st.fieldWidth, 0.003456 * 100);
  EXPECT_EQ(st.computedValue, st.fieldWidth);
  EXPECT_EQ(st.focalLengthMm, 99);
  EXPECT_EQ(st.objectDistance, 2);
  EXPECT_TRUE(st.resultsValid);

  st.fieldRatio = 0;
  st.fieldWidth = 0.7;
  ComputeGeometry(st, kPitch, kPitch);
  EXPECT_FALSE(st.resultsValid);
  EXPECT_EQ(st.fieldWidth, 0.7);
  EXPECT_EQ(st.computedValue, 0.7);
  EXPECT_EQ(st.workingFNumber, 0);
  EXPECT_EQ(st.depthOfField, 0);
  EXPECT_EQ(st.hyperfocal, 0);
}

TEST(Engine, FieldWidthModeWithFocalLengthGiven) {
  CalcState st = WorkedExample(ComputeMode::FieldWidth);
  st.focalLengthMm = 13.729104430178605;
  st.fieldWidth = 0;
  ComputeGeometry(st, kPitch, kPitch);
  EXPECT_TRUE(st.resultsValid);
  EXPECT_NEAR(st.fieldWidth, 0.5, 1e-15);
  EXPECT_EQ(st.fieldRatio, st.fieldWidth / 0.003456);
}

TEST(Engine, FarLimitAtInfinityComesOutNegative) {
  CalcState st = WorkedExample();
  st.objectDistance = 10;
  st.fieldWidth = 2.5;
  ComputeGeometry(st, kPitch, kPitch);
  EXPECT_EQ(st.farFocus, -8.327738713984983);
  EXPECT_EQ(st.depthOfField, -11.451951640385833);
}

TEST(Engine, FailedConditionClearsComputedValueInFirstTwoModes) {
  for (const ComputeMode mode : {ComputeMode::FocalLength, ComputeMode::Magnification}) {
    CalcState st = WorkedExample(mode);
    st.computedValue = 42;
    st.fieldWidth = 0;
    st.focalLengthMm = 7;
    ComputeGeometry(st, kPitch, kPitch);
    EXPECT_FALSE(st.resultsValid);
    EXPECT_EQ(st.computedValue, 0);
    EXPECT_EQ(st.focalLengthMm, 7) << "a value the mode does not compute keeps what was read";
  }
}

TEST(Engine, NaNCountsAsAMissingInput) {
  CalcState st = WorkedExample();
  st.objectDistance = kNaN;
  ComputeGeometry(st, kPitch, kPitch);
  EXPECT_FALSE(st.resultsValid);
  EXPECT_EQ(st.fieldAngleDeg, 0);
}

TEST(Engine, NegativeInputsArePresentAndGiveNegativeAngles) {
  CalcState st = WorkedExample();
  st.fieldWidth = -0.5;
  ComputeGeometry(st, kPitch, kPitch);
  EXPECT_TRUE(st.resultsValid);
  EXPECT_LT(st.fieldAngleDeg, 0);
}

TEST(Engine, FocusDistancesAreZeroWhenTheBlurEqualsTheDistance) {
  CalcState st = WorkedExample();
  ComputeGeometry(st, kPitch, kPitch);
  // Choose a distance equal to g of the current state and recompute in Field Width mode with the
  // magnification given, so q (and with it g) stays the same.
  const double g = st.fieldRatio * st.fieldRatio * st.workingFNumber * 0.000015;
  st.computeMode = ComputeMode::FieldWidth;
  st.lensInput = LensInput::Magnification;
  st.objectDistance = g;
  ComputeGeometry(st, kPitch, kPitch);
  ASSERT_EQ(st.fieldRatio * st.fieldRatio * st.workingFNumber * 0.000015, st.objectDistance);
  EXPECT_EQ(st.nearFocus, 0);
  EXPECT_EQ(st.farFocus, 0);
  EXPECT_EQ(st.depthOfField, 0);
}

TEST(Engine, EmptySensorNeverFails) {
  CalcState st = WorkedExample();
  st.sensorWidthPx = 0;
  st.sensorHeightPx = 0;
  ComputeAll(st, 0, 0);
  EXPECT_EQ(st.focalLengthMm, 0);
  EXPECT_TRUE(std::isinf(st.fieldRatio));
  EXPECT_EQ(st.centeredFormatLabel, "1/4\" C");
  EXPECT_EQ(st.pixelBlur, 0);
}

TEST(Engine, BlurWithZeroOrHugeExposureCountsDoesNotOverflow) {
  CalcState st = WorkedExample();
  st.frameRate = 2147483647;
  st.shutterMultiple = 20;
  ComputeAll(st, kPitch, kPitch);
  EXPECT_EQ(st.motionBlur, 1 / (2147483647.0 * 20));

  st.frameRate = 0;
  ComputeBlur(st, kPitch, kPitch);
  EXPECT_TRUE(std::isinf(st.motionBlur));
}

TEST(Engine, PixelBlurNeedsTheFocalLengthAndTheScene) {
  CalcState st = WorkedExample();
  ComputeGeometry(st, kPitch, kPitch);
  st.objectDistance = 0;
  ComputeBlur(st, kPitch, kPitch);
  EXPECT_EQ(st.pixelBlur, 0);

  st.lensInput = LensInput::Magnification;  // then only F is needed
  ComputeBlur(st, kPitch, kPitch);
  EXPECT_EQ(st.pixelBlur, 5.333333333333334);

  st.focalLengthMm = 0;
  ComputeBlur(st, kPitch, kPitch);
  EXPECT_EQ(st.pixelBlur, 0);
}

TEST(Engine, VerticalDirectionUsesHeightAndVerticalPitch) {
  CalcState st = WorkedExample();
  st.direction = Direction::Vertical;
  EXPECT_EQ(SensorDimension(st, 1e-6, kPitch), 420 * kPitch);
  st.direction = static_cast<Direction>(7);  // any non-zero value counts as vertical
  EXPECT_EQ(SensorDimension(st, 1e-6, kPitch), 420 * kPitch);
}

struct FormatCase {
  double diagonalMm;
  const char* label;
  double circle;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.diagonalMm; }

class LensFormatLookup : public ::testing::TestWithParam<FormatCase> {};

TEST_P(LensFormatLookup, PicksTheSmallestFormatThatExceedsTheDiagonal) {
  const FormatCase c = GetParam();
  const LensFormatChoice choice = LookupLensFormat(c.diagonalMm * 0.001);
  EXPECT_EQ(choice.label, c.label);
  EXPECT_EQ(choice.circleOfConfusion, c.circle * 0.001);
}

INSTANTIATE_TEST_SUITE_P(Table, LensFormatLookup,
                         ::testing::Values(FormatCase{0, "1/4\" C", 0.015}, FormatCase{3.99, "1/4\" C", 0.015},
                                           FormatCase{4, "1/3\" C", 0.015}, FormatCase{8, "2/3\" C", 0.02},
                                           FormatCase{15.9, "1\" C", 0.03}, FormatCase{42, "B,F,E,AI,D", 0.04},
                                           FormatCase{48.9, "S", 0.04}, FormatCase{49, "Custom", 0.04},
                                           FormatCase{1e9, "Custom", 0.04}, FormatCase{kNaN, "Custom", 0.04}));

}  // namespace
}  // namespace korvan
