#pragma once

#include <string>

namespace korvan::planner {

// One planner text read with the calculator's number rules (leading number, C rules, locale-independent).
// A text that is empty reads 0; one that does not begin with a number, or that gives a value outside
// the input's range, is refused: `problem` then says why in one line and every value that needs
// the input is "n/a" with that reason.
struct PlannerValue {
  double value = 0;
  std::string problem;  // empty when the value can be used
  bool Usable() const { return problem.empty(); }
};

}  // namespace korvan::planner
