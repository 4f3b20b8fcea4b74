#pragma once

#include <string>
#include <vector>

#include "optics/CalcState.h"
#include "planner/LensRecord.h"
#include "planner/Light.h"
#include "planner/PlannerValue.h"

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
  LightTexts light;
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
  LightInputs light;
};

// Reads the texts; `unit` is the calculator's length unit, which the depth is typed in.
PlannerInputs ReadPlannerInputs(const PlannerTexts& texts, LengthUnit unit);

// True when the text, after leading white space, begins with a number as atof reads one.
bool BeginsWithNumber(const std::string& text);

}  // namespace korvan::planner
