#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "launch/LaunchMessage.h"
#include "camera/CameraFile.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;

const fs::path kCamerasDir = KORVAN_CAMERAS_DIR;

std::vector<std::string> ShippedCameraFiles() {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(kCamerasDir)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string SafeTestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

class ShippedCamera : public ::testing::TestWithParam<std::string> {};

TEST_P(ShippedCamera, LoadsWithNamePixelSizeAndModes) {
  const std::string path = (kCamerasDir / GetParam()).string();
  ASSERT_EQ(fs::path(path).extension(), ".cam") << "only camera files belong in the cameras folder";
  const CameraReadResult result = ReadCameraFile(path);
  ASSERT_EQ(result.status, CameraReadStatus::Loaded) << result.message;
  const CameraDefinition& camera = result.camera;
  EXPECT_FALSE(camera.name.empty());
  EXPECT_GT(camera.pixelPitchX, 0);
  EXPECT_GT(camera.pixelPitchY, 0);
  ASSERT_GE(camera.ModeCount(), 1u);
  for (std::size_t i = 0; i < camera.ModeCount(); ++i) {
    SCOPED_TRACE("mode " + std::to_string(i));
    // A zero rate would offer infinite exposures; a zero size an empty sensor.
    EXPECT_GT(camera.frameRates[i], 0u);
    EXPECT_GT(camera.widthsPx[i], 0u);
    EXPECT_GT(camera.heightsPx[i], 0u);
    // Listed from slowest to fastest, so the frame-rate list reads in order.
    if (i > 0) {
      EXPECT_GE(camera.frameRates[i], camera.frameRates[i - 1]);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFile, ShippedCamera, ::testing::ValuesIn(ShippedCameraFiles()), SafeTestName);

// Each host model with a camera file finds that file among the shipped ones, and the camera's
// name there belongs to the same model family ("Korvan Falke") and number ("250").
TEST(ShippedCameras, CoverEveryModelOfTheHostTable) {
  int modelsWithFiles = 0;
  for (std::size_t row = 0; row < kHostCameraRows; ++row) {
    const HostCameraEntry& entry = hostCameraTable[row];
    if (entry.cameraFileName[0] == '\0') continue;
    ++modelsWithFiles;
    SCOPED_TRACE(entry.modelName);
    const CameraNameResult name = ReadCameraName((kCamerasDir / entry.cameraFileName).string());
    ASSERT_TRUE(name.opened) << entry.cameraFileName << " is not shipped";
    ASSERT_TRUE(name.name.has_value());

    std::istringstream words(entry.modelName);
    std::string maker, family, number;
    words >> maker >> family >> number;
    EXPECT_EQ(name.name->rfind(maker + " " + family + " ", 0), 0u) << *name.name;
    EXPECT_NE(name.name->find(number), std::string::npos) << *name.name;
  }
  EXPECT_EQ(modelsWithFiles, 12);
}

TEST(ShippedCameras, BenchCameraIsTheDocumentedExample) {
  const CameraReadResult result = ReadCameraFile((kCamerasDir / "bench.cam").string());
  ASSERT_EQ(result.status, CameraReadStatus::Loaded) << result.message;
  EXPECT_EQ(result.camera.name, "Bench Camera 1");
  EXPECT_EQ(result.camera.pixelPitchX, 12 * 1e-6);
  EXPECT_EQ(result.camera.pixelPitchY, 12 * 1e-6);
  EXPECT_EQ(result.camera.frameRates, (std::vector<std::uint32_t>{250, 500, 500, 1000}));
  EXPECT_EQ(result.camera.widthsPx, (std::vector<std::uint32_t>{1280, 1280, 640, 640}));
  EXPECT_EQ(result.camera.heightsPx, (std::vector<std::uint32_t>{1024, 1024, 512, 512}));
}

}  // namespace
}  // namespace korvan
