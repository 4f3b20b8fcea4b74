#pragma once

#include <functional>
#include <ostream>

#include "planner/Planner.h"

namespace korvan::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // the command ran, but the input was refused
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

// Runs one korvan-lens command line, writing results to `out` and errors to `err` (one line
// each); with --json an error is also written to `out` as {"error": ...}. Returns the exit status.
// `onPlan`, when given, also receives the plan that `plan` printed (the page draws its charts).
int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
        const std::function<void(const planner::Plan&)>& onPlan = {});

// Option parsers are kept and cleared between command lines, as building one costs more than a
// parse. This drops the kept ones, so that the next command line parses with a new parser.
void ForgetIdleParsers();

}  // namespace korvan::cli
