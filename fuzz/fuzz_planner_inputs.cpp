// Any texts in the calculator's boxes and in the planner's own inputs, any selections and any
// camera modes, through a calculator cycle and a whole plan with its sheet.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "camera/CameraDefinition.h"
#include "optics/Display.h"
#include "optics/Engine.h"
#include "optics/NumberText.h"
#include "planner/PlanSheet.h"
#include "planner/Planner.h"

using namespace korvan;
using namespace korvan::planner;

namespace {

bool IsSignedZero(const std::string& text) {
  return !text.empty() && text.front() == '-' && text.find_first_of("123456789") == std::string::npos;
}

// A value is "n/a" exactly when it has no number, and whatever is not a plain number says why.
void CheckNumber(const PlanNumber& n, bool infinityAllowed = false) {
  if (!infinityAllowed && n.text.find("Infinity") != std::string::npos) {
    std::fprintf(stderr, "text \"%s\" of %a\n", n.text.c_str(), n.value);
  }
  FUZZ_CHECK(!n.text.empty());
  FUZZ_CHECK(!IsSignedZero(n.text));
  FUZZ_CHECK(n.text.find("nan") == std::string::npos && n.text.find("NaN") == std::string::npos);
  FUZZ_CHECK(n.text.find("inf") == std::string::npos);
  if (n.text == kNotAvailableText) {
    FUZZ_CHECK(std::isnan(n.value));
    FUZZ_CHECK(!n.reason.empty());
  } else if (n.text == kNoneText) {
    FUZZ_CHECK(!n.reason.empty());
  } else {
    FUZZ_CHECK(!std::isnan(n.value));
    FUZZ_CHECK(n.reason.empty());
    if (n.text.find("Infinity") != std::string::npos) FUZZ_CHECK(infinityAllowed);
    FUZZ_CHECK(std::isfinite(n.value) || infinityAllowed);
    // The text shows that very value: an infinite value reads "Infinity" and nothing else does.
    FUZZ_CHECK(std::isinf(n.value) == (n.text == "Infinity"));
  }
}

std::size_t KitEntries(const std::string& text) {
  if (text.find_first_not_of(" \t\n\v\f\r") == std::string::npos) return 0;
  std::size_t entries = 1;
  for (const char c : text) entries += c == ',';
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);

  InputTexts texts;
  texts.computeMode = static_cast<ComputeMode>(in.ConsumeIntegralInRange<int>(0, 3));
  texts.direction = static_cast<Direction>(in.ConsumeIntegralInRange<int>(0, 1));
  texts.lensInput = static_cast<LensInput>(in.ConsumeIntegralInRange<int>(0, 1));
  texts.unit = static_cast<LengthUnit>(in.ConsumeIntegralInRange<int>(0, 3));
  AttachmentChoices choices;
  choices.teleExtenderOn = in.ConsumeBool();
  choices.teleExtenderIndex = in.ConsumeIntegralInRange<int>(0, 2);

  static constexpr double kPitches[] = {7.2e-6, 12e-6, 0.0, -7.2e-6, 1e-300, 1e300};
  CameraDefinition camera = BuildGenericCamera();
  camera.pixelPitchX = in.ConsumeBool() ? in.ConsumeFloatingPoint<double>() : in.PickValueInArray(kPitches);
  camera.pixelPitchY = in.ConsumeBool() ? in.ConsumeFloatingPoint<double>() : in.PickValueInArray(kPitches);
  // Extra modes with any rate and size, zeros and 32-bit extremes included.
  const int extraModes = in.ConsumeIntegralInRange<int>(0, 12);
  for (int i = 0; i < extraModes; ++i) {
    camera.frameRates.push_back(in.ConsumeIntegral<std::uint32_t>());
    camera.widthsPx.push_back(in.ConsumeIntegral<std::uint32_t>());
    camera.heightsPx.push_back(in.ConsumeIntegral<std::uint32_t>());
    camera.rateTexts.push_back(std::to_string(camera.frameRates.back()));
  }
  const std::size_t modeInForce = in.ConsumeIntegralInRange<std::size_t>(0, camera.ModeCount() - 1);

  std::string* const fields[] = {&texts.frameRate,      &texts.shutter,    &texts.focalLength, &texts.magnification,
                                 &texts.fNumber,        &texts.objectDistance, &texts.fieldWidth, &texts.velocity};
  for (std::string* field : fields) *field = in.ConsumeRandomLengthString(64);
  PlannerTexts plannerTexts;
  std::string* const plannerFields[] = {&plannerTexts.depth,    &plannerTexts.wavelength, &plannerTexts.blurLimit,
                                        &plannerTexts.eventMs,  &plannerTexts.memoryGb,   &plannerTexts.bitDepth,
                                        &plannerTexts.lenses};
  for (std::string* field : plannerFields) *field = in.ConsumeRandomLengthString(128);
  LightTexts& light = plannerTexts.light;
  std::string* const lightFields[] = {&light.iso,     &light.meterConstant, &light.transmission, &light.lux,
                                      &light.lampLux, &light.lampDistance,  &light.lamps,        &light.mains};
  for (std::string* field : lightFields) *field = in.ConsumeRandomLengthString(32);

  CalcState state;
  state.sensorWidthPx = static_cast<std::int32_t>(camera.widthsPx[modeInForce]);
  state.sensorHeightPx = static_cast<std::int32_t>(camera.heightsPx[modeInForce]);
  ReadInputs(texts, state);
  ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);

  const PlannerInputs inputs = ReadPlannerInputs(plannerTexts, state.unit);
  // A plain list's entries are each a lens or a note; a kit CSV is checked by its own target.
  if (!IsLensKitCsv(plannerTexts.lenses)) {
    FUZZ_CHECK(inputs.kit.size() + inputs.kitNotes.size() == KitEntries(plannerTexts.lenses));
  }
  for (const KitLens& lens : inputs.kit) FUZZ_CHECK(lens.focalLengthMm > 0 && std::isfinite(lens.focalLengthMm));

  const Plan plan = ComputePlan(state, camera, inputs, choices);
  const SharpnessBudget& b = plan.budget;
  for (const PlanNumber* n : {&b.motion, &b.defocusNear, &b.defocusFar, &b.defocus, &b.diffraction, &b.total,
                              &b.linearSum, &b.sharpNear, &b.lightStops}) {
    CheckNumber(*n);
  }
  CheckNumber(b.sharpFar, true);
  for (const PlanNumber* n : {&plan.best.optimum, &plan.best.bestEntry, &plan.best.bestEntrySum,
                              &plan.best.bestEntryTotal, &plan.best.focusDistance, &plan.apertureWindow.low,
                              &plan.apertureWindow.high, &plan.shutterLimit.multiple, &plan.shutterLimit.blur,
                              &plan.shutterLimit.exposureUs}) {
    CheckNumber(*n);
  }
  if (plan.budget.total.Available()) FUZZ_CHECK(plan.budget.linearSum.value >= plan.budget.total.value * (1 - 1e-12));

  // The shutter limit's bisection must find what trying each multiple in turn finds.
  if (plan.shutterLimit.multiple.Available()) {
    int expected = 0;
    for (const ChartPoint& point : plan.charts.pixelBlurByShutter.points) {
      if (point.y <= inputs.blurLimit.value) {
        expected = static_cast<int>(point.x);
        break;
      }
    }
    FUZZ_CHECK(plan.shutterLimit.multiple.text == (expected == 0 ? std::string(kNoneText) : FormatInt(expected)));
  }

  const LightValues& l = plan.light;
  for (const PlanNumber* n : {&l.exposure, &l.needed, &l.available, &l.headroom, &l.lampsNeeded, &l.farthestLamp,
                              &l.framesPerCycle}) {
    CheckNumber(*n);
  }
  FUZZ_CHECK(l.flicker == !l.flickerWarning.empty());
  FUZZ_CHECK(l.flickerWarning.find("inf") == std::string::npos && l.flickerWarning.find("nan") == std::string::npos);

  // The envelope recommends a cell that works, and counts them as the cells say.
  const Envelope& e = plan.envelope;
  for (const PlanNumber* n : {&e.total, &e.headroom, &e.lightNeeded}) CheckNumber(*n);
  std::size_t workable = 0;
  for (const EnvelopeCell& cell : e.cells) workable += cell.sharp && (cell.bright || !e.withLight);
  FUZZ_CHECK(workable == e.workable);
  FUZZ_CHECK(e.recommended.has_value() == (workable > 0));
  if (e.recommended) FUZZ_CHECK(e.cells[e.recommended->cell].sharp);
  if (e.nearestSharp) FUZZ_CHECK(e.cells[e.nearestSharp->cell].sharp && !e.recommended);
  if (e.nearestBright) FUZZ_CHECK(e.cells[e.nearestBright->cell].bright && !e.recommended);
  for (const auto* setting : {&e.recommended, &e.nearestSharp, &e.nearestBright}) {
    if (*setting) FUZZ_CHECK((*setting)->verdict.find("inf") == std::string::npos);
  }

  FUZZ_CHECK(plan.modes.size() == camera.ModeCount());
  for (std::size_t i = 0; i < plan.modes.size(); ++i) {
    const ModeRow row = plan.modes.Row(i);
    for (const PlanNumber* n : {&row.frameRate, &row.fieldWidth, &row.fieldPerPixel, &row.exposureUs, &row.pixelBlur,
                                &row.shutterLimit, &row.eventFrames, &row.crossingFrames, &row.recordTime}) {
      CheckNumber(*n);
    }
  }
  FUZZ_CHECK(plan.kit.rows.size() == inputs.kit.size());
  for (const KitRow& row : plan.kit.rows) {
    for (const PlanNumber* n : {&row.focalLength, &row.fieldWidth, &row.fieldAngle, &row.nearFocus, &row.pixelBlur,
                                &row.distanceForField}) {
      CheckNumber(*n);
    }
    CheckNumber(row.depthOfField, true);
    CheckNumber(row.farFocus, true);
    if (row.marked) FUZZ_CHECK(row.fieldWidth.value >= state.fieldWidth);
  }

  const std::string json = PlanJson(plan);
  FUZZ_CHECK(json.size() > 2 && json.front() == '{' && json.back() == '}');
  const std::vector<SheetRow> rows = MakeSheetRows(plan, {"2026-12-07 11:40:05", plannerTexts.lenses});
  const std::string csv = SheetCsv(rows);
  FUZZ_CHECK(csv.rfind("key,value,unit,text\n", 0) == 0);
  return 0;
}
