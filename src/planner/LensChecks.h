#pragma once

#include <optional>
#include <string>
#include <vector>

#include "optics/CalcState.h"
#include "planner/LensRecord.h"

// Whether a kit lens can take the shot as it stands: focus at the distance, an image circle that
// covers the image, and the f-number in force. Unknown limits give no answer rather than a guess.
namespace korvan::planner {

inline constexpr int kWeakestCloseUp = 1;  // diopters
inline constexpr int kStrongestCloseUp = 5;
inline constexpr int kShortestTube = 1;  // mm
inline constexpr int kLongestTube = 10;

struct LensChecks {
  std::optional<bool> focuses;          // the distance is not closer than the closest focus
  std::optional<std::string> closeUp;   // when it is: the weakest close-up lens that reaches it ("+2D") or "none"
  std::optional<std::string> tubes;     // and the shortest tube ("2 mm") or "none"
  std::optional<bool> covers;           // the image circle covers the image's diagonal
  std::optional<bool> apertureInRange;  // the f-number in force lies within the lens's range

  // One short clause per answered check, failures first, "; " between them:
  // "cannot focus at 0.2 m: +2D or 2 mm tubes; vignettes: circle 4 mm < 4.592 mm; f/2.8 within f/1.8 ... 16".
  std::string words;
  bool Fails() const { return focuses == false || covers == false || apertureInRange == false; }
};

// `distance` in meters (shown in `unit`), `imageDiagonalMm` the diagonal of the sensor area in use,
// `fNumber` the lens f-number of the calculator. Values that are not finite and above 0 answer nothing.
LensChecks CheckLens(const LensRecord& lens, double distance, double imageDiagonalMm, double fNumber, LengthUnit unit);

// "f/1.4 ... 16", "f/1.4 or narrower", "up to f/16"; empty when the record gives no range.
std::string FNumberRangeText(const LensRecord& lens);

}  // namespace korvan::planner

namespace korvan::planner {

// The kit lens in force: the first whose focal length is the calculator's (to rounding, so that a
// focal length computed from a magnification still finds its lens); null when none is.
const LensRecord* LensInForce(const std::vector<LensRecord>& kit, double focalLengthMm);

// The f-numbers a lens offers within the f-number list's 1.0 ... 22.0; an end the record does not
// give leaves the list's end.
struct FNumberBounds {
  double low = 1.0;
  double high = 22.0;
  bool Allows(double fNumber) const { return fNumber >= low && fNumber <= high; }
};
FNumberBounds FNumberBoundsOf(const LensRecord* lens);

}  // namespace korvan::planner

namespace korvan::planner {

class JsonText;

// The record's limits and its checks as members of a kit row's JSON object: the limits in SI
// units as the record holds them, each check true, false or null when the record does not say,
// the attachments that reach the distance as their texts, "none", or null.
void AddLensChecks(JsonText& row, const LensRecord& lens, const LensChecks& checks);

}  // namespace korvan::planner
