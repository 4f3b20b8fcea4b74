#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/HelpText.h"
#include "common/RunCommand.h"
#include "common/TestFiles.h"
#include "cli/CommandLine.h"

namespace korvan::cli {
namespace {

using testing::Ran;
using testing::RunArgs;

// A value for each option of plan that differs from its default and still gives a plan.
std::map<std::string, std::string> OptionValues(const std::string& camera, const std::string& kit) {
  return {{"camera", camera},        {"lens-file", kit},        {"frame-rate", "500"},        {"resolution", "640x512"},
          {"shutter", "3"},          {"compute", "object-distance"}, {"lens-input", "magnification"},
          {"focal-length", "12.5"},  {"magnification", "0.01"},    {"f-number", "-2.8e0x"},
          {"distance", "2m"},        {"field-width", "0.5"},       {"velocity", "3"},
          {"unit", "feet"},          {"direction", "vertical"},    {"tele-extender", "2x"},
          {"close-up", "+3D"},       {"tubes", "5"},               {"depth", "0.25"},
          {"wavelength", "650"},     {"blur-limit", "2.5"},        {"event-ms", "12"},
          {"memory-gb", "16"},       {"bit-depth", "12"},          {"lenses", "8, 12.5 ,abc, 16"},
          {"iso", "1600"},           {"meter-constant", "330"},    {"transmission", "85"},
          {"lux", "1200"},            {"lamp-lux", "5000"},         {"lamp-distance", "1.5"},
          {"lamps", "2"},            {"mains", "50"}};
}

// Each option alone, and all of them at once: the saved setup plans exactly as the command line does.
TEST(Setups, SavedSetupPlansAsItsCommandLine) {
  testing::TempFiles files;
  const std::string camera = files.Write("fast.cam", testing::kBenchCamera);
  const std::string kit = files.Write("kit.csv", "name,focalLength,fNumberMin,closestFocus\nBars 25,25,1.4,0.3\n");
  const std::map<std::string, std::string> values = OptionValues(camera, kit);

  // Every option plan lists needs a value here, so that a new option cannot slip past this test.
  const Ran help = RunArgs({"plan", "--help"});
  for (const testing::HelpOption& option : testing::ParseHelpText(help.out).options) {
    const std::string name = option.names.back().substr(2);
    if (name == "help" || name == "json" || name == "setup" || name == "strict") continue;
    EXPECT_TRUE(values.count(name)) << "no value for --" << name;
  }

  std::vector<std::vector<std::string>> cases;
  std::vector<std::string> all{"--camera", camera};
  for (const auto& [name, value] : values) {
    if (name == "camera") continue;
    cases.push_back({"--camera", camera, "--" + name, value});  // the frame rates need the camera
    if (name == "resolution") cases.back().insert(cases.back().end(), {"--frame-rate", values.at("frame-rate")});
    if (name == "lenses") continue;  // a kit comes from --lenses or --lens-file, not both
    all.insert(all.end(), {"--" + name, value});
  }
  cases.push_back(all);
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(args.size() > 6 ? "all options" : args[2]);
    std::vector<std::string> save{"setup", "save"};
    save.insert(save.end(), args.begin(), args.end());
    save.insert(save.end(), {"-o", files.Path("s.klsetup")});
    const Ran saved = RunArgs(save);
    ASSERT_EQ(saved.status, kExitOk) << saved.err;

    std::vector<std::string> plan{"plan"};
    plan.insert(plan.end(), args.begin(), args.end());
    plan.push_back("--json");
    const Ran direct = RunArgs(plan);
    const Ran fromSetup = RunArgs({"plan", "--setup", files.Path("s.klsetup"), "--json"});
    ASSERT_EQ(direct.status, kExitOk) << direct.err;
    EXPECT_EQ(fromSetup.err, direct.err);  // the same notes on what each text read as
    EXPECT_EQ(fromSetup.out, direct.out);
  }
}

// The option parser is built once and parsed again: a command line after another one, given
// nothing the first one gave, prints what it prints with a parser that never parsed before.
TEST(Setups, ACommandLineKeepsNothingOfTheOneBefore) {
  testing::TempFiles files;
  const std::string camera = files.Write("fast.cam", testing::kBenchCamera);
  const std::string kit = files.Write("kit.csv", "name,focalLength,fNumberMin,closestFocus\nBars 25,25,1.4,0.3\n");
  std::vector<std::string> everything{"plan", "--json", "--strict"};
  for (const auto& [name, value] : OptionValues(camera, kit)) {
    if (name != "lenses") everything.insert(everything.end(), {"--" + name, value});
  }
  const std::string setup = files.Path("s.klsetup");
  ASSERT_EQ(RunArgs({"setup", "save", "--distance", "2", "--note", "n", "-o", setup}).status, kExitOk);
  const std::vector<std::vector<std::string>> before{
      everything, {"plan", "--shutter", "99", "--json"}, {"setup", "save", "--iso", "800", "-o", files.Path("t.klsetup")},
      {"compare", setup, setup}, {"plan", "--setup", setup, "--lenses", "8"}};
  const std::vector<std::vector<std::string>> after{{"plan", "--json"}, {"calc"}, {"plan", "--distance", "3"}};
  for (const auto& first : before) {
    for (const auto& second : after) {
      SCOPED_TRACE(first.front() + " " + first[1] + " then " + second.front());
      RunArgs(first);
      const Ran reused = RunArgs(second);
      ForgetIdleParsers();
      const Ran fresh = RunArgs(second);
      EXPECT_EQ(reused.status, fresh.status);
      EXPECT_EQ(reused.out, fresh.out);
      EXPECT_EQ(reused.err, fresh.err);
    }
  }
  // Command lines on two threads at once each borrow a parser of their own.
  const Ran alone = RunArgs(everything);
  std::array<Ran, 2> together;
  std::thread other([&] { together[0] = RunArgs(everything); });
  together[1] = RunArgs(everything);
  other.join();
  for (const Ran& ran : together) EXPECT_EQ(ran.out, alone.out);
}

TEST(Setups, CommandLineOverridesTheSetupAndCalcAndSheetReadIt) {
  testing::TempFiles files;
  const std::string setup = files.Path("s.klsetup");
  ASSERT_EQ(RunArgs({"setup", "save", "--distance", "2", "--depth", "0.1", "--f-number", "2.8", "--note", "rig A",
                     "-o", setup}).status, kExitOk);
  EXPECT_EQ(RunArgs({"plan", "--setup", setup, "--distance", "3", "--json"}).out,
            RunArgs({"plan", "--depth", "0.1", "--f-number", "2.8", "--distance", "3", "--json"}).out);
  // calc takes the calculator's options of the setup and leaves the planner's out without a word.
  const Ran calc = RunArgs({"calc", "--setup", setup, "--json"});
  EXPECT_EQ(calc.err, "");
  EXPECT_EQ(calc.out, RunArgs({"calc", "--distance", "2", "--f-number", "2.8", "--json"}).out);

  // A sheet's JSON carries its setup and its note, and opens as the setup it came from.
  const std::string sheet = files.Path("s.json");
  ASSERT_EQ(RunArgs({"sheet", "--setup", setup, "-o", sheet}).status, kExitOk);
  const Ran shown = RunArgs({"setup", "show", sheet, "--json"});
  ASSERT_EQ(shown.status, kExitOk) << shown.err;
  EXPECT_NE(shown.out.find("\"note\": \"rig A\""), std::string::npos) << shown.out;
  EXPECT_EQ(RunArgs({"plan", "--setup", sheet, "--json"}).out, RunArgs({"plan", "--setup", setup, "--json"}).out);

  // setup save reads a setup as plan does: the command line wins, the setup's note stays.
  const std::string resaved = files.Path("r.klsetup");
  ASSERT_EQ(RunArgs({"setup", "save", "--setup", setup, "--distance", "3", "-o", resaved}).status, kExitOk);
  EXPECT_EQ(RunArgs({"plan", "--setup", resaved, "--json"}).out,
            RunArgs({"plan", "--setup", setup, "--distance", "3", "--json"}).out);
  EXPECT_NE(RunArgs({"setup", "show", resaved, "--json"}).out.find("\"note\": \"rig A\""), std::string::npos);
}

TEST(Setups, ASetupSavedAgainWithoutItsCameraFileKeepsThatFile) {
  testing::TempFiles files;
  const std::string camera = files.Write("fast.cam", testing::kBenchCamera);
  const std::string setup = files.Path("s.klsetup");
  ASSERT_EQ(RunArgs({"setup", "save", "--camera", camera, "--distance", "2", "-o", setup}).status, kExitOk);
  std::filesystem::remove(camera);
  const std::string resaved = files.Path("r.klsetup");
  const Ran saved = RunArgs({"setup", "save", "--setup", setup, "-o", resaved});
  ASSERT_EQ(saved.status, kExitOk) << saved.err;
  EXPECT_NE(saved.err.find("not found"), std::string::npos) << saved.err;
  // Once the file is back, the setup saved without it opens it again, without a word.
  files.Write("fast.cam", testing::kBenchCamera);
  const Ran planned = RunArgs({"plan", "--setup", resaved, "--json"});
  EXPECT_EQ(planned.err, "");
  EXPECT_EQ(planned.out, RunArgs({"plan", "--camera", camera, "--distance", "2", "--json"}).out);
}

TEST(Setups, ShowPrintsTheCommandLineQuotedForTheShell) {
  testing::TempFiles files;
  const std::string setup = files.Path("s.klsetup");
  ASSERT_EQ(RunArgs({"setup", "save", "--lenses", "8, 12", "--distance", "it's", "-o", setup}).status, kExitOk);
  const Ran shown = RunArgs({"setup", "show", setup});
  EXPECT_NE(shown.out.find("korvan-lens plan --distance 'it'\\''s' --lenses '8, 12'\n"), std::string::npos)
      << shown.out;
}

TEST(Setups, CompareHasOneColumnPerSetup) {
  testing::TempFiles files;
  ASSERT_EQ(RunArgs({"setup", "save", "--distance", "2", "--field-width", "0.5", "-o", files.Path("a.klsetup")}).status,
            kExitOk);
  ASSERT_EQ(RunArgs({"setup", "save", "--distance", "4", "--field-width", "0.5", "--iso", "1600", "--lux", "500", "-o",
                     files.Path("b.klsetup")})
                .status,
            kExitOk);
  const Ran compared = RunArgs({"compare", files.Path("a.klsetup"), files.Path("b.klsetup"), "--json"});
  ASSERT_EQ(compared.status, kExitOk) << compared.err;
  EXPECT_NE(compared.out.find("\"text\": \"13.73\""), std::string::npos) << compared.out;
  EXPECT_NE(compared.out.find("\"text\": \"27.46\""), std::string::npos) << compared.out;
  // The light rows carry the plan's own texts; without an ISO there is no headroom.
  const auto setups = nlohmann::json::parse(compared.out)["setups"];
  const auto plan = nlohmann::json::parse(RunArgs({"plan", "--setup", files.Path("b.klsetup"), "--json"}).out);
  EXPECT_EQ(setups[0]["Light Headroom"]["text"], "n/a");
  EXPECT_NE(plan["light"]["headroom"]["text"], "n/a");
  EXPECT_EQ(setups[1]["Light Headroom"]["text"], plan["light"]["headroom"]["text"]);
  EXPECT_EQ(setups[1]["Light Headroom"]["unit"], "stops");
  EXPECT_EQ(setups[1]["Recommended"]["text"], plan["envelope"]["text"]);
  const Ran missing = RunArgs({"compare", files.Path("a.klsetup"), files.Path("none.klsetup")});
  EXPECT_EQ(missing.status, kExitRefused);
  EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1) << missing.err;
}

// A refused setup is one line and exit status 1; a refused save leaves no file.
TEST(Setups, BadSetupsAreRefusedInOneLine) {
  testing::TempFiles files;
  const std::vector<std::string> bad = {files.Write("a.klsetup", "not json"), files.Path("none.klsetup"),
                                        files.Dir().string(),
                                        files.Write("b.klsetup", "{\"setupVersion\": 9, \"options\": {}}")};
  for (const std::string& path : bad) {
    const Ran ran = RunArgs({"plan", "--setup", path});
    EXPECT_EQ(ran.status, kExitRefused) << path;
    EXPECT_EQ(std::count(ran.err.begin(), ran.err.end(), '\n'), 1) << ran.err;
    EXPECT_EQ(ran.out, "");
  }
  const Ran refused = RunArgs({"setup", "save", "--frame-rate", "7", "-o", files.Path("c.klsetup")});
  EXPECT_EQ(refused.status, kExitRefused);
  EXPECT_FALSE(std::filesystem::exists(files.Path("c.klsetup")));
  EXPECT_EQ(RunArgs({"setup", "save", "--distance", "2"}).status, kExitUsage);
}

}  // namespace
}  // namespace korvan::cli
