// Saving a camera from the editor or the command, then loading it as the calculator does: the
// round trip of a camera of 100,000 modes must not be felt (well under 100 ms).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

#include "camera/CameraFile.h"
#include "camera/CameraWriter.h"

namespace {

using namespace korvan;

constexpr std::size_t kModes = 100000;

CameraDefinition LargeCamera() {
  CameraDefinition camera;
  camera.name = "Bench Camera Large";
  camera.pixelPitchX = 7.4 * 1e-6;
  camera.pixelPitchY = 6.9 * 1e-6;
  for (std::size_t i = 0; i < kModes; ++i) {
    const auto rate = static_cast<std::uint32_t>(50 * (1 + i / 8));
    camera.frameRates.push_back(rate);
    camera.rateTexts.push_back(std::to_string(rate));
    camera.widthsPx.push_back(static_cast<std::uint32_t>(1280 - 16 * (i % 8)));
    camera.heightsPx.push_back(static_cast<std::uint32_t>(1024 - 16 * (i % 8)));
  }
  return camera;
}

void BM_WriteText100kModes(benchmark::State& bench) {
  const CameraDefinition camera = LargeCamera();
  for (auto _ : bench) benchmark::DoNotOptimize(WriteCameraText(camera, "bench"));
}
BENCHMARK(BM_WriteText100kModes)->Unit(benchmark::kMillisecond);

// Through the file system, temporary file, rename and all, and read back from the disk.
void BM_WriteAndReread100kModes(benchmark::State& bench) {
  const CameraDefinition camera = LargeCamera();
  const std::string path =
      (std::filesystem::temp_directory_path() / ("korvan-bench-write-" + std::to_string(::getpid()) + ".cam")).string();
  for (auto _ : bench) {
    const CameraWriteResult written = WriteCameraFile(camera, path, "bench");
    const CameraReadResult read = ReadCameraFile(path);
    if (!written.written || read.status != CameraReadStatus::Loaded || read.camera.ModeCount() != kModes) {
      bench.SkipWithError("the camera did not come back");
      break;
    }
    benchmark::DoNotOptimize(read);
  }
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}
BENCHMARK(BM_WriteAndReread100kModes)->Unit(benchmark::kMillisecond);

}  // namespace
