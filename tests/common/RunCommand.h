#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace korvan::testing {

// One korvan-lens command line run in-process, with what it printed.
struct Ran {
  int status;
  std::string out;
  std::string err;
};

inline Ran RunArgs(std::vector<std::string> args) {
  args.insert(args.begin(), "korvan-lens");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out;
  std::ostringstream err;
  const int status = cli::Run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

}  // namespace korvan::testing
