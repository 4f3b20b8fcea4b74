// Opening and saving a setup with a 100,000-mode camera and a 1,000-lens kit: the file read and
// parsed, and its camera file read again to see whether it is still the same camera.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "camera/CameraWriter.h"
#include "planner/Setup.h"

using namespace korvan;
using namespace korvan::planner;

namespace {

struct LargeSetup {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "korvan-bench-setup";
  std::string camera = (dir / "large.cam").string();
  std::string file = (dir / "large.klsetup").string();
  Setup setup;

  LargeSetup() {
    std::filesystem::create_directories(dir);
    CameraDefinition definition;
    definition.name = "Large";
    definition.pixelPitchX = definition.pixelPitchY = 7.4e-6;
    for (std::uint32_t i = 0; i < 100000; ++i) {
      definition.frameRates.push_back(100 + i);
      definition.widthsPx.push_back(1280 - i % 640);
      definition.heightsPx.push_back(1024 - i % 512);
      definition.rateTexts.push_back(std::to_string(100 + i));
    }
    WriteCameraFile(definition, camera, "bench");
    definition.filePath = camera;
    setup.camera = definition;
    setup.options = {{"camera", camera}, {"distance", "2"}, {"field-width", "0.5"}, {"f-number", "2.8"}};
    for (int i = 0; i < 1000; ++i) {
      setup.lenses.push_back({{{"focalLength", std::to_string(4 + i % 200)}, {"name", "Lens " + std::to_string(i)}}});
    }
    WriteSetupFile(file, setup);
  }
  ~LargeSetup() { std::filesystem::remove_all(dir); }
};

const LargeSetup& Large() {
  static const LargeSetup large;
  return large;
}

void BM_OpenSetup(benchmark::State& bench) {
  const LargeSetup& large = Large();
  for (auto _ : bench) {
    const SetupReading reading = ReadSetupFile(large.file);
    const SetupCamera camera = ResolveSetupCamera(*reading.setup);
    benchmark::DoNotOptimize(camera.source);
  }
}
BENCHMARK(BM_OpenSetup)->Unit(benchmark::kMillisecond);

void BM_SaveSetup(benchmark::State& bench) {
  const LargeSetup& large = Large();
  const std::string out = (large.dir / "saved.klsetup").string();
  for (auto _ : bench) benchmark::DoNotOptimize(WriteSetupFile(out, large.setup));
}
BENCHMARK(BM_SaveSetup)->Unit(benchmark::kMillisecond);

}  // namespace
