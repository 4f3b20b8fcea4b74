#include <gtest/gtest.h>

#include "camera/CameraFile.h"
#include "camera/CameraModes.h"

namespace korvan {
namespace {

CameraDefinition BenchCamera() {
  LineSource source("Bench Camera 1\n12, 12\n250,1280,1024\n500,1280,1024\n500,640,512\n1000,640,512\n");
  return ReadCameraLines(source, "bench.cam").camera;
}

TEST(FrameRates, EachDistinctRateOnceInOrderOfFirstAppearance) {
  EXPECT_EQ(FrameRateEntries(BenchCamera()), (std::vector<std::string>{"250", "500", "1000"}));
  EXPECT_EQ(FrameRateEntries(BuildGenericCamera()).front(), "60");
  CameraDefinition odd;
  odd.frameRates = {0xFFFFFFC4u, 0, 0xFFFFFFC4u};
  EXPECT_EQ(FrameRateEntries(odd), (std::vector<std::string>{"-60", "0"})) << "printed as the signed pattern";
}

TEST(FindCurrentMode, PrefersTheLastExactMatchThenTheFirstModeAtTheRate) {
  const CameraDefinition cam = BenchCamera();
  EXPECT_EQ(FindCurrentMode(cam, "500", "1280 x 1024"), 1u);
  EXPECT_EQ(FindCurrentMode(cam, "500", "640 x 512"), 2u);
  EXPECT_EQ(FindCurrentMode(cam, "1000", "1280 x 1024"), 3u) << "not offered at 1000: the first size there";
  EXPECT_EQ(FindCurrentMode(cam, "250", "100 x 100"), 0u);
  CameraDefinition twins = cam;
  twins.frameRates.push_back(500);
  twins.widthsPx.push_back(640);
  twins.heightsPx.push_back(512);
  EXPECT_EQ(FindCurrentMode(twins, "500", "640 x 512"), 4u) << "among identical modes the highest index";
}

TEST(FindCurrentMode, ResolutionWithoutAnXReadsAsASquare) {
  CameraDefinition cam;
  cam.frameRates = {60, 60};
  cam.widthsPx = {100, 7};
  cam.heightsPx = {200, 7};
  EXPECT_EQ(FindCurrentMode(cam, "60", "7"), 1u);
  EXPECT_EQ(FindCurrentMode(cam, "60", ""), 0u);
}

TEST(FindCurrentMode, NoModeAtTheRateFindsNothing) {
  EXPECT_FALSE(FindCurrentMode(CameraDefinition{}, "60", "480 x 420").has_value());
  EXPECT_FALSE(FindCurrentMode(BenchCamera(), "60", "1280 x 1024").has_value());
  CameraDefinition broken = BenchCamera();
  broken.widthsPx.resize(1);  // lists of unequal length must not be read past
  EXPECT_FALSE(FindCurrentMode(broken, "1000", "640 x 512").has_value());
}

TEST(ResolutionList, ListsTheSizesAtTheRateAndSelectsTheMode) {
  const CameraDefinition cam = BenchCamera();
  ResolutionList list = BuildResolutionList(cam, 500, 2);
  EXPECT_EQ(list.entries, (std::vector<std::string>{"1280 x 1024", "640 x 512"}));
  EXPECT_EQ(list.selected, 1);
  list = BuildResolutionList(cam, 500, 0);
  EXPECT_EQ(list.selected, 0) << "a mode of another rate selects the first entry";
  list = BuildResolutionList(cam, 60, std::nullopt);
  EXPECT_TRUE(list.entries.empty());
  EXPECT_EQ(list.selected, -1);
}

TEST(ShutterList, TwentyExposuresForTheRate) {
  std::vector<std::string> entries = ShutterEntries(60);
  ASSERT_EQ(entries.size(), 20u);
  EXPECT_EQ(entries[0], "1x -- 16666.67 usec");
  EXPECT_EQ(entries[1], "2x -- 8333.33 usec");
  EXPECT_EQ(entries[2], "3x -- 5555.56 usec");
  EXPECT_EQ(entries[19], "20x -- 833.33 usec");
  entries = ShutterEntries(500);
  EXPECT_EQ(entries[0], "1x -- 2000.00 usec");
  EXPECT_EQ(entries[2], "3x -- 666.67 usec");
  EXPECT_EQ(entries[19], "20x -- 100.00 usec");
  EXPECT_EQ(ShutterEntries(1000)[4], "5x -- 200.00 usec");
}

TEST(ShutterList, ZeroRateSaysInfinityAndHugeRatesWrapLikeThirtyTwoBits) {
  EXPECT_EQ(ShutterEntries(0)[0], "1x -- Infinity usec");
  EXPECT_EQ(ShutterEntries(0)[19], "20x -- Infinity usec");
  // 2^31 twice wraps to 0.
  EXPECT_EQ(ShutterEntries(0x80000000u)[1], "2x -- Infinity usec");
  EXPECT_EQ(InitialShutterEntries()[19], "20x");
}

TEST(ModeTexts, PixelsAndMillimetres) {
  ModeTexts t = MakeModeTexts(BuildGenericCamera(), 0);
  EXPECT_EQ(t.widthPx, "480");
  EXPECT_EQ(t.heightPx, "420");
  EXPECT_EQ(t.sensorWidthMm, "3.46");
  EXPECT_EQ(t.sensorHeightMm, "3.02");
  t = MakeModeTexts(BuildGenericCamera(), 7);
  EXPECT_EQ(t.widthPx, "60");
  EXPECT_EQ(t.sensorWidthMm, "0.43");
  EXPECT_EQ(t.sensorHeightMm, "0.49");
  t = MakeModeTexts(BenchCamera(), 0);
  EXPECT_EQ(t.sensorWidthMm, "15.36");
  EXPECT_EQ(t.sensorHeightMm, "12.29");
  t = MakeModeTexts(BenchCamera(), 99);
  EXPECT_EQ(t.widthPx, "0") << "a mode outside the table is never read";
}

}  // namespace
}  // namespace korvan
