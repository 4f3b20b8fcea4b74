#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "camera/CameraDefinition.h"
#include "optics/CalcState.h"
#include "planner/Light.h"
#include "planner/PlanNumber.h"
#include "planner/PlannerInputs.h"

// The shooting envelope: every shutter multiple against every f-number of the list, each cell
// sharp or not (its total blur within the limit) and bright or not (its headroom at least 0), the
// setting to use, and when none works the two nearest settings with what they lack.
namespace korvan::planner {

// What the envelope is computed from; EnvelopeSceneOf takes it from the calculator's state.
struct EnvelopeScene {
  double focalLength = 0;    // m
  double magnification = 0;  // m = 1 / q
  double fieldRatio = 0;     // q
  double distance = 0;       // u, m
  double pitch = 0;          // along the direction, m
  std::int32_t frameRate = 0;
  double depth = 0;          // m
  double wavelength = 0;     // m
  double blurLimit = 0;      // pixels
  double fNumberMin = 0;     // the lens record's range; 0: no limit at that end
  double fNumberMax = 0;
  std::int32_t shutterInForce = 0;
  double fNumberInForce = 0;
  std::string problem;       // why no cell can be computed; empty when they can
  // The engine's pixel blur, as a size, at shutter multiples 1, 2, ...: one per column of the grid.
  std::vector<double> motion;
};

EnvelopeScene EnvelopeSceneOf(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs);

struct EnvelopeCell {
  std::int32_t shutter = 0;  // multiple, 1 ... 20
  double fNumber = 0;
  double total = 0;       // pixels, root-sum-square
  double headroom = 0;    // stops; NaN without light figures
  double lightNeeded = 0; // lux; NaN without light figures
  bool sharp = false;
  bool bright = false;
};

// A setting of the envelope as shown: "20x at f/1.4".
struct EnvelopeSetting {
  std::size_t cell = 0;  // index into Envelope::cells
  std::string text;      // "20x at f/1.4"
  std::string verdict;   // "sharp and bright", "sharp, but 2.313 stops short", "bright, but blurs 3.1 px"
};

struct Envelope {
  std::vector<std::string> fNumberTexts;  // the list entries in use, smallest first ("1.4")
  std::vector<double> fNumbers;
  std::int32_t shutters = 0;              // 1 ... shutters across
  std::vector<EnvelopeCell> cells;        // shutter by shutter, f-numbers within
  bool withLight = false;                 // headroom known: cells can be bright
  std::string lightReason;                // why the envelope shows sharpness alone
  std::size_t workable = 0;               // cells that are sharp (and bright, with light)
  std::optional<std::size_t> inForce;     // the cell of the setting in force
  std::optional<EnvelopeSetting> recommended;
  std::optional<EnvelopeSetting> nearestSharp;   // only when nothing works
  std::optional<EnvelopeSetting> nearestBright;  // only when nothing works
  PlanNumber total;        // at the recommended setting, pixels
  PlanNumber headroom;     // there, stops
  PlanNumber lightNeeded;  // there, lux
  std::string text;        // one line: the recommended setting, or why there is none
  std::string reason;      // why nothing can be computed; empty otherwise

  const EnvelopeCell& At(std::size_t shutterIndex, std::size_t fIndex) const {
    return cells[shutterIndex * fNumbers.size() + fIndex];
  }
};

Envelope ComputeEnvelope(const EnvelopeScene& scene, const LightInputs& light);

}  // namespace korvan::planner
