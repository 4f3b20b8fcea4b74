#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvan::web {

// A setup's options as the `plan --json` command line they stand for, or why the setup cannot be
// read (damaged JSON, a value that is not a text, an option that is no plan option).
struct SetupArguments {
  std::vector<std::string> arguments;
  std::string error;
};
SetupArguments PlanArguments(std::string_view setupJson);

}  // namespace korvan::web
