#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "common/TestFiles.h"
#include "optics/Engine.h"
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
