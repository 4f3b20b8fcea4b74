#pragma once

#include <string>
#include <vector>

#include "optics/CalcState.h"
#include "planner/LensRecord.h"

// The planner's own inputs: what the user types into the planner beside the calculator's boxes.
namespace korvan::planner {

// The texts as typed; the defaults are what a fresh planner shows.
struct PlannerTexts {
  std::string depth = "0";        // in the calculator's length unit
  std::string wavelength = "550"; // nm
  std::string blurLimit = "1";    // pixels
  std::string eventMs = "0";      // ms
  std::string memoryGb = "0";     // GB of 10^9 bytes
  std::string bitDepth = "8";     // stored bits per pixel
  std::string lenses;             // the kit: its CSV, or focal lengths in mm separated by commas: "8, 12.5, 16"
};

// One planner text read with the calculator's number rules (leading number, C rules, locale-independent).
// A text that is empty reads 0; one that does not begin with a number, or that gives a value outside
// the input's range, is refused: `problem` then says why in one line and every value that needs
// the input is "n/a" with that reason.
struct PlannerValue {
  double value = 0;
  std::string problem;  // empty when the value can be used
  bool Usable() const { return problem.empty(); }
};

// One lens of the kit, in the kit's order.
using KitLens = LensRecord;

struct PlannerInputs {
  PlannerValue depth;       // meters (converted from the length unit); at least 0
  PlannerValue wavelength;  // meters (converted from nm); above 0
  PlannerValue blurLimit;   // pixels; above 0
  PlannerValue eventMs;     // at least 0; 0: no event given
  PlannerValue memoryGb;    // at least 0; 0: no record time
  PlannerValue bitDepth;    // above 0
  std::vector<KitLens> kit;        // the usable entries, in the order typed
  std::vector<std::string> kitNotes;  // one line per entry that was skipped, and why
};

// Reads the texts; `unit` is the calculator's length unit, which the depth is typed in.
PlannerInputs ReadPlannerInputs(const PlannerTexts& texts, LengthUnit unit);

// True when the text, after leading white space, begins with a number as atof reads one.
bool BeginsWithNumber(const std::string& text);

}  // namespace korvan::planner
