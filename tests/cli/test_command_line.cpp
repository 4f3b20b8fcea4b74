#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/TestFiles.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"

namespace korvan::cli {
namespace {

struct Ran {
  int status;
  std::string out;
  std::string err;
};

Ran RunArgs(std::vector<std::string> args) {
  args.insert(args.begin(), "korvan-lens");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out;
  std::ostringstream err;
  const int status = Run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

// "/path" is a file on every platform, never a Windows-style "/option".
TEST(CommandLine, AnArgumentBeginningWithASlashIsNotAnOption) {
  const Ran camera = RunArgs({"camera", "/no/such/dir/x.cam"});
  EXPECT_EQ(camera.status, kExitRefused);
  EXPECT_EQ(camera.err, "Error accessing camera file /no/such/dir/x.cam\n");
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
                      StatusCase{"IgnoredLaunch", {"launch", "short"}, kExitOk},
                      StatusCase{"Models", {"launch", "--models"}, kExitOk},
                      StatusCase{"UnknownFrameRate", {"calc", "--frame-rate", "61"}, kExitRefused},
                      StatusCase{"MissingCamera", {"calc", "--camera", "no-such-dir/none.cam"}, kExitRefused},
                      StatusCase{"UnknownModel", {"launch", "X,Korvan Falke 125,1,2,3,4"}, kExitRefused},
                      StatusCase{"NoSubcommand", {}, kExitUsage},
                      StatusCase{"BadUnit", {"calc", "--unit", "furlongs"}, kExitUsage},
                      StatusCase{"ShutterTooHigh", {"calc", "--shutter", "25"}, kExitUsage},
                      StatusCase{"BadTubes", {"calc", "--tubes", "11"}, kExitUsage},
                      StatusCase{"CameraWithoutFile", {"camera"}, kExitUsage},
                      StatusCase{"LaunchWithoutMessage", {"launch"}, kExitUsage},
                      StatusCase{"MessageAndModels", {"launch", "X,a b,1,2,3,4", "--models"}, kExitUsage}),
    [](const auto& info) { return std::string(info.param.name); });

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
