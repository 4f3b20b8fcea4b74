#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "camera/CameraDefinition.h"
#include "optics/Engine.h"
#include "optics/NumberText.h"
#include "optics/WorkedExample.h"
#include "planner/JsonText.h"
#include "planner/Planner.h"

namespace korvan::planner {
namespace {

// The engine's worked example after its cycle, on the generic camera.
struct Example {
  CalcState state = testing::WorkedExample();
  CameraDefinition camera = BuildGenericCamera();
  PlannerTexts texts;

  Example() {
    ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);
    texts.depth = "0.2";
  }
  PlannerInputs Inputs() const { return ReadPlannerInputs(texts, state.unit); }
  Plan Run() const { return ComputePlan(state, camera, Inputs()); }
};

// The side view is drawn by the window and the page alike from these figures and labels.
TEST(WorkedExample, SideViewLabelsCarryTheUnitExceptAnOpenFarLimit) {
  const SideView view = SideViewOf(Example().Run());
  EXPECT_TRUE(view.valid);
  EXPECT_EQ(view.distanceText, "2 meters");
  EXPECT_EQ(view.nearText, "1.386 meters");
  EXPECT_EQ(view.farText, "3.588 meters");
  EXPECT_EQ(view.angleText, "14.25 deg");
  EXPECT_EQ(view.subjectDepth, 0.2);

  Example open;
  open.state.fNumber = 11;
  ComputeAll(open.state, open.camera.pixelPitchX, open.camera.pixelPitchY);
  const SideView beyond = SideViewOf(open.Run());
  EXPECT_TRUE(std::isinf(beyond.farFocus));
  EXPECT_EQ(beyond.farText, "Infinity");
  EXPECT_EQ(beyond.nearText, "0.7303 meters");
}

TEST(WorkedExample, SharpnessBudget) {
  const SharpnessBudget b = Example().Run().budget;
  EXPECT_EQ(b.motion.value, 5.333333333333334);
  EXPECT_EQ(b.defocusNear.value, 0.24774323783780966);
  EXPECT_EQ(b.defocusFar.value, 0.22414864375801824);
  EXPECT_EQ(b.defocus.value, 0.24774323783780966);
  EXPECT_EQ(b.diffraction.value, 0.5254961848888888);
  EXPECT_EQ(b.total.value, 5.364882794308892);
  EXPECT_EQ(b.total.text, "5.365");
  EXPECT_EQ(b.largestText, "Motion");
  EXPECT_EQ(b.sharpNear.value, 1.6495606421958502);
  EXPECT_EQ(b.sharpFar.value, 2.539502141970123);
  EXPECT_EQ(b.sharpFar.text, "2.54");
}

TEST(WorkedExample, BestFNumberAndFocus) {
  const BestFNumber best = Example().Run().best;
  EXPECT_EQ(best.optimum.value, 1.9225345455019325);
  EXPECT_EQ(best.optimum.text, "1.92");
  EXPECT_EQ(best.bestEntry.text, "2.0");
  EXPECT_EQ(best.bestEntrySum.value, 0.5110668197586721);
  EXPECT_EQ(best.focusDistance.text, "1.995");  // harmonic mean of 1.9 and 2.1
}

TEST(WorkedExample, ApertureWindow) {
  Example example;
  const ApertureWindow tight = example.Run().apertureWindow;
  EXPECT_EQ(tight.text, "none");
  EXPECT_EQ(tight.reason, "Motion alone blurs 5.333 px, over the limit");

  example.texts.blurLimit = "6";
  const ApertureWindow loose = example.Run().apertureWindow;
  // 0.2524 ... 14.64 before the f-number list's range limits it.
  EXPECT_EQ(loose.low.value, 1.0);
  EXPECT_EQ(loose.high.value, 14.64391387052206);
  EXPECT_EQ(loose.text, "1 ... 14.64");
}

TEST(WorkedExample, ShutterLimitIsFoundPerMultiple) {
  const Plan plan = Example().Run();
  EXPECT_EQ(plan.shutterLimit.multiple.text, "16");
  EXPECT_EQ(plan.shutterLimit.blur.value, 1.0);
  ASSERT_EQ(plan.charts.pixelBlurByShutter.points.size(), 20u);
  EXPECT_EQ(plan.charts.pixelBlurByShutter.points[14].y, 1.0666666666666667);
  EXPECT_EQ(plan.charts.pixelBlurByShutter.points[15].y, 1.0);

  // Every multiple tried in turn gives the same answer as the search, for limits on both sides of each blur.
  for (const ChartPoint& point : plan.charts.pixelBlurByShutter.points) {
    for (const double limit : {point.y, std::nextafter(point.y, 0.0)}) {
      Example example;
      example.texts.blurLimit = ExactDoubleText(limit);
      const PlannerInputs inputs = example.Inputs();
      int expected = 0;
      for (const ChartPoint& p : plan.charts.pixelBlurByShutter.points) {
        if (p.y <= inputs.blurLimit.value) {
          expected = static_cast<int>(p.x);
          break;
        }
      }
      const ShutterLimit found = ComputeShutterLimit(example.state, example.camera, inputs);
      EXPECT_EQ(expected == 0 ? std::string("none") : std::to_string(expected), found.multiple.text) << limit;
    }
  }
}

TEST(WorkedExample, ModeTableRowInForceAgreesWithTheCalculator) {
  Example example;
  example.texts.eventMs = "10";
  example.texts.memoryGb = "8";
  const Plan plan = example.Run();
  ASSERT_EQ(plan.modes.size(), 8u);
  ASSERT_EQ(plan.modes.inForce, std::optional<std::size_t>(0));
  const ModeRow row = plan.modes.Row(0);
  EXPECT_TRUE(row.inForce);
  EXPECT_FALSE(plan.modes.Row(1).inForce);
  EXPECT_EQ(row.pixelBlur.value, example.state.pixelBlur);
  EXPECT_EQ(row.shutterLimit.text, plan.shutterLimit.multiple.text);
  EXPECT_EQ(row.fieldWidth.text, "0.5");
  EXPECT_EQ(row.exposureUs.text, "5556");
  EXPECT_EQ(row.eventFrames.text, "0");     // 10 ms at 60 fps: not one whole frame
  EXPECT_EQ(row.crossingFrames.text, "30");  // 0.5 m at 1 m/s
  EXPECT_TRUE(plan.modes.showRecordTime);
  EXPECT_EQ(plan.modes.Row(7).eventFrames.text, "80");
}

TEST(WorkedExample, LensKitMarksTheSmallestFieldThatCovers) {
  Example example;
  example.texts.lenses = "8, 12.5, 16, 25";
  const LensKitTable kit = example.Run().kit;
  ASSERT_EQ(kit.rows.size(), 4u);
  EXPECT_EQ(kit.marked, std::optional<std::size_t>(1));
  EXPECT_TRUE(kit.rows[1].marked);
  EXPECT_EQ(kit.rows[1].fieldWidth.text, "0.5495");
  EXPECT_EQ(kit.rows[0].farFocus.text, "Infinity");
  EXPECT_TRUE(std::isinf(kit.rows[0].farFocus.value));
  EXPECT_EQ(kit.rows[1].distanceForField.text, "1.821");
}

TEST(KitReading, SkipsBadEntriesWithANoteAndKeepsTheRest) {
  PlannerTexts texts;
  texts.lenses = " 8, ,12.5mm, abc, 0, -4, 8, inf,16 ,";
  const PlannerInputs inputs = ReadPlannerInputs(texts, LengthUnit::Meters);
  ASSERT_EQ(inputs.kit.size(), 3u);
  EXPECT_EQ(inputs.kit[1].focalLengthMm, 12.5);
  EXPECT_EQ(inputs.kit[2].text, "16");
  EXPECT_EQ(inputs.kitNotes, (std::vector<std::string>{
                                 "Skipped a blank entry", "Skipped \"abc\": not a number",
                                 "Skipped \"0\": not above 0 mm", "Skipped \"-4\": not above 0 mm",
                                 "Skipped \"8\": already in the kit", "Skipped \"inf\": not a finite focal length",
                                 "Skipped a blank entry"}));
}

TEST(KitReading, ALensWhoseFieldCannotBeShownIsNotAdvised) {
  Example example;
  example.state.unit = LengthUnit::Mm;
  example.state.objectDistance = 1e306;
  example.state.fieldWidth = 1;
  example.texts.lenses = "13.7";
  const LensKitTable kit = example.Run().kit;
  ASSERT_EQ(kit.rows.size(), 1u);
  EXPECT_EQ(kit.rows[0].fieldWidth.text, "n/a");
  EXPECT_FALSE(kit.marked);
  EXPECT_FALSE(kit.rows[0].marked);
}

TEST(KitReading, AThousandLensesEachGetARow) {
  Example example;
  for (int i = 1; i <= 1000; ++i) example.texts.lenses += std::to_string(i) + ".5,";
  const Plan plan = example.Run();
  EXPECT_EQ(plan.kit.rows.size(), 1000u);
  EXPECT_EQ(plan.charts.fieldByDistance.size(), 1001u);
  EXPECT_EQ(plan.kit.notes, std::vector<std::string>{"Skipped a blank entry"});  // the trailing comma
  ASSERT_TRUE(plan.kit.marked);
  EXPECT_EQ(plan.kit.rows[*plan.kit.marked].lens.text, "13.5");  // the worked example needs 13.73 mm
}

TEST(ModeTable, HandlesOneModeAndAHundredThousand) {
  Example example;
  example.camera.rateTexts = {"60"};
  example.camera.frameRates = {60};
  example.camera.widthsPx = {480};
  example.camera.heightsPx = {420};
  ModeTable one = example.Run().modes;
  ASSERT_EQ(one.size(), 1u);
  EXPECT_TRUE(one.Row(0).inForce);

  for (std::uint32_t i = 1; i < 100000; ++i) {
    example.camera.rateTexts.push_back(std::to_string(60 + i));
    example.camera.frameRates.push_back(60 + i);
    example.camera.widthsPx.push_back(480 - i % 400);
    example.camera.heightsPx.push_back(420 - i % 400);
  }
  const ModeTable many = ComputeModeTable(example.state, example.camera, example.Inputs());
  ASSERT_EQ(many.size(), 100000u);
  EXPECT_EQ(many.inForce, std::optional<std::size_t>(0));
  EXPECT_EQ(many.Row(99999).frameRate.text, "100059");
  EXPECT_EQ(many.Row(99999).shutterLimit.text, "1");
}

// Every value a broken input touches is "n/a" with its reason: never a crash, "NaN" or "-0".
struct NotAvailableCase {
  const char* name;
  void (*change)(Example&);
  PlanNumber (*pick)(const Plan&);
  const char* reason;
};

void PrintTo(const NotAvailableCase& c, std::ostream* os) { *os << c.name; }

class NotAvailable : public ::testing::TestWithParam<NotAvailableCase> {};

TEST_P(NotAvailable, SaysWhy) {
  const NotAvailableCase& c = GetParam();
  Example example;
  c.change(example);
  const Plan plan = example.Run();
  const PlanNumber number = c.pick(plan);
  EXPECT_EQ(number.text, "n/a");
  EXPECT_TRUE(std::isnan(number.value));
  EXPECT_EQ(number.reason, c.reason);
}

const char* const kNoLens = "Enter a focal length or a field width and a distance first";

INSTANTIATE_TEST_SUITE_P(
    Planner, NotAvailable,
    ::testing::Values(
        NotAvailableCase{"NoFocalLength", [](Example& e) { e.state.focalLengthMm = 0; },
                         [](const Plan& p) { return p.budget.total; }, kNoLens},
        NotAvailableCase{"NoField", [](Example& e) { e.state.fieldRatio = 0; },
                         [](const Plan& p) { return p.shutterLimit.multiple; }, kNoLens},
        NotAvailableCase{"NoDistance", [](Example& e) { e.state.objectDistance = 0; },
                         [](const Plan& p) { return p.best.optimum; },
                         "Enter an object distance above 0 first"},
        NotAvailableCase{"ZeroPitch", [](Example& e) { e.camera.pixelPitchX = 0; },
                         [](const Plan& p) { return p.budget.diffraction; },
                         "The camera's pixel pitch is not above 0"},
        NotAvailableCase{"DepthReachesTheLens", [](Example& e) { e.texts.depth = "4"; },
                         [](const Plan& p) { return p.budget.defocus; },
                         "The depth reaches the lens"},
        NotAvailableCase{"DepthOfZeroHasNoOptimum", [](Example& e) { e.texts.depth = "0"; },
                         [](const Plan& p) { return p.best.optimum; }, "Enter a depth above 0"},
        NotAvailableCase{"NegativeDepth", [](Example& e) { e.texts.depth = "-0.2"; },
                         [](const Plan& p) { return p.budget.total; },
                         "The depth cannot be negative"},
        NotAvailableCase{"WavelengthNotANumber", [](Example& e) { e.texts.wavelength = "green"; },
                         [](const Plan& p) { return p.budget.diffraction; },
                         "The wavelength is not a number"},
        NotAvailableCase{"BlurLimitOfZero", [](Example& e) { e.texts.blurLimit = "0"; },
                         [](const Plan& p) { return p.shutterLimit.multiple; },
                         "Enter a blur limit above 0"},
        NotAvailableCase{"BlurLimitOfZeroHasNoSharpDepth", [](Example& e) { e.texts.blurLimit = ""; },
                         [](const Plan& p) { return p.budget.sharpFar; },
                         "Enter a blur limit above 0"},
        NotAvailableCase{"ModeWithFrameRateZero", [](Example& e) { e.camera.frameRates[1] = 0; },
                         [](const Plan& p) { return p.modes.Row(1).exposureUs; },
                         "The mode's frame rate is 0"},
        NotAvailableCase{"NoMemoryNoRecordTime", [](Example&) {},
                         [](const Plan& p) { return p.modes.Row(0).recordTime; },
                         "Enter the camera's memory"},
        NotAvailableCase{"LengthBeyondDoublesInTheUnit",
                         [](Example& e) {
                           e.state.unit = LengthUnit::Mm;
                           e.state.objectDistance = 1e306;  // the field, 2.5e305 m, is no double in mm
                           e.texts.lenses = "13.7";
                         },
                         [](const Plan& p) { return p.kit.rows.at(0).fieldWidth; }, "No finite value for these inputs"},
        NotAvailableCase{"KitLensLongerThanTheDistance",
                         [](Example& e) {
                           e.state.objectDistance = 0.2;
                           e.texts.lenses = "300";
                         },
                         [](const Plan& p) { return p.kit.rows.at(0).depthOfField; },
                         "The object is closer than the focal length"},
        NotAvailableCase{"ObjectInsideTheFocalLength",
                         [](Example& e) {
                           e.state.computeMode = ComputeMode::FieldWidth;
                           e.state.lensInput = LensInput::FocalLength;
                           e.state.focalLengthMm = 50;
                           e.state.objectDistance = 0.02;
                           ComputeAll(e.state, e.camera.pixelPitchX, e.camera.pixelPitchY);
                         },
                         [](const Plan& p) { return p.budget.motion; }, "The object is closer than the focal length"},
        NotAvailableCase{"MemoryBeyondDoubles", [](Example& e) { e.texts.memoryGb = "1e300"; },
                         [](const Plan& p) { return p.modes.Row(0).recordTime; },
                         "No finite value for these inputs"}),
    [](const ::testing::TestParamInfo<NotAvailableCase>& info) { return std::string(info.param.name); });

// A refused input or a missing lens makes n/a only what needs it.
TEST(Planner, PlansWhatCanBePlanned) {
  Example badLight;
  badLight.texts.wavelength = "green";
  const Plan withoutLight = badLight.Run();
  EXPECT_EQ(withoutLight.best.optimum.reason, "The wavelength is not a number");
  EXPECT_EQ(withoutLight.best.focusDistance.text, "1.995");  // needs only the depth and the distance

  Example inside;  // 50 mm at 0.02 m: no image, but the camera modes still count
  inside.state.computeMode = ComputeMode::FieldWidth;
  inside.state.lensInput = LensInput::FocalLength;
  inside.state.focalLengthMm = 50;
  inside.state.objectDistance = 0.02;
  inside.texts.eventMs = "100";
  ComputeAll(inside.state, inside.camera.pixelPitchX, inside.camera.pixelPitchY);
  const Plan plan = inside.Run();
  EXPECT_EQ(plan.prerequisite, "The object is closer than the focal length");
  EXPECT_EQ(plan.modes.Row(0).exposureUs.text, "5556");
  EXPECT_EQ(plan.modes.Row(0).eventFrames.text, "6");
  EXPECT_EQ(plan.modes.Row(0).fieldWidth.reason, "The object is closer than the focal length");
  EXPECT_TRUE(plan.budget.lightStops.Available());
}

// Where the engine makes the pixel blur 0 (a focal length without a scene), so does the shutter
// limit's search: every multiple is within the limit.
TEST(Planner, TheShutterLimitUsesTheEnginesPixelBlur) {
  Example example;
  example.state.computeMode = ComputeMode::ObjectDistance;
  example.state.lensInput = LensInput::FocalLength;
  example.state.fieldWidth = 0;
  ComputeAll(example.state, example.camera.pixelPitchX, example.camera.pixelPitchY);
  example.state.objectDistance = 2;  // a lens and a distance, but no field: the engine blurs 0
  example.state.fieldRatio = 0.5 / 0.003456;
  ASSERT_EQ(example.state.pixelBlur, 0);
  const ShutterLimit limit = example.Run().shutterLimit;
  EXPECT_EQ(limit.multiple.text, "1");
  EXPECT_EQ(limit.blur.value, 0);
}

TEST(ModeTable, AMemoryWhoseFrameCountOverflows64BitsStillHasARecordTime) {
  Example example;
  example.texts.memoryGb = "1e16";  // some 5e19 frames of 480 x 420 at 8 bits
  const ModeRow row = example.Run().modes.Row(0);
  EXPECT_EQ(row.recordTime.text, "8.267e+17");
}

TEST(Planner, ReadsTheDepthInTheCalculatorsUnitAndShowsLengthsInIt) {
  Example meters;
  Example mm;
  mm.state.unit = LengthUnit::Mm;
  mm.texts.depth = "200";
  const Plan inMm = mm.Run();
  EXPECT_EQ(inMm.budget.defocusNear.value, meters.Run().budget.defocusNear.value);
  EXPECT_EQ(inMm.budget.sharpNear.text, "1650");
  EXPECT_EQ(inMm.best.focusDistance.text, "1995");
  // A field per pixel shows in mm with metric units, in inches otherwise; its value stays in meters.
  EXPECT_EQ(inMm.modes.Row(0).fieldPerPixel.text, "1.042");
  EXPECT_EQ(meters.Run().modes.Row(0).fieldPerPixel.text, "1.042");
  Example feet;
  feet.state.unit = LengthUnit::Feet;
  EXPECT_EQ(feet.Run().modes.Row(0).fieldPerPixel.text, "0.04101");
}

// A blur's size does not depend on which way the object moves.
TEST(Planner, AVelocityAgainstTheDirectionBlursAsMuch) {
  Example backwards;
  backwards.state.velocity = -1;
  ComputeAll(backwards.state, backwards.camera.pixelPitchX, backwards.camera.pixelPitchY);
  const Plan plan = backwards.Run();
  EXPECT_EQ(plan.budget.motion.value, 5.333333333333334);
  EXPECT_EQ(plan.budget.total.value, 5.364882794308892);
  EXPECT_EQ(plan.shutterLimit.multiple.text, "16");
  EXPECT_EQ(plan.modes.Row(0).crossingFrames.text, "30");
}

TEST(Charts, AgreeWithTheValuesTheyDraw) {
  Example example;
  example.texts.lenses = "8";
  const Plan plan = example.Run();
  const PlanCharts& c = plan.charts;
  ASSERT_EQ(c.nearFocus.points.size(), 10u);
  EXPECT_EQ(c.nearFocus.points[3].x, 2.8);
  EXPECT_EQ(c.nearFocus.points[3].y, example.state.nearFocus);
  EXPECT_EQ(c.optimumFNumber, std::optional<double>(plan.best.optimum.value));
  // The total is smallest near N*, and every total is at least the motion alone.
  const auto lowest = std::min_element(c.total.points.begin(), c.total.points.end(),
                                       [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; });
  EXPECT_NEAR(lowest->x, plan.best.optimum.value, 0.25);
  EXPECT_GE(lowest->y, plan.budget.motion.value);
  // The lens in force at the current distance gives the current field; the 8 mm lens a wider one.
  ASSERT_EQ(c.fieldByDistance.size(), 2u);
  EXPECT_EQ(c.fieldByDistance[0].name, "13.73 mm");
  const auto atDistance = [](const ChartSeries& series) {
    return std::find_if(series.points.begin(), series.points.end(), [](const ChartPoint& p) { return p.x == 2; });
  };
  ASSERT_NE(atDistance(c.fieldByDistance[0]), c.fieldByDistance[0].points.end());
  EXPECT_NEAR(atDistance(c.fieldByDistance[0])->y, 0.5, 1e-12);
  ASSERT_NE(atDistance(c.fieldByDistance[1]), c.fieldByDistance[1].points.end());
  EXPECT_GT(atDistance(c.fieldByDistance[1])->y, 0.5);
}

}  // namespace
}  // namespace korvan::planner
