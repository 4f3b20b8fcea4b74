#include <gtest/gtest.h>

#include <string>

#include "camera/CameraDefinition.h"
#include "optics/Engine.h"
#include "optics/WorkedExample.h"
#include "planner/Planner.h"

namespace korvan::planner {
namespace {

// The engine's worked example with the light of a 5000 lux lamp at 1.5 m on 50 Hz mains.
struct LightExample {
  CalcState state = testing::WorkedExample();
  CameraDefinition camera = BuildGenericCamera();
  PlannerTexts texts;

  LightExample() {
    ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);
    texts.depth = "0.2";
    texts.light.iso = "1600";
    texts.light.lampLux = "5000";
    texts.light.lampDistance = "1.5";
    texts.light.mains = "50";
  }
  Plan Run() const { return ComputePlan(state, camera, ReadPlannerInputs(texts, state.unit)); }
};

TEST(Light, WorkedExample) {
  const LightValues light = LightExample().Run().light;
  EXPECT_EQ(light.exposure.value, 0.005555555555555556);
  EXPECT_EQ(light.exposure.text, "5556");
  EXPECT_EQ(light.needed.value, 223.55872655155198);
  EXPECT_EQ(light.needed.text, "223.6");
  EXPECT_EQ(light.available.value, 2222.222222222222);
  EXPECT_EQ(light.headroom.value, 3.3132773261605304);
  EXPECT_EQ(light.headroom.text, "3.313");
  EXPECT_EQ(light.lampsNeeded.text, "1");
  EXPECT_EQ(light.farthestLamp.value, 4.729216418023385);
  EXPECT_EQ(light.framesPerCycle.value, 0.6);
  EXPECT_EQ(light.framesPerCycle.text, "0.6");
  EXPECT_TRUE(light.flicker);
  EXPECT_NE(light.flickerWarning.find("5556"), std::string::npos);
  EXPECT_NE(light.flickerWarning.find("10 ms"), std::string::npos);
}

TEST(Light, LengthsFollowTheUnitAndMeasuredLightWins) {
  LightExample example;
  example.state.unit = LengthUnit::Mm;
  example.texts.light.lampDistance = "1500";
  example.texts.light.lux = "100";  // measured: short of the 223.6 lux needed
  example.texts.light.mains = "60";
  example.texts.light.lamps = "3";
  const LightValues light = example.Run().light;
  EXPECT_EQ(light.available.value, 100);
  EXPECT_LT(light.headroom.value, 0);
  EXPECT_EQ(light.farthestLamp.text, "8191");  // sqrt(3) x 4.729 m, in mm
  EXPECT_EQ(light.framesPerCycle.value, 0.5);
}

TEST(Light, ModeInForceNeedsTheLightOfTheLightSection) {
  LightExample example;
  AttachmentChoices tubes;
  tubes.tubesOn = true;
  tubes.tubesIndex = 5;
  for (const AttachmentChoices& attachments : {AttachmentChoices{}, tubes}) {
    const Plan plan = ComputePlan(example.state, example.camera, ReadPlannerInputs(example.texts, example.state.unit),
                                  attachments);
    ASSERT_TRUE(plan.modes.inForce);
    const ModeRow row = plan.modes.Row(*plan.modes.inForce);
    EXPECT_TRUE(plan.modes.showLight);
    EXPECT_EQ(row.lightNeeded.text, plan.light.needed.text) << plan.attachmentsIncluded;
    EXPECT_NEAR(row.lightNeeded.value, plan.light.needed.value, 1e-9 * plan.light.needed.value);
  }
  example.texts.light.iso = "0";
  const ModeTable noIso = example.Run().modes;
  EXPECT_FALSE(noIso.showLight);
  EXPECT_EQ(noIso.Row(0).lightNeeded.reason, kNoIsoReason);
}

TEST(Envelope, WorkedExample) {
  const Envelope envelope = LightExample().Run().envelope;
  ASSERT_EQ(envelope.cells.size(), 200u);
  EXPECT_TRUE(envelope.withLight);
  EXPECT_EQ(envelope.workable, 4u);
  ASSERT_TRUE(envelope.recommended);
  EXPECT_EQ(envelope.recommended->text, "20x at f/1.4");
  EXPECT_EQ(envelope.total.value, 0.977007373391133);
  EXPECT_EQ(envelope.headroom.value, 2.5763117319943243);
  EXPECT_EQ(envelope.lightNeeded.value, 372.59787758591995);
  EXPECT_FALSE(envelope.nearestSharp);
  ASSERT_TRUE(envelope.inForce);
  EXPECT_EQ(envelope.cells[*envelope.inForce].shutter, 3);
  EXPECT_EQ(envelope.cells[*envelope.inForce].fNumber, 2.8);
}

TEST(Envelope, WithoutWorkableCellNamesTheTwoNearest) {
  LightExample example;
  example.texts.light.lampLux = "100";  // 44 lux: every sharp cell is short
  const Envelope dim = example.Run().envelope;
  EXPECT_FALSE(dim.recommended);
  EXPECT_EQ(dim.text, "none");
  ASSERT_TRUE(dim.nearestSharp && dim.nearestBright);
  EXPECT_EQ(dim.nearestSharp->text, "20x at f/1.4");
  EXPECT_EQ(dim.nearestSharp->verdict, "sharp, but 3.068 stops short");
  EXPECT_EQ(dim.nearestBright->verdict.rfind("bright, but blurs ", 0), 0u);
  EXPECT_GT(dim.cells[dim.nearestBright->cell].total, 1);

  example.texts.light.iso = "0";  // sharpness alone: the sharp cell gathering the most light
  const Envelope sharpOnly = example.Run().envelope;
  EXPECT_FALSE(sharpOnly.withLight);
  EXPECT_EQ(sharpOnly.lightReason, "Enter the camera's ISO rating");
  ASSERT_TRUE(sharpOnly.recommended);
  EXPECT_EQ(sharpOnly.recommended->text, "20x at f/1.4");
  EXPECT_EQ(sharpOnly.headroom.text, "n/a");
}

struct BadLight {
  const char* name;
  LightTexts texts;
  const char* reason;
  PlanNumber LightValues::*value;
};

class LightRefuses : public ::testing::TestWithParam<BadLight> {};

TEST_P(LightRefuses, WithAReasonAndLeavesTheRest) {
  LightExample example;
  example.texts.light = GetParam().texts;
  const Plan plan = example.Run();
  const PlanNumber& value = plan.light.*GetParam().value;
  EXPECT_EQ(value.text, "n/a");
  EXPECT_EQ(value.reason, GetParam().reason);
  EXPECT_EQ(plan.budget.total.value, 5.364882794308892);
  EXPECT_EQ(plan.envelope.cells.size(), 200u);
}

LightTexts With(std::string LightTexts::*field, std::string text) {
  LightTexts texts;
  texts.iso = "1600";
  texts.lampLux = "5000";
  texts.lampDistance = "1.5";
  texts.*field = std::move(text);
  return texts;
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, LightRefuses,
    ::testing::Values(
        BadLight{"NoIso", With(&LightTexts::iso, ""), "Enter the camera's ISO rating", &LightValues::needed},
        BadLight{"IsoText", With(&LightTexts::iso, "fast"), "The ISO is not a number", &LightValues::headroom},
        BadLight{"NegativeLux", With(&LightTexts::lux, "-5"), "The light at the subject cannot be negative",
                 &LightValues::available},
        BadLight{"Transmission0", With(&LightTexts::transmission, "0"), "Enter a transmission above 0 %",
                 &LightValues::needed},
        BadLight{"Transmission101", With(&LightTexts::transmission, "101"),
                 "The transmission cannot be above 100 %", &LightValues::lampsNeeded},
        BadLight{"LampAt0", With(&LightTexts::lampDistance, "0"), "Enter a lamp distance above 0",
                 &LightValues::available},
        BadLight{"Mains55", With(&LightTexts::mains, "55"), "The mains frequency must be 0, 50 or 60 Hz",
                 &LightValues::framesPerCycle},
        BadLight{"HalfALamp", With(&LightTexts::lamps, "1.5"), "The lamp count is not a whole number",
                 &LightValues::farthestLamp},
        BadLight{"HugeValues", With(&LightTexts::iso, "1e-310"), "No finite value for these inputs",
                 &LightValues::needed}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan::planner
