// What lens records cost: the plan with a kit of plain focal lengths (as before records) beside the
// same kit as records whose limits are checked, for 10 and 1,000 lenses, and reading a kit of
// 10,000 rows as a spreadsheet writes it.
#include <benchmark/benchmark.h>

#include <string>

#include "optics/Engine.h"
#include "optics/WorkedExample.h"
#include "planner/LensRecord.h"
#include "planner/Planner.h"

namespace {

using namespace korvan;
using namespace korvan::planner;

// The engine's worked example after its cycle.
CalcState WorkedExample(const CameraDefinition& camera) {
  CalcState state = testing::WorkedExample();
  ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);
  return state;
}

// `lenses` focal lengths from 4 mm up; as records every one gives every limit, half of them failing.
std::string Kit(int lenses, bool records) {
  std::string text = records ? std::string(kLensKitHeader) + "\n" : std::string();
  for (int i = 0; i < lenses; ++i) {
    const std::string focal = std::to_string(4 + (i % 1000) * 0.25);  // below every closest focus
    if (records) {
      text += "\"Lens " + std::to_string(i) + ", C\"," + focal + ",1.4,16," + (i % 2 ? "3" : "0.3") + "," +
              (i % 3 ? "8" : "4") + ",C\r\n";
    } else {
      text += (i > 0 ? ", " : "") + focal;
    }
  }
  return text;
}

void BM_PlanWithKit(benchmark::State& bench) {
  const CameraDefinition camera = BuildGenericCamera();
  const CalcState state = WorkedExample(camera);
  PlannerTexts texts;
  texts.depth = "0.2";
  texts.lenses = Kit(static_cast<int>(bench.range(0)), bench.range(1) != 0);
  const PlannerInputs inputs = ReadPlannerInputs(texts, state.unit);
  if (inputs.kit.size() != static_cast<std::size_t>(bench.range(0)) || !inputs.kitNotes.empty()) {
    bench.SkipWithError("the kit was not read whole");
    return;
  }
  for (auto _ : bench) {
    Plan plan = ComputePlan(state, camera, inputs);
    benchmark::DoNotOptimize(plan);
  }
  bench.SetLabel(bench.range(1) ? "records, checked" : "plain focal lengths");
  bench.counters["per_lens"] =
      benchmark::Counter(static_cast<double>(bench.range(0)), benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlanWithKit)->Args({10, 0})->Args({10, 1})->Args({1000, 0})->Args({1000, 1})->Unit(benchmark::kMicrosecond);

void BM_ReadKit10000Rows(benchmark::State& bench) {
  const std::string text = Kit(10000, true);
  for (auto _ : bench) {
    LensKitRead read = ReadLensKit(text);
    benchmark::DoNotOptimize(read);
  }
  if (ReadLensKit(text).lenses.size() != 10000) bench.SkipWithError("the kit was not read whole");
}
BENCHMARK(BM_ReadKit10000Rows)->Unit(benchmark::kMillisecond);

}  // namespace
