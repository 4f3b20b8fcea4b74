#include <gtest/gtest.h>

#include <ostream>

#include <cmath>

#include "WorkedExample.h"
#include "optics/Attachments.h"
#include "optics/Engine.h"

namespace korvan {
namespace {

using testing::kPitch;

struct AttachmentCase {
  const char* name;
  AttachmentChoices choices;
  LengthUnit unit;
  AttachmentTexts expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const AttachmentCase& c, std::ostream* os) { *os << c.name; }

AttachmentChoices Choose(int tele, int closeUp, int tubes) {
  AttachmentChoices c;
  c.teleExtenderOn = tele > 0;
  c.teleExtenderIndex = tele;
  c.closeUpOn = closeUp > 0;
  c.closeUpIndex = closeUp;
  c.tubesOn = tubes > 0;
  c.tubesIndex = tubes;
  return c;
}

class Attachments : public ::testing::TestWithParam<AttachmentCase> {};

TEST_P(Attachments, AdjustTheWorkedExample) {
  const AttachmentCase& c = GetParam();
  CalcState st = testing::WorkedExample();
  ComputeAll(st, kPitch, kPitch);
  st.unit = c.unit;
  const AttachmentTexts t = MakeAttachmentTexts(ComputeAttachments(st, kPitch, kPitch, c.choices));
  EXPECT_EQ(t.focalLength, c.expected.focalLength);
  EXPECT_EQ(t.magnification, c.expected.magnification);
  EXPECT_EQ(t.workingFNumber, c.expected.workingFNumber);
  EXPECT_EQ(t.fieldWidth, c.expected.fieldWidth);
  EXPECT_EQ(t.focusShift, c.expected.focusShift);
  EXPECT_EQ(t.unit, c.expected.unit);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, Attachments,
    ::testing::Values(
        AttachmentCase{"none", Choose(0, 0, 0), LengthUnit::Meters,
                       {"13.73", "0.006912", "2.819", "0.5", "0", "meters"}},
        AttachmentCase{"tele2x", Choose(1, 0, 0), LengthUnit::Meters,
                       {"27.46", "0.01382", "5.639", "0.25", "0", "meters"}},
        AttachmentCase{"tele3x", Choose(2, 0, 0), LengthUnit::Meters,
                       {"41.19", "0.02074", "8.458", "0.1667", "0", "meters"}},
        AttachmentCase{"closeUp2", Choose(0, 2, 0), LengthUnit::Meters,
                       {"13.36", "0.03456", "2.819", "0.1", "1.6", "meters"}},
        AttachmentCase{"tubes5", Choose(0, 0, 5), LengthUnit::Meters,
                       {"13.73", "0.3711", "3.839", "0.009313", "1.949", "meters"}},
        AttachmentCase{"allMm", Choose(1, 2, 5), LengthUnit::Mm, {"26.03", "0.2617", "3.533", "13.21", "1875", "mm"}},
        AttachmentCase{"allInches", Choose(1, 2, 5), LengthUnit::Inches,
                       {"26.03", "0.2617", "3.533", "0.5199", "73.8", "inches"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Attachments, TubesBringTheFocusCloseToTheLens) {
  CalcState st = testing::WorkedExample();
  ComputeAll(st, kPitch, kPitch);
  const AttachmentResult r = ComputeAttachments(st, kPitch, kPitch, Choose(0, 0, 5));
  EXPECT_EQ(r.adjusted.objectDistance, 0.050724623940180534);
}

TEST(Attachments, TickedBoxWithNoneOrUntickedBoxChangesNothing) {
  CalcState st = testing::WorkedExample();
  ComputeAll(st, kPitch, kPitch);
  AttachmentChoices ticked;
  ticked.teleExtenderOn = ticked.closeUpOn = ticked.tubesOn = true;
  AttachmentChoices unticked = Choose(0, 0, 0);
  unticked.teleExtenderIndex = 2;
  unticked.closeUpIndex = 5;
  unticked.tubesIndex = 10;
  AttachmentChoices noSelection = ticked;
  noSelection.teleExtenderIndex = noSelection.closeUpIndex = noSelection.tubesIndex = -1;
  const AttachmentChoices outOfRange = Choose(3, 6, 11);
  for (const AttachmentChoices& c : {ticked, unticked, noSelection, outOfRange}) {
    const AttachmentResult r = ComputeAttachments(st, kPitch, kPitch, c);
    EXPECT_EQ(r.adjusted.focalLengthMm, st.focalLengthMm);
    EXPECT_EQ(r.adjusted.objectDistance, st.objectDistance);
    EXPECT_EQ(r.adjusted.workingFNumber, st.workingFNumber);
  }
}

TEST(Attachments, InvalidResultsShowZerosButKeepTheUnit) {
  CalcState st = testing::WorkedExample();
  ComputeAll(st, kPitch, kPitch);
  st.resultsValid = false;
  st.unit = LengthUnit::Feet;
  const AttachmentTexts t = MakeAttachmentTexts(ComputeAttachments(st, kPitch, kPitch, Choose(1, 2, 5)));
  EXPECT_EQ(t.focalLength, "0");
  EXPECT_EQ(t.magnification, "0");
  EXPECT_EQ(t.fieldWidth, "0");
  EXPECT_EQ(t.focusShift, "0");
  EXPECT_EQ(t.unit, "feet");
}

TEST(Attachments, ZeroFocalLengthWithValidResultsStaysReadable) {
  // Field Width mode with the magnification given and no focal length is valid yet divides by zero.
  CalcState st = testing::WorkedExample(ComputeMode::FieldWidth);
  st.lensInput = LensInput::Magnification;
  st.fieldRatio = 100;
  ComputeAll(st, kPitch, kPitch);
  ASSERT_TRUE(st.resultsValid);
  const AttachmentTexts t = MakeAttachmentTexts(ComputeAttachments(st, kPitch, kPitch, Choose(1, 2, 5)));
  for (const std::string& text : {t.focalLength, t.magnification, t.workingFNumber, t.fieldWidth, t.focusShift}) {
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, "-0");
    EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
  }
}

TEST(RoundTo4Significant, RoundsThroughTheFourDigitText) {
  EXPECT_EQ(RoundTo4Significant(13.729104430178605), 13.73);
  EXPECT_EQ(RoundTo4Significant(1234567), 1235000);
  EXPECT_EQ(RoundTo4Significant(-0.0), 0);
  EXPECT_TRUE(std::isinf(RoundTo4Significant(HUGE_VAL)));
}

}  // namespace
}  // namespace korvan
