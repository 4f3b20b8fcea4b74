#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/CameraFile.h"
#include "common/TestFiles.h"
#include "planner/Setup.h"

namespace korvan::planner {
namespace {

planner::Setup ExampleSetup(const std::string& cameraFile) {
  planner::Setup setup;
  setup.options = {{"distance", "2m"}, {"f-number", "2.8"}, {"lenses", "8, 12.5"}};
  setup.camera = ReadCameraFile(cameraFile).camera;
  setup.lenses = {{{{"focalLength", "25.0"}, {"name", "Bars 25"}}}};  // fields read back in name order
  setup.note = "rig A\n\"quoted\" \xC3\xA9";
  return setup;
}

TEST(SetupFile, WritesAndReadsBackTheSameSetup) {
  testing::TempFiles files;
  const planner::Setup setup = ExampleSetup(files.Write("bench.cam", testing::kBenchCamera));
  const std::string path = files.Path("s.klsetup");
  ASSERT_EQ(WriteSetupFile(path, setup), "");
  const SetupReading read = ReadSetupFile(path);
  ASSERT_TRUE(read.setup) << read.error;
  EXPECT_EQ(read.setup->options, setup.options);
  EXPECT_EQ(read.setup->note, setup.note);
  EXPECT_EQ(read.setup->lenses, setup.lenses);
  ASSERT_TRUE(read.setup->camera);
  EXPECT_TRUE(SameCamera(*read.setup->camera, *setup.camera));
  EXPECT_EQ(read.setup->camera->filePath, setup.camera->filePath);
  EXPECT_TRUE(read.notes.empty());
  EXPECT_EQ(ResolveSetupCamera(setup).source, SetupCamera::Source::File);
}

// A camera file that is gone or no longer the same camera gives way to the setup's own copy.
TEST(SetupFile, MissingOrChangedCameraFileFallsBackToTheEmbeddedCamera) {
  testing::TempFiles files;
  const std::string cameraFile = files.Write("bench.cam", testing::kBenchCamera);
  const planner::Setup setup = ExampleSetup(cameraFile);
  files.Write("bench.cam", "Other\n12,12\n250,1280,1024\n");
  const SetupCamera changed = ResolveSetupCamera(setup);
  EXPECT_EQ(changed.source, SetupCamera::Source::Embedded);
  EXPECT_NE(changed.notice.find("has changed"), std::string::npos);
  std::filesystem::remove(cameraFile);
  const SetupCamera missing = ResolveSetupCamera(setup);
  EXPECT_EQ(missing.source, SetupCamera::Source::Embedded);
  EXPECT_NE(missing.notice.find("not found"), std::string::npos);
}

struct BadCase {
  const char* name;
  std::string text;
  const char* error;  // a part of the message
};

TEST(SetupFile, RefusesBadInputInOneLine) {
  const std::string modes = "\"camera\": {\"file\": \"\", \"name\": \"C\", \"pixelWidthUm\": 7, \"pixelHeightUm\": 7, ";
  const std::vector<BadCase> cases = {
      {"not JSON", "hello", "not valid JSON"},
      {"truncated", "{\"setupVersion\": 1, \"options\": {\"dis", "not valid JSON"},
      {"no object", "[1]", "no JSON object"},
      {"no version", "{\"options\": {}}", "setupVersion is missing"},
      {"newer", "{\"setupVersion\": 2}", "newer version"},
      {"number option", "{\"setupVersion\": 1, \"options\": {\"distance\": 2}}", "must be a text"},
      {"bad name", "{\"setupVersion\": 1, \"options\": {\"--x\": \"2\"}}", "not an option name"},
      {"control", "{\"setupVersion\": 1, \"options\": {\"distance\": \"2\\u0007\"}}", "control character"},
      {"negative mode", "{\"setupVersion\": 1, " + modes + "\"modes\": [[-1, 2, 3]]}}", "whole number"},
      {"short mode", "{\"setupVersion\": 1, " + modes + "\"modes\": [[1, 2]]}}", "[rate, width, height]"},
      {"no modes", "{\"setupVersion\": 1, " + modes + "\"modes\": []}}", "no mode"},
      // Mode rows are checked as they stream past: the first bad row speaks, shape before values.
      {"row of objects", "{\"setupVersion\": 1, " + modes + "\"modes\": [[1, {\"a\": 1}, 3]]}}", "mode's width"},
      {"row too long", "{\"setupVersion\": 1, " + modes + "\"modes\": [[1, 2, [3], 4]]}}", "[rate, width, height]"},
      {"row not a list", "{\"setupVersion\": 1, " + modes + "\"modes\": [[1, 2, 3], 7]}}", "[rate, width, height]"},
      {"first bad row", "{\"setupVersion\": 1, " + modes + "\"modes\": [[1, 2, 4294967296], [1]]}}", "mode's height"},
      {"deep in a row", "{\"setupVersion\": 1, " + modes + "\"modes\": [[1, 2, " + std::string(20, '[') + "]]}}",
       "nests deeper"},
      {"deep", std::string(10000, '['), "nests deeper"},
      {"huge", std::string(kMaxSetupBytes + 1, ' '), "too large"},
      {"sheet without setup", "{\"sheetVersion\": 1}", "holds no setup"},
  };
  for (const BadCase& c : cases) {
    const SetupReading read = ParseSetup(c.text);
    EXPECT_FALSE(read.setup) << c.name;
    EXPECT_NE(read.error.find(c.error), std::string::npos) << c.name << ": " << read.error;
    EXPECT_EQ(read.error.find('\n'), std::string::npos) << c.name;
  }
}

TEST(SetupFile, TheLastOfRepeatedKeysHolds) {
  const SetupReading read = ParseSetup(
      "{\"setupVersion\": 1, \"camera\": {\"modes\": [[1]], \"file\": \"\", \"name\": \"C\", \"pixelWidthUm\": 7, "
      "\"pixelHeightUm\": 7, \"modes\": [[1000, 640, 480], [2000, 320, 240]]}}");
  ASSERT_TRUE(read.setup) << read.error;
  EXPECT_EQ(read.setup->camera->frameRates, (std::vector<std::uint32_t>{1000, 2000}));
  EXPECT_EQ(read.setup->camera->heightsPx, (std::vector<std::uint32_t>{480, 240}));
}

TEST(SetupFile, UnknownKeysAreLeftOutAndNoted) {
  const SetupReading read = ParseSetup("{\"setupVersion\": 1, \"options\": {\"distance\": \"2\"}, \"colour\": 1}");
  ASSERT_TRUE(read.setup) << read.error;
  EXPECT_EQ(read.notes, std::vector<std::string>{"Unknown key colour left out."});
  EXPECT_EQ(SetupCommandLine(*read.setup), "korvan-lens plan --distance 2");
}

TEST(SetupFile, ShellQuoting) {
  EXPECT_EQ(ShellQuoted("12.5"), "12.5");
  EXPECT_EQ(ShellQuoted(""), "''");
  EXPECT_EQ(ShellQuoted("8, 12"), "'8, 12'");
  EXPECT_EQ(ShellQuoted("it's $HOME"), "'it'\\''s $HOME'");
}

}  // namespace
}  // namespace korvan::planner
