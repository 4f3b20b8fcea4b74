#include <gtest/gtest.h>

#include <cmath>

#include "optics/NumberText.h"

#include "common/TestFiles.h"
#include "cli/Commands.h"
#include "cli/TextTable.h"

namespace korvan::cli {
namespace {

using korvan::testing::kBenchCamera;
using korvan::testing::TempFiles;

struct SelectionCase {
  const char* name;
  std::optional<std::string> frameRate;
  std::optional<std::string> resolution;
  int shutter;
  // Expected selection, or an empty frameRate when the input is refused.
  std::string frameRateText;
  std::string resolutionText;
  std::int32_t widthPx;
  std::int32_t heightPx;
  std::string shutterText;
};

void PrintTo(const SelectionCase& c, std::ostream* os) { *os << c.name; }

class ModeSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(ModeSelection, PicksTheListEntriesTheWindowWouldShow) {
  const SelectionCase& c = GetParam();
  TempFiles files;
  CalcOptions options;
  options.cameraFile = files.Write("bench.cam", kBenchCamera);
  options.frameRate = c.frameRate;
  options.resolution = c.resolution;
  options.shutterMultiple = c.shutter;
  const Outcome<CalcReport> run = RunCalc(options);
  if (c.frameRateText.empty()) {
    EXPECT_FALSE(run.value);
    EXPECT_FALSE(run.refusal.empty());
    EXPECT_EQ(run.refusal.find('\n'), std::string::npos);
    return;
  }
  ASSERT_TRUE(run.value) << run.refusal;
  EXPECT_EQ(run.value->frameRate, c.frameRateText);
  EXPECT_EQ(run.value->resolution, c.resolutionText);
  EXPECT_EQ(run.value->state.sensorWidthPx, c.widthPx);
  EXPECT_EQ(run.value->state.sensorHeightPx, c.heightPx);
  EXPECT_EQ(run.value->shutter, c.shutterText);
}

INSTANTIATE_TEST_SUITE_P(
    BenchCamera, ModeSelection,
    ::testing::Values(
        SelectionCase{"Defaults", {}, {}, 1, "250", "1280 x 1024", 1280, 1024, "1x -- 4000.00 usec"},
        SelectionCase{"FirstSizeAtRate", "500", {}, 5, "500", "1280 x 1024", 1280, 1024, "5x -- 400.00 usec"},
        SelectionCase{"CompactSize", "500", "640x512", 1, "500", "640 x 512", 640, 512, "1x -- 2000.00 usec"},
        SelectionCase{"SpacedSize", "1000", " 640 X 512 ", 20, "1000", "640 x 512", 640, 512, "20x -- 50.00 usec"},
        SelectionCase{"UnknownRate", "60", {}, 1, "", "", 0, 0, ""},
        SelectionCase{"RateWithBlank", "500 ", {}, 1, "", "", 0, 0, ""},
        SelectionCase{"SizeOfAnotherRate", "250", "640x512", 1, "", "", 0, 0, ""},
        SelectionCase{"SizeNotWxH", "500", "640", 1, "", "", 0, 0, ""},
        SelectionCase{"EmptySize", "500", "", 1, "", "", 0, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedFileCase {
  const char* name;
  const char* content;
  const char* message;  // "" stands for the path
};

void PrintTo(const RefusedFileCase& c, std::ostream* os) { *os << c.name; }

class RefusedCameraFile : public ::testing::TestWithParam<RefusedFileCase> {};

TEST_P(RefusedCameraFile, RefusesWithTheWindowsMessage) {
  TempFiles files;
  const std::string path = files.Write("cam.cam", GetParam().content);
  const Outcome<CameraDefinition> read = ReadCamera(path);
  EXPECT_FALSE(read.value);
  const std::string message = GetParam().message;
  EXPECT_EQ(read.refusal, message.back() == ' ' ? message + path : message);

  CalcOptions options;
  options.cameraFile = path;
  EXPECT_EQ(RunCalc(options).refusal, read.refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedCameraFile,
    ::testing::Values(RefusedFileCase{"Empty", "# nothing\n\n", "Empty file, "},
                      RefusedFileCase{"NameOnly", "Cam\n", "Error reading from file, "},
                      RefusedFileCase{"PixelLine", "Cam\n7.4;7.4\n60,1,1\n", "Badly formatted file, 7.4;7.4"},
                      RefusedFileCase{"ModeLine", "Cam\n7.4,7.4\n60,640\n",
                                      "Badly formatted camera file.\nUsing generic camera data."},
                      RefusedFileCase{"NoModes", "Cam\n7.4,7.4\n", "No camera modes in file, "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Calc, ObjectDistanceModeAlwaysTakesTheFocalLength) {
  CalcOptions options;
  options.computeMode = ComputeMode::ObjectDistance;
  options.lensInput = LensInput::Magnification;
  options.focalLength = "13.729104430178605";
  options.fieldWidth = "0.5";
  const Outcome<CalcReport> run = RunCalc(options);
  ASSERT_TRUE(run.value);
  EXPECT_EQ(run.value->state.lensInput, LensInput::FocalLength);
  EXPECT_TRUE(run.value->state.resultsValid);
  EXPECT_EQ(run.value->boxes.result, "2");
  EXPECT_EQ(run.value->resultName, "Object Distance");
  EXPECT_EQ(run.value->resultUnit, "meters");
}

TEST(Calc, ReadsBoxTextsLikeTheWindowAndShowsTheWarning) {
  CalcOptions options;
  options.computeMode = ComputeMode::FieldWidth;
  options.unit = LengthUnit::Mm;
  options.focalLength = "50mm";
  options.objectDistance = "20 is too close";
  options.velocity = "abc";
  const Outcome<CalcReport> run = RunCalc(options);
  ASSERT_TRUE(run.value);
  EXPECT_EQ(run.value->state.focalLengthMm, 50);
  EXPECT_DOUBLE_EQ(run.value->state.objectDistance, 0.02);
  EXPECT_EQ(run.value->state.velocity, 0);
  EXPECT_EQ(run.value->units.length, "mm");
  EXPECT_EQ(run.value->status, "Object distance should be greater than the focal length.");
}

TEST(Calc, AttachmentChoicesReachTheAttachmentTexts) {
  CalcOptions options;
  options.fNumber = "2.8";
  options.attachments = {true, 2, true, 5, true, 1};  // +2D, 5 mm, 2x
  options.unit = LengthUnit::Mm;
  options.objectDistance = "2000";
  options.fieldWidth = "500";
  const Outcome<CalcReport> run = RunCalc(options);
  ASSERT_TRUE(run.value);
  const AttachmentTexts& a = run.value->attachments;
  EXPECT_EQ(a.focalLength, "26.03");
  EXPECT_EQ(a.magnification, "0.2617");
  EXPECT_EQ(a.workingFNumber, "3.533");
  EXPECT_EQ(a.fieldWidth, "13.21");
  EXPECT_EQ(a.focusShift, "1875");
  EXPECT_EQ(a.unit, "mm");
}

TEST(CalcJson, NonFiniteStateValuesBecomeStrings) {
  TempFiles files;
  CalcOptions options;
  // A rate field without digits reads 0 fps: every exposure is 1 / 0 seconds.
  options.cameraFile = files.Write("zero.cam", "Zero\n7.2,7.2\nfast,480,420\n");
  options.velocity = "-1";
  const Outcome<CalcReport> run = RunCalc(options);
  ASSERT_TRUE(run.value);
  nlohmann::ordered_json json = CalcJson(*run.value);
  EXPECT_EQ(json["state"]["motionBlur"], "-inf");
  EXPECT_EQ(json["frameRate"], "0");
  options.velocity = "";
  json = CalcJson(*RunCalc(options).value);
  EXPECT_EQ(json["state"]["motionBlur"], "nan");
  EXPECT_EQ(JsonNumber(1.0 / 0.0), "inf");
  EXPECT_EQ(JsonNumber(0.1).dump(), "0.1");
}

TEST(CameraJson, An8BitNameDumpsWithoutThrowing) {
  TempFiles files;
  const Outcome<CameraDefinition> read = ReadCamera(files.Write("latin1.cam", "Kamera f\xFCr Gr\xFC\xDF" "e\n7,7\n60,1,2\n"));
  ASSERT_TRUE(read.value);
  std::string text;
  ASSERT_NO_THROW(text = DumpJson(CameraJson(*read.value)));
  EXPECT_EQ(nlohmann::json::parse(text)["name"], "Kamera f\xEF\xBF\xBDr Gr\xEF\xBF\xBD\xEF\xBF\xBD" "e");
}

TEST(TextTable, AlignsValuesAndUnitsWithoutTrailingBlanks) {
  TextTable table;
  table.Heading("Calculations");
  table.Row("Focal Length", "13.73", "mm");
  table.Row("Format-Centered", "1/3\" C", "mount");
  table.Row("Working f/#", "2.819");
  EXPECT_EQ(table.Render(),
            "Calculations\n"
            "Focal Length     13.73   mm\n"
            "Format-Centered  1/3\" C  mount\n"
            "Working f/#      2.819\n");
}

// A kit lens's row is the calculator itself run in compute mode Field Width with that lens.
TEST(Plan, KitRowsShowWhatCalcShowsForThatLens) {
  PlanOptions plan;
  plan.calc.objectDistance = "2";
  plan.calc.fieldWidth = "0.5";
  plan.calc.velocity = "1";
  plan.calc.fNumber = "2.8";
  plan.calc.shutterMultiple = 3;
  plan.planner.lenses = "25, 8";
  const Outcome<planner::Plan> planned = RunPlan(plan);
  ASSERT_TRUE(planned.value);
  for (const planner::KitRow& row : planned.value->kit.rows) {
    CalcOptions calc = plan.calc;
    calc.computeMode = ComputeMode::FieldWidth;
    calc.focalLength = row.lens.text;
    const Outcome<CalcReport> report = RunCalc(calc);
    ASSERT_TRUE(report.value);
    const ResultTexts& boxes = report.value->boxes;
    EXPECT_EQ(row.fieldWidth.text, boxes.fieldWidth);
    EXPECT_EQ(row.fieldAngle.text, boxes.fieldAngle);
    EXPECT_EQ(row.depthOfField.text, boxes.depthOfField);
    EXPECT_EQ(row.nearFocus.text, boxes.nearFocus);
    EXPECT_EQ(row.farFocus.text, boxes.farFocus);
    // Every blur of the planner shows "%.4g"; the calculator's box rounds to tenths.
    EXPECT_EQ(row.pixelBlur.text, FormatG4(std::fabs(report.value->state.pixelBlur)));
  }
}

}  // namespace
}  // namespace korvan::cli
