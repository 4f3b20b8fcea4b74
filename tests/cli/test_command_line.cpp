#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <string>
#include <vector>

#include "common/RunCommand.h"
#include "common/TestFiles.h"
#include "version/Version.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"

namespace korvan::cli {
namespace {

namespace fs = std::filesystem;

using testing::Ran;
using testing::RunArgs;

// "/path" is a file on every platform, never a Windows-style "/option".
TEST(CommandLine, AnArgumentBeginningWithASlashIsNotAnOption) {
  const Ran camera = RunArgs({"camera", "/no/such/dir/x.cam"});
  EXPECT_EQ(camera.status, kExitRefused);
  EXPECT_EQ(camera.err, "Error accessing camera file /no/such/dir/x.cam: No such file or directory\n");
  const Ran calc = RunArgs({"calc", "--camera", "/no/such/dir/x.cam"});
  EXPECT_EQ(calc.status, kExitRefused) << calc.err;
  EXPECT_EQ(RunArgs({"calc", "/json"}).status, kExitUsage);
}

struct StatusCase {
  const char* name;
  std::vector<std::string> args;
  int status;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class ExitStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ExitStatus, ErrorsAreOneLineOnStandardError) {
  const Ran ran = RunArgs(GetParam().args);
  EXPECT_EQ(ran.status, GetParam().status) << ran.err;
  if (ran.status == kExitOk) {
    EXPECT_EQ(ran.err, "");
    EXPECT_NE(ran.out, "");
  } else {
    EXPECT_EQ(ran.out, "");
    ASSERT_GT(ran.err.size(), 1u);
    EXPECT_EQ(ran.err.find('\n'), ran.err.size() - 1) << ran.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExitStatus,
    ::testing::Values(StatusCase{"CalcDefaults", {"calc"}, kExitOk},
                      StatusCase{"Help", {"calc", "--help"}, kExitOk},
                      StatusCase{"Version", {"--version"}, kExitOk},
                      StatusCase{"IgnoredLaunch", {"launch", "short"}, kExitOk},
                      StatusCase{"Models", {"launch", "--models"}, kExitOk},
                      StatusCase{"UnknownFrameRate", {"calc", "--frame-rate", "61"}, kExitRefused},
                      StatusCase{"MissingCamera", {"calc", "--camera", "no-such-dir/none.cam"}, kExitRefused},
                      StatusCase{"UnknownModel", {"launch", "X,Korvan Falke 125,1,2,3,4"}, kExitRefused},
                      StatusCase{"BadUnit", {"calc", "--unit", "furlongs"}, kExitUsage},
                      StatusCase{"ShutterTooHigh", {"calc", "--shutter", "25"}, kExitUsage},
                      StatusCase{"BadTubes", {"calc", "--tubes", "11"}, kExitUsage},
                      StatusCase{"CameraWithoutFile", {"camera"}, kExitUsage},
                      StatusCase{"LaunchWithoutMessage", {"launch"}, kExitUsage},
                      StatusCase{"MessageAndModels", {"launch", "X,a b,1,2,3,4", "--models"}, kExitUsage},
                      StatusCase{"NewCameraWithoutMode",
                                 {"camera", "new", "--name", "X", "--pixel", "7,7", "-o", "x.cam"}, kExitUsage},
                      StatusCase{"NewCameraWithoutFile",
                                 {"camera", "new", "--name", "X", "--pixel", "7,7", "--mode", "1,2,3"}, kExitUsage},
                      StatusCase{"NewCameraRefused",
                                 {"camera", "new", "--name", "# X", "--pixel", "7,7", "--mode", "1,2,3", "-o",
                                  "no-such-dir/x.cam"},
                                 kExitRefused}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, VersionIsTheBuildsVersion) {
  EXPECT_EQ(RunArgs({"--version"}).out, "korvan-lens " KORVAN_VERSION "\n");
  // Only the command itself has it: after a subcommand it is an unknown option.
  EXPECT_EQ(RunArgs({"calc", "--version"}).status, kExitUsage);
}

TEST(CommandLine, JsonErrorKeepsTheMessageAndStandardErrorOneLine) {
  korvan::testing::TempFiles files;
  const std::string path = files.Write("bad.cam", "Cam\n7.4,7.4\n60,640\n");
  const Ran ran = RunArgs({"camera", path, "--json"});
  EXPECT_EQ(ran.status, kExitRefused);
  EXPECT_EQ(ran.err, "Badly formatted camera file. Using generic camera data.\n");
  EXPECT_EQ(nlohmann::json::parse(ran.out), nlohmann::json::parse(R"({"error":
      "Badly formatted camera file.\nUsing generic camera data."})"));

  const Ran usage = RunArgs({"calc", "--json", "--unit", "furlongs"});
  EXPECT_EQ(usage.status, kExitUsage);
  EXPECT_EQ(nlohmann::json::parse(usage.out)["error"], usage.err.substr(0, usage.err.size() - 1));
}

TEST(CommandLine, CameraNewWritesAFileThatCameraReadsBack) {
  korvan::testing::TempFiles files;
  const std::string path = files.Path("new");
  const Ran written = RunArgs({"camera", "new", "--name", "Bench Camera 1", "--pixel", " 12, 5.86 ", "--mode",
                               "250,1280,1024", "--mode", "500,640,512", "--mode", "500,1280,1024", "-o", path,
                               "--json"});
  ASSERT_EQ(written.status, kExitOk) << written.err;
  const Ran read = RunArgs({"camera", path, "--json"});
  ASSERT_EQ(read.status, kExitOk) << read.err;
  EXPECT_EQ(written.out, read.out);
  const nlohmann::json camera = nlohmann::json::parse(read.out);
  EXPECT_EQ(camera["pixelPitchY"], 5.86 * 1e-6);
  EXPECT_EQ(camera["resolutions"]["500"], nlohmann::json::parse(R"(["640 x 512", "1280 x 1024"])"));
  const fs::path previous = fs::current_path();
  fs::current_path(files.Dir());
  const Ran byName = RunArgs({"camera", "./new", "--json"});
  fs::current_path(previous);
  EXPECT_EQ(byName.out, read.out) << "a file named like the subcommand";
}

TEST(CommandLine, CameraNewRefusesAsTheEditorDoesAndKeepsTheOldFile) {
  korvan::testing::TempFiles files;
  const std::string old = files.Write("old.cam", korvan::testing::kBenchCamera);
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--name", "", "--pixel", "7.4,7.4", "--mode", "1,2,3"}, "Name: Enter the camera's name."},
      {{"--name", std::string(10000, 'n'), "--pixel", "7.4,7.4", "--mode", "1,2,3"},
       "Name: The name must not be longer than 255 characters."},
      {{"--name", "K\xfc", "--pixel", "7.4,7.4", "--mode", "1,2,3"}, "Name: The name is not valid UTF-8 text."},
      {{"--name", "X", "--pixel", "7.4", "--mode", "1,2,3"}, "Pixel height: Enter the pixel size in micrometres."},
      {{"--name", "X", "--pixel", "-1,7.4", "--mode", "1,2,3"}, "Pixel width: The pixel size must be greater than 0."},
      {{"--name", "X", "--pixel", "7.4,7.4", "--mode", "1,2,3", "--mode", "500,640"},
       "Height of mode 2: Enter a whole number."},
      {{"--name", "X", "--pixel", "7.4,7.4", "--mode", "500,640,512,4"}, "Height of mode 1: Must be a whole number."},
      {{"--name", "X", "--pixel", "7.4,7.4", "--mode", "4294967296,640,512"},
       "Frame rate of mode 1: Must be between 1 and 2147483647."},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"camera", "new"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"-o", old});
    const Ran ran = RunArgs(args);
    EXPECT_EQ(ran.status, kExitRefused) << c.message;
    EXPECT_EQ(ran.err, c.message + "\n");
  }
  fs::create_directory(files.Path("folder.cam"));
  const Ran ran = RunArgs({"camera", "new", "--name", "X", "--pixel", "7,7", "--mode", "1,2,3", "-o",
                           files.Path("folder.cam")});
  EXPECT_EQ(ran.status, kExitRefused);
  EXPECT_EQ(ran.err, "Could not write camera file " + files.Path("folder.cam") + ": " +
                         std::generic_category().message(EISDIR) + "\n");
  std::ifstream in(old, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), korvan::testing::kBenchCamera);
}

TEST(CommandLine, OptionNamesSelectTheWindowsListPositions) {
  const Ran ran = RunArgs({"calc", "--json", "--compute", "field-width", "--lens-input", "magnification",
                           "--unit", "feet", "--direction", "vertical", "--frame-rate", "8000"});
  ASSERT_EQ(ran.status, kExitOk) << ran.err;
  const nlohmann::json state = nlohmann::json::parse(ran.out)["state"];
  EXPECT_EQ(state["computeMode"], 3);
  EXPECT_EQ(state["lensInput"], 1);
  EXPECT_EQ(state["unit"], 3);
  EXPECT_EQ(state["direction"], 1);
  EXPECT_EQ(state["frameRate"], 8000);
  EXPECT_EQ(state["sensorWidthPx"], 60);
  EXPECT_EQ(state["sensorHeightPx"], 68);
}

TEST(CommandLine, AttachmentOptionsMatchTheListEntries) {
  const Ran ran = RunArgs({"calc", "--json", "--distance", "2", "--field-width", "0.5", "--tele-extender", "3x",
                           "--close-up", "+2D", "--tubes", "10"});
  ASSERT_EQ(ran.status, kExitOk) << ran.err;
  CalcOptions options;
  options.objectDistance = "2";
  options.fieldWidth = "0.5";
  options.attachments = {true, 2, true, 10, true, 2};
  const nlohmann::ordered_json expected = CalcJson(*RunCalc(options).value)["attachments"];
  EXPECT_EQ(nlohmann::ordered_json::parse(ran.out)["attachments"], expected);
  EXPECT_NE(expected["focalLength"], "13.73");
}

}  // namespace
}  // namespace korvan::cli

namespace korvan::cli {
namespace {

TEST(CommandLine, ABareCommandPrintsItsUsageAndSubcommands) {
  const Ran ran = RunArgs({});
  EXPECT_EQ(ran.status, kExitUsage);
  EXPECT_EQ(ran.out, "");
  EXPECT_EQ(ran.err.substr(0, ran.err.find('\n')), "A subcommand is required");
  for (const char* name : {"Usage:", "calc ", "camera ", "launch ", "plan ", "sheet "}) {
    EXPECT_NE(ran.err.find(name), std::string::npos) << name;
  }
}

struct NoteCase {
  const char* name;
  std::vector<std::string> args;
  std::string notes;  // standard error without --strict
};

void PrintTo(const NoteCase& c, std::ostream* os) { *os << c.name; }

class ReadingNotes : public ::testing::TestWithParam<NoteCase> {};

// The texts are still read by their leading number; a note says what was read, and --strict refuses
// exactly the texts that earned one.
TEST_P(ReadingNotes, NameEveryTextThatIsNotWhollyANumber) {
  const Ran ran = RunArgs(GetParam().args);
  EXPECT_EQ(ran.status, kExitOk);
  EXPECT_EQ(ran.err, GetParam().notes);
  std::vector<std::string> strict = GetParam().args;
  strict.push_back("--strict");
  const Ran refused = RunArgs(strict);
  const bool numberNote = GetParam().notes.find("reads as 0") != std::string::npos ||
                          GetParam().notes.find("reads as 2\n") != std::string::npos;
  EXPECT_EQ(refused.status, numberNote ? kExitUsage : kExitOk) << refused.err;
  if (numberNote) {
    EXPECT_EQ(refused.out, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ReadingNotes,
    ::testing::Values(
        NoteCase{"Numbers", {"calc", "--distance", " 2.5e0 ", "--field-width", "-.5", "--f-number", "+4"}, ""},
        NoteCase{"EmptyIsAnEmptyBox", {"calc", "--distance", ""}, ""},
        NoteCase{"Letters",
                 {"calc", "--distance", "abc", "--field-width", "2m"},
                 "note: --distance 'abc' reads as 0\nnote: --field-width '2m' reads as 2\n"},
        NoteCase{"PlannerText", {"plan", "--distance", "2", "--depth", "x"}, "note: --depth 'x' reads as 0\n"},
        NoteCase{"DecimalComma",
                 {"plan", "--distance", "2", "--lenses", "12,5"},
                 "note: --lenses '12,5' reads as 2 lenses: 12 mm, 5 mm (a comma separates lenses; write decimals "
                 "with a point)\n"},
        NoteCase{"KitWithBlanks", {"plan", "--distance", "2", "--lenses", "8, 12.5, 16"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, CameraModesAreCountedFromOne) {
  korvan::testing::TempFiles files;
  const Ran ran = RunArgs({"camera", files.Write("two.cam", "Cam\n7,7\n60,640,480\n120,320,240\n")});
  EXPECT_NE(ran.out.find("Mode 1, 60 fps"), std::string::npos) << ran.out;
  EXPECT_NE(ran.out.find("Mode 2, 120 fps"), std::string::npos) << ran.out;
  EXPECT_EQ(ran.out.find("Mode 0"), std::string::npos) << ran.out;
}

TEST(CommandLine, PlanChecksTheLensesOfAKitFile) {
  korvan::testing::TempFiles files;
  const std::string kit = files.Write("kit.csv",
                                      "name,focalLength,fNumberMin,fNumberMax,closestFocus,imageCircle,mount\n"
                                      "Bars 25,25,1.4,16,0.3,8,C\n"
                                      "Bars 12,12,1.8,16,0.1,4,C\n");
  const std::vector<std::string> args = {"plan",       "--compute",  "field-width", "--focal-length", "25",
                                         "--distance", "0.2",        "--f-number",  "2.8",            "--lens-file",
                                         kit,          "--json"};
  const Ran ran = RunArgs(args);
  ASSERT_EQ(ran.status, kExitOk) << ran.err;
  const nlohmann::json rows = nlohmann::json::parse(ran.out)["lensKit"]["rows"];
  ASSERT_EQ(rows.size(), 2u);
  const auto checks = [](const nlohmann::json& row) {
    return nlohmann::json{{"name", row["name"]},
                          {"focuses", row["focuses"]},
                          {"closeUpToFocus", row["closeUpToFocus"]},
                          {"tubesToFocus", row["tubesToFocus"]},
                          {"coversSensor", row["coversSensor"]},
                          {"apertureInRange", row["apertureInRange"]}};
  };
  EXPECT_EQ(checks(rows[0]), nlohmann::json::parse(R"({"name": "Bars 25", "focuses": false, "closeUpToFocus": "+2D",
      "tubesToFocus": "2 mm", "coversSensor": true, "apertureInRange": true})"));
  EXPECT_EQ(checks(rows[1]), nlohmann::json::parse(R"({"name": "Bars 12", "focuses": true, "closeUpToFocus": null,
      "tubesToFocus": null, "coversSensor": false, "apertureInRange": true})"));
  EXPECT_EQ(rows[0]["inForce"], true);

  // The table says the same in words; a bad row is skipped with a note and the others kept.
  const std::string bad = files.Write("bad.csv",
                                      "name,focalLength,closestFocus\r\n"
                                      "Bars 25,25,0.3\r\n"
                                      "Broken,abc,0.3\r\n");
  std::vector<std::string> table = args;
  table[10] = bad;
  table.pop_back();
  const Ran text = RunArgs(table);
  ASSERT_EQ(text.status, kExitOk) << text.err;
  EXPECT_NE(text.out.find("cannot focus at 0.2 m: +2D or 2 mm tubes"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("Skipped line 3: focalLength \"abc\" is not a number"), std::string::npos) << text.out;

  // A file that cannot be read is one line with the reason.
  table[10] = files.Path("missing.csv");
  const Ran missing = RunArgs(table);
  EXPECT_EQ(missing.status, kExitRefused);
  EXPECT_EQ(missing.err, "Cannot read " + files.Path("missing.csv") + ": No such file or directory\n");
  EXPECT_EQ(RunArgs({"plan", "--lenses", "8", "--lens-file", kit}).status, kExitUsage);
}

}  // namespace
}  // namespace korvan::cli
