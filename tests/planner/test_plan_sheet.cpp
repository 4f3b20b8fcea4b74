#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "common/TestFiles.h"
#include "optics/Attachments.h"
#include "optics/Engine.h"
#include "optics/NumberText.h"
#include "optics/Units.h"
#include "optics/WorkedExample.h"
#include "planner/AtomicFile.h"
#include "planner/JsonText.h"
#include "planner/PlanSheet.h"

namespace korvan::planner {
namespace {

namespace fs = std::filesystem;
using korvan::testing::TempFiles;

Plan ExamplePlan() {
  CalcState state = testing::WorkedExample();
  const CameraDefinition camera = BuildGenericCamera();
  ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);
  PlannerTexts texts;
  texts.depth = "0.2";
  texts.lenses = "12.5, 25";
  return ComputePlan(state, camera, ReadPlannerInputs(texts, state.unit));
}

std::string ReadAll(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  return names;
}

TEST(PlanJson, WritesDoublesAsTheCommandsJsonLibraryDoes) {
  for (const double value : {2.0, 0.5, 7.2e-06, 1e-05, 0.0001, 1e15, 1e16, 123456789012345680000.0, -0.25,
                             5.333333333333334, 5e-324, std::numeric_limits<double>::max(), 144.67592592592592}) {
    EXPECT_EQ(ExactDoubleText(value), nlohmann::json(value).dump()) << value;
    EXPECT_EQ(nlohmann::json::parse(ExactDoubleText(value)).get<double>(), value);
  }
}

TEST(PlanJson, ReadsBackWithTheWorkedExamplesValues) {
  const Plan plan = ExamplePlan();
  const nlohmann::json json = nlohmann::json::parse(PlanJson(plan));
  EXPECT_EQ(json["budget"]["total"]["value"].get<double>(), 5.364882794308892);
  EXPECT_EQ(json["budget"]["total"]["text"], "5.365");
  EXPECT_EQ(json["apertureWindow"]["low"]["value"], nullptr);
  EXPECT_EQ(json["shutterLimit"]["multiple"]["text"], "16");
  EXPECT_EQ(json["modes"]["rows"].size(), 8u);
  EXPECT_EQ(json["lensKit"]["marked"], 0);
  EXPECT_EQ(json["state"]["pixelBlur"].get<double>(), 5.333333333333334);
}

TEST(SetupSheet, CsvQuotesWhatWouldSplitAField) {
  const Plan plan = ExamplePlan();
  const std::string csv = SheetCsv(MakeSheetRows(plan, {"2026-12-07 11:40:05", "take 3, \"wide\"\nsecond line"}));
  EXPECT_EQ(csv.substr(0, csv.find('\n')), "key,value,unit,text");
  EXPECT_NE(csv.find("\nbudget.total,5.364882794308892,pixels,5.365\n"), std::string::npos);
  EXPECT_NE(csv.find("\nresults.format,\"1/3\"\" C\",mount,\"1/3\"\" C\"\n"), std::string::npos);
  EXPECT_NE(csv.find("\nnote,\"take 3, \"\"wide\"\"\nsecond line\",,"), std::string::npos);
  EXPECT_NE(csv.find("\napertureWindow,\"none (Motion alone blurs 5.333 px, over the limit)\",,"), std::string::npos);
}

TEST(SetupSheet, JsonIsThePlanWithTheNoteAndAVersion) {
  const Plan plan = ExamplePlan();
  const SheetInfo info{"2026-12-07 11:40:05", "caf\xC3\xA9 \xFF\t\"q\"\\\x01\n"};
  nlohmann::json sheet = nlohmann::json::parse(SheetJson(plan, info));
  EXPECT_EQ(sheet["sheetVersion"], 1);
  EXPECT_EQ(sheet["note"], "caf\xC3\xA9 \xEF\xBF\xBD\t\"q\"\\\x01\n");  // a byte that is not UTF-8 is replaced
  EXPECT_EQ(sheet["dateTime"], "2026-12-07 11:40:05");
  sheet.erase("sheetVersion");
  sheet.erase("note");
  sheet.erase("dateTime");
  EXPECT_EQ(sheet, nlohmann::json::parse(PlanJson(plan)));
}

// In every unit, a CSV row's value is in its unit column's unit and reads as its text, and the
// JSON keeps the same value in SI units.
class SheetUnits : public ::testing::TestWithParam<LengthUnit> {};

TEST_P(SheetUnits, ValueTextAndUnitAgreeInCsvAndJson) {
  const LengthUnit unit = GetParam();
  CalcState state = testing::WorkedExample();
  state.unit = unit;
  const CameraDefinition camera = BuildGenericCamera();
  ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);
  PlannerTexts texts;
  texts.depth = ExactDoubleText(0.2 * FromMetersFactor(unit));
  const Plan plan = ComputePlan(state, camera, ReadPlannerInputs(texts, unit));
  const nlohmann::json json = nlohmann::json::parse(PlanJson(plan));
  const std::string length(LengthUnitName(unit));

  int lengthRows = 0;
  for (const SheetRow& row : MakeSheetRows(plan, {})) {
    const bool planned = row.section == "Planner" || row.section == "Sharpness Budget" ||
                         row.section == "Best f-Number" || row.section == "Shutter Limit";
    if (!planned || !BeginsWithNumber(row.text) || row.text.find(" (") != std::string::npos) continue;
    const double value = ParseDouble(row.value);
    EXPECT_NEAR(ParseDouble(row.text), value, 5e-3 * std::fabs(value)) << row.key << " " << row.value << " " << row.text;
    if (row.unit != length || row.key == "planner.depth") continue;
    ++lengthRows;
    const std::string group = row.key.substr(0, row.key.find('.'));
    const std::string name = row.key.substr(row.key.find('.') + 1);
    const nlohmann::json& value_json = json[group == "best" ? "bestFNumber" : group][name]["value"];
    EXPECT_DOUBLE_EQ(value_json.get<double>() * FromMetersFactor(unit), value) << row.key;
  }
  EXPECT_EQ(lengthRows, 3);  // sharp near, sharp far, advised focus
}

INSTANTIATE_TEST_SUITE_P(AllUnits, SheetUnits,
                         ::testing::Values(LengthUnit::Mm, LengthUnit::Meters, LengthUnit::Inches, LengthUnit::Feet));

// The plan is for the optics as mounted: the attachments window's adjusted record, with the lens
// f-number worked back from it, and it says which attachments it includes.
TEST(Attachments, ThePlanIsForTheOpticsAsMounted) {
  CalcState state = testing::WorkedExample();
  const CameraDefinition camera = BuildGenericCamera();
  ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);
  AttachmentChoices choices;
  choices.teleExtenderOn = true;
  choices.teleExtenderIndex = 1;
  choices.tubesOn = true;
  choices.tubesIndex = 5;
  PlannerTexts texts;
  texts.depth = "0.2";
  const Plan plan = ComputePlan(state, camera, ReadPlannerInputs(texts, state.unit), choices);
  const AdjustedOptics a = ComputeAttachments(state, camera.pixelPitchX, camera.pixelPitchY, choices).adjusted;
  const double p = camera.pixelPitchX;

  EXPECT_EQ(plan.attachmentsIncluded, "with 2x, 5 mm");
  EXPECT_DOUBLE_EQ(plan.budget.diffraction.value, 2.44 * 550e-9 * a.workingFNumber / p);
  EXPECT_DOUBLE_EQ(plan.budget.motion.value, 1.0 / (60 * 3) / a.fieldRatio / p);
  const double f = 0.001 * a.focalLengthMm;
  const double N = a.workingFNumber / (1 + 1 / a.fieldRatio);
  const double x = a.objectDistance - 0.1;
  EXPECT_DOUBLE_EQ(plan.budget.defocusNear.value, (f / N) / a.fieldRatio * 0.1 / x / p);
  EXPECT_NE(plan.budget.motion.value, ComputePlan(state, camera, ReadPlannerInputs(texts, state.unit)).budget.motion.value);
  // The mode in force passes through the same corrections.
  EXPECT_DOUBLE_EQ(plan.modes.Row(0).pixelBlur.value, plan.budget.motion.value);
  const auto rows = MakeSheetRows(plan, {});
  EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const SheetRow& row) {
    return row.key == "attachments.inPlan" && row.text == "with 2x, 5 mm";
  }));
}

TEST(AtomicWrite, ReplacesTheFileWhole) {
  TempFiles files;
  const std::string path = files.Write("sheet.csv", "old");
  EXPECT_EQ(WriteFileAtomically(path, "new content"), "");
  EXPECT_EQ(ReadAll(path), "new content");
  EXPECT_EQ(FilesIn(files.Dir()), std::vector<std::string>{"sheet.csv"});
}

TEST(AtomicWrite, AMissingFolderOrADirectoryLeavesNoFile) {
  TempFiles files;
  const std::string missing = files.Path("no-such-folder/sheet.csv");
  EXPECT_EQ(WriteFileAtomically(missing, "x"), "Cannot write " + missing + ": No such file or directory");
  fs::create_directory(files.Path("taken.json"));
  const std::string directory = files.Path("taken.json");
  EXPECT_EQ(WriteFileAtomically(directory, "x"), "Cannot write " + directory + ": Is a directory");
  EXPECT_EQ(FilesIn(files.Dir()), std::vector<std::string>{"taken.json"});
  EXPECT_TRUE(fs::is_empty(directory));
}

#ifndef _WIN32
// A full disk, as the writer sees it: the write fails part-way. The file-size limit does that
// without a disk to fill (Windows has no such limit).
TEST(AtomicWrite, AWriteThatFailsPartWayLeavesTheOldFile) {
  TempFiles files;
  const std::string path = files.Write("sheet.json", "previous sheet");
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string failure = WriteFileAtomically(path, std::string(1 << 20, 'x'));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(failure, "Cannot write " + path + ": File too large");
  EXPECT_EQ(ReadAll(path), "previous sheet");
  EXPECT_EQ(FilesIn(files.Dir()), std::vector<std::string>{"sheet.json"});
}
#endif

}  // namespace
}  // namespace korvan::planner
