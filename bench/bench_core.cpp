// The costs that decide whether typing into a box feels instant and whether a large camera file
// loads without a pause: one full cycle from box texts to every shown text, the engine alone, and
// reading a camera file of 100,000 modes.
#include <benchmark/benchmark.h>

#include <cmath>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "camera/CameraFile.h"
#include "optics/Arctangent.h"
#include "optics/Attachments.h"
#include "optics/ControlIds.h"
#include "optics/Display.h"
#include "optics/Engine.h"
#include "EngineWithLibraryAtan.h"

namespace {

using namespace korvan;

constexpr double kPitch = 7.2e-6;

// The generic camera at 60 frames per second, focal length computed from a 0.5 m field at 2 m.
InputTexts WorkedExampleInputs() {
  return InputTexts{.computeMode = ComputeMode::FocalLength,
                    .unit = LengthUnit::Meters,
                    .frameRate = "60",
                    .shutter = "3x -- 5555.56 usec",
                    .focalLength = "",  // computed in this mode
                    .magnification = "",
                    .fNumber = "2.8",
                    .objectDistance = "2",
                    .fieldWidth = "0.5",
                    .velocity = "1"};
}

CalcState WorkedExampleState() {
  CalcState state;
  state.sensorWidthPx = 480;
  state.sensorHeightPx = 420;
  return state;
}

void BM_FullCycle(benchmark::State& bench) {
  const InputTexts inputs = WorkedExampleInputs();
  const AttachmentChoices choices;  // the window as it opens: nothing attached
  CalcState state = WorkedExampleState();
  for (auto _ : bench) {
    ReadInputs(inputs, state);
    ComputeGeometry(state, kPitch, kPitch);
    ComputeBlur(state, kPitch, kPitch);
    ResultTexts results = MakeResultTexts(state);
    std::uint32_t status = StatusAfterCycle(state, ids::kFieldWidthEdit, ids::kFieldWidthEdit);
    AttachmentTexts attached = MakeAttachmentTexts(ComputeAttachments(state, kPitch, kPitch, choices));
    benchmark::DoNotOptimize(results);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(attached);
  }
  // A fast cycle that computes the wrong thing is no result.
  if (MakeResultTexts(state).focalLength != "13.73") bench.SkipWithError("worked example gave the wrong focal length");
}
BENCHMARK(BM_FullCycle);

template <void (*Geometry)(CalcState&, double, double), void (*Blur)(CalcState&, double, double)>
void BM_EngineWith(benchmark::State& bench) {
  CalcState state = WorkedExampleState();
  ReadInputs(WorkedExampleInputs(), state);
  for (auto _ : bench) {
    Geometry(state, kPitch, kPitch);
    Blur(state, kPitch, kPitch);
    benchmark::DoNotOptimize(state);
  }
  if (!state.resultsValid) bench.SkipWithError("worked example gave no valid result");
}
void BM_Engine(benchmark::State& bench) { BM_EngineWith<ComputeGeometry, ComputeBlur>(bench); }
BENCHMARK(BM_Engine);
// The same with the C library's atan for the field angle: what the correctly rounded one costs.
void BM_EngineWithLibraryAtan(benchmark::State& bench) {
  BM_EngineWith<LibraryAtanComputeGeometry, LibraryAtanComputeBlur>(bench);
}
BENCHMARK(BM_EngineWithLibraryAtan);

// The core's correctly rounded arctangent against the C library's, over field-angle arguments.
template <double (*Atan)(double)>
void BM_Arctangent(benchmark::State& bench) {
  double x = 0.001;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(Atan(x));
    x = x < 20 ? x * 1.0009765625 : 0.001;
  }
}
double LibraryAtan(double x) { return std::atan(x); }
BENCHMARK(BM_Arctangent<korvan::Arctangent>);
BENCHMARK(BM_Arctangent<LibraryAtan>);

class LargeCameraFile : public benchmark::Fixture {
 public:
  static constexpr int kModes = 100000;

  void SetUp(const benchmark::State&) override {
    path_ = (std::filesystem::temp_directory_path() / ("korvan-bench-" + std::to_string(::getpid()) + ".cam")).string();
    std::ofstream out(path_, std::ios::binary);
    out << "# generated for the benchmark\nBench Camera Large\n7.4, 7.4\n";
    for (int i = 0; i < kModes; ++i) {
      const int rate = 50 * (1 + i / 8);
      out << rate << ',' << 1280 - 16 * (i % 8) << ',' << 1024 - 16 * (i % 8) << '\n';
    }
  }

  void TearDown(const benchmark::State&) override {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

 protected:
  std::string path_;
};

BENCHMARK_DEFINE_F(LargeCameraFile, Read100kModes)(benchmark::State& bench) {
  for (auto _ : bench) {
    CameraReadResult result = ReadCameraFile(path_);
    if (result.status != CameraReadStatus::Loaded || result.camera.ModeCount() != kModes) {
      bench.SkipWithError("the generated camera file did not load");
      break;
    }
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK_REGISTER_F(LargeCameraFile, Read100kModes)->Unit(benchmark::kMillisecond);

}  // namespace
