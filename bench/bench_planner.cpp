// What decides whether the planner can follow every keystroke: the whole plan with its charts,
// the mode table of a camera with very many modes, and writing the setup sheet.
#include <benchmark/benchmark.h>

#include <string>

#include "optics/Engine.h"
#include "planner/PlanSheet.h"
#include "planner/Planner.h"

namespace {

using namespace korvan;
using namespace korvan::planner;

// The engine's worked example after its cycle: 480 x 420 at 7.2 um, 2 m, 0.5 m, f/2.8, 60 fps, 3x, 1 m/s.
CalcState WorkedExample(const CameraDefinition& camera) {
  CalcState state;
  state.sensorWidthPx = 480;
  state.sensorHeightPx = 420;
  state.objectDistance = 2;
  state.fieldWidth = 0.5;
  state.fNumber = 2.8;
  state.frameRate = 60;
  state.shutterMultiple = 3;
  state.velocity = 1;
  ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);
  return state;
}

PlannerInputs TenLensKit() {
  PlannerTexts texts;
  texts.depth = "0.2";
  texts.eventMs = "20";
  texts.memoryGb = "16";
  texts.lenses = "6, 8, 12.5, 16, 25, 35, 50, 75, 100, 135";
  return ReadPlannerInputs(texts, LengthUnit::Meters);
}

void BM_WholePlan(benchmark::State& bench) {
  const CameraDefinition camera = BuildGenericCamera();
  const CalcState state = WorkedExample(camera);
  const PlannerInputs inputs = TenLensKit();
  for (auto _ : bench) {
    Plan plan = ComputePlan(state, camera, inputs);
    benchmark::DoNotOptimize(plan);
  }
  // A fast plan that computes the wrong thing is no result.
  const Plan plan = ComputePlan(state, camera, inputs);
  if (plan.budget.total.value != 5.364882794308892 || plan.kit.rows.size() != 10 ||
      plan.charts.fieldByDistance.size() != 11) {
    bench.SkipWithError("the worked example gave a wrong plan");
  }
}
BENCHMARK(BM_WholePlan)->Unit(benchmark::kMicrosecond);

PlannerInputs WithLight() {
  PlannerInputs inputs = TenLensKit();
  LightTexts light;
  light.iso = "1600";
  light.lampLux = "5000";
  light.lampDistance = "1.5";
  light.mains = "50";
  inputs.light = ReadLightInputs(light, LengthUnit::Meters);
  return inputs;
}

// The 200 cells of the shooting envelope with light figures.
void BM_Envelope(benchmark::State& bench) {
  const CameraDefinition camera = BuildGenericCamera();
  const CalcState state = WorkedExample(camera);
  const PlannerInputs inputs = WithLight();
  for (auto _ : bench) {
    Envelope envelope = ComputeEnvelope(EnvelopeSceneOf(state, camera, inputs), inputs.light);
    benchmark::DoNotOptimize(envelope);
  }
  const Envelope envelope = ComputeEnvelope(EnvelopeSceneOf(state, camera, inputs), inputs.light);
  if (envelope.cells.size() != 200 || envelope.total.value != 0.977007373391133) {
    bench.SkipWithError("the worked example gave a wrong envelope");
  }
}
BENCHMARK(BM_Envelope)->Unit(benchmark::kMicrosecond);

void BM_WholePlanWithLight(benchmark::State& bench) {
  const CameraDefinition camera = BuildGenericCamera();
  const CalcState state = WorkedExample(camera);
  const PlannerInputs inputs = WithLight();
  for (auto _ : bench) {
    Plan plan = ComputePlan(state, camera, inputs);
    benchmark::DoNotOptimize(plan);
  }
  if (ComputePlan(state, camera, inputs).light.headroom.value != 3.3132773261605304) {
    bench.SkipWithError("the worked example gave wrong light figures");
  }
}
BENCHMARK(BM_WholePlanWithLight)->Unit(benchmark::kMicrosecond);

// The inputs of a plan from the planner's texts, as the window reads them on each keystroke.
void BM_ReadInputs(benchmark::State& bench) {
  PlannerTexts texts;
  texts.depth = "0.2";
  texts.lenses = "6, 8, 12.5, 16, 25, 35, 50, 75, 100, 135";
  for (auto _ : bench) {
    PlannerInputs inputs = ReadPlannerInputs(texts, LengthUnit::Meters);
    benchmark::DoNotOptimize(inputs);
  }
}
BENCHMARK(BM_ReadInputs);

void BM_ModeTable100kModes(benchmark::State& bench) {
  CameraDefinition camera = BuildGenericCamera();
  const CalcState state = WorkedExample(camera);
  camera.rateTexts.clear();
  camera.frameRates.clear();
  camera.widthsPx.clear();
  camera.heightsPx.clear();
  for (int i = 0; i < 100000; ++i) {
    const std::uint32_t rate = 60 * (1 + i / 8);
    camera.rateTexts.push_back(std::to_string(rate));
    camera.frameRates.push_back(rate);
    camera.widthsPx.push_back(480 - 16 * (i % 8));
    camera.heightsPx.push_back(420 - 16 * (i % 8));
  }
  const PlannerInputs inputs = TenLensKit();
  for (auto _ : bench) {
    ModeTable table = ComputeModeTable(state, camera, inputs);
    benchmark::DoNotOptimize(table);
  }
  const ModeTable table = ComputeModeTable(state, camera, inputs);
  if (table.size() != 100000 || table.inForce != std::optional<std::size_t>(0)) {
    bench.SkipWithError("the mode table lost modes");
  }
}
BENCHMARK(BM_ModeTable100kModes)->Unit(benchmark::kMillisecond);

void BM_SheetCsv(benchmark::State& bench) {
  const CameraDefinition camera = BuildGenericCamera();
  const Plan plan = ComputePlan(WorkedExample(camera), camera, TenLensKit());
  const SheetInfo info{"2026-12-07 11:40:05", "bench run, take 3"};
  for (auto _ : bench) {
    std::string csv = SheetCsv(MakeSheetRows(plan, info));
    benchmark::DoNotOptimize(csv);
  }
}
BENCHMARK(BM_SheetCsv)->Unit(benchmark::kMicrosecond);

void BM_SheetJson(benchmark::State& bench) {
  const CameraDefinition camera = BuildGenericCamera();
  const Plan plan = ComputePlan(WorkedExample(camera), camera, TenLensKit());
  const SheetInfo info{"2026-12-07 11:40:05", "bench run, take 3"};
  for (auto _ : bench) {
    std::string json = SheetJson(plan, info);
    benchmark::DoNotOptimize(json);
  }
}
BENCHMARK(BM_SheetJson)->Unit(benchmark::kMicrosecond);

}  // namespace
