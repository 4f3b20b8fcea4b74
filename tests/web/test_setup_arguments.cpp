#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "web/SetupArguments.h"

namespace korvan::web {
namespace {

std::string Output(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv{"korvan-lens"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out;
  std::ostringstream err;
  cli::Run(static_cast<int>(argv.size()), argv.data(), out, err);
  return out.str();
}

// A setup's options reach the command's own parser and print what the command line prints, values
// that begin with a minus and texts with blanks included.
TEST(SetupArguments, SayWhatTheCommandLineSays) {
  const SetupArguments setup = PlanArguments(
      R"({"setupVersion": 1, "options": {"distance": "-Infinity", "field-width": " 2.5", "unit": "mm",
          "focal-length": "-0", "shutter": "3", "lenses": "8, 12.5", "velocity": ""}, "note": "ignored"})");
  ASSERT_EQ(setup.error, "");
  EXPECT_EQ(Output(setup.arguments),
            Output({"plan", "--distance", "-Infinity", "--field-width", " 2.5", "--unit", "mm", "--focal-length", "-0",
                    "--shutter", "3", "--lenses", "8, 12.5", "--velocity", "", "--json"}));
}

TEST(SetupArguments, AnOptionTheCommandLacksGetsTheCommandsMessage) {
  const SetupArguments setup = PlanArguments(R"({"options": {"furlongs": "3"}})");
  ASSERT_EQ(setup.error, "");
  EXPECT_NE(Output(setup.arguments).find("\"error\": \"The following argument was not expected: --furlongs=3\""),
            std::string::npos);
}

struct Refusal {
  const char* setup;
  const char* error;
};

class SetupRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(SetupRefusals, SayWhy) { EXPECT_EQ(PlanArguments(GetParam().setup).error, GetParam().error); }

INSTANTIATE_TEST_SUITE_P(
    Damaged, SetupRefusals,
    ::testing::Values(Refusal{"{\"options\": ", "The setup is not a JSON object."},
                      Refusal{"[1, 2]", "The setup is not a JSON object."},
                      Refusal{R"({"options": ["distance", "2"]})", "The setup's options are not a JSON object."},
                      Refusal{R"({"options": {"distance": 2}})", "The value of distance is not a text."},
                      // Flags would print help, a version or change the output's form: not options.
                      Refusal{R"({"options": {"help": ""}})", "The following argument was not expected: help"},
                      Refusal{R"({"options": {"json": "1"}})", "The following argument was not expected: json"},
                      Refusal{R"({"options": {"--distance": "2"}})",
                              "The following argument was not expected: --distance"}));

}  // namespace
}  // namespace korvan::web
