#include "planner/LensChecks.h"

#include <algorithm>
#include <cmath>

#include "optics/NumberText.h"
#include "optics/Units.h"
#include "planner/JsonText.h"

namespace korvan::planner {
namespace {

bool Usable(double value) { return std::isfinite(value) && value > 0; }

std::string_view ShortUnit(LengthUnit unit) {
  switch (unit) {
    case LengthUnit::Mm: return "mm";
    case LengthUnit::Inches: return "in";
    case LengthUnit::Feet: return "ft";
    default: return "m";
  }
}

// The attachments' formulas with the lens at its closest focus and at infinity: the distances a
// close-up lens of `diopters` or a tube of `tubeMm` brings into focus, from near to far.
struct Reach {
  double nearest = 0;
  double farthest = 0;
  bool Holds(double u) const { return u >= nearest && u <= farthest; }
};

Reach CloseUpReach(double closest, int diopters) {
  return {closest / (1 + closest * diopters), 1.0 / diopters};
}

Reach TubeReach(double f, double closest, int tubeMm) {
  const double imageAtClosest = f + f * f / (closest - f);
  const double tube = 0.001 * tubeMm;
  return {f + f * f / (imageAtClosest + tube - f), f + f * f / tube};
}

void Join(std::string& words, const std::string& clause) {
  if (!words.empty()) words += "; ";
  words += clause;
}

}  // namespace

std::string FNumberRangeText(const LensRecord& lens) {
  if (lens.fNumberMin && lens.fNumberMax) return "f/" + FormatG4(*lens.fNumberMin) + " ... " + FormatG4(*lens.fNumberMax);
  if (lens.fNumberMin) return "f/" + FormatG4(*lens.fNumberMin) + " or narrower";
  if (lens.fNumberMax) return "up to f/" + FormatG4(*lens.fNumberMax);
  return {};
}

LensChecks CheckLens(const LensRecord& lens, double distance, double imageDiagonalMm, double fNumber, LengthUnit unit) {
  LensChecks checks;
  std::string failures;
  std::string passes;
  const double f = 0.001 * lens.focalLengthMm;
  if (lens.closestFocus && Usable(distance) && Usable(f) && *lens.closestFocus > f) {
    const double closest = *lens.closestFocus;
    const std::string at = "at " + FormatG4(distance * FromMetersFactor(unit)) + " " + std::string(ShortUnit(unit));
    checks.focuses = distance >= closest;
    if (*checks.focuses) {
      Join(passes, "focuses " + at);
    } else {
      checks.closeUp = checks.tubes = "none";
      for (int d = kWeakestCloseUp; d <= kStrongestCloseUp; ++d) {
        if (CloseUpReach(closest, d).Holds(distance)) {
          checks.closeUp = "+" + std::to_string(d) + "D";
          break;
        }
      }
      for (int mm = kShortestTube; mm <= kLongestTube; ++mm) {
        if (TubeReach(f, closest, mm).Holds(distance)) {
          checks.tubes = std::to_string(mm) + " mm";
          break;
        }
      }
      std::string remedy;
      if (*checks.closeUp != "none") remedy = *checks.closeUp;
      if (*checks.tubes != "none") remedy += (remedy.empty() ? "" : " or ") + *checks.tubes + " tubes";
      if (remedy.empty()) {
        remedy = "no close-up lens up to +" + std::to_string(kStrongestCloseUp) + "D or tube up to " +
                 std::to_string(kLongestTube) + " mm reaches it";
      }
      Join(failures, "cannot focus " + at + ": " + remedy);
    }
  }
  if (lens.imageCircleMm && Usable(imageDiagonalMm)) {
    checks.covers = *lens.imageCircleMm >= imageDiagonalMm;
    if (*checks.covers) {
      Join(passes, "covers " + FormatG4(imageDiagonalMm) + " mm");
    } else {
      Join(failures, "vignettes: circle " + FormatG4(*lens.imageCircleMm) + " mm < " + FormatG4(imageDiagonalMm) + " mm");
    }
  }
  if ((lens.fNumberMin || lens.fNumberMax) && Usable(fNumber)) {
    checks.apertureInRange = !(lens.fNumberMin && fNumber < *lens.fNumberMin) &&
                             !(lens.fNumberMax && fNumber > *lens.fNumberMax);
    const std::string clause = "f/" + FormatG4(fNumber) + (*checks.apertureInRange ? " within " : " outside ") +
                               FNumberRangeText(lens);
    Join(*checks.apertureInRange ? passes : failures, clause);
  }
  checks.words = failures;
  if (!passes.empty()) Join(checks.words, passes);
  return checks;
}

}  // namespace korvan::planner

namespace korvan::planner {

const LensRecord* LensInForce(const std::vector<LensRecord>& kit, double focalLengthMm) {
  if (!Usable(focalLengthMm)) return nullptr;
  for (const LensRecord& lens : kit) {
    if (std::fabs(lens.focalLengthMm - focalLengthMm) <= 1e-9 * focalLengthMm) return &lens;
  }
  return nullptr;
}

FNumberBounds FNumberBoundsOf(const LensRecord* lens) {
  FNumberBounds bounds;
  if (lens && lens->fNumberMin) bounds.low = std::max(bounds.low, *lens->fNumberMin);
  if (lens && lens->fNumberMax) bounds.high = std::min(bounds.high, *lens->fNumberMax);
  return bounds;
}

}  // namespace korvan::planner

namespace korvan::planner {
namespace {

JsonText OrNull(const std::optional<bool>& value) { return value ? JsonText(*value) : JsonText(); }
JsonText OrNull(const std::optional<double>& value) { return value ? JsonText(*value) : JsonText(); }
JsonText OrNull(const std::optional<std::string>& value) { return value ? JsonText(*value) : JsonText(); }

}  // namespace

void AddLensChecks(JsonText& row, const LensRecord& lens, const LensChecks& checks) {
  row.Add("fNumberMin", OrNull(lens.fNumberMin))
      .Add("fNumberMax", OrNull(lens.fNumberMax))
      .Add("closestFocus", OrNull(lens.closestFocus))
      .Add("imageCircle", OrNull(lens.imageCircleMm))
      .Add("mount", lens.mount)
      .Add("focuses", OrNull(checks.focuses))
      .Add("closeUpToFocus", OrNull(checks.closeUp))
      .Add("tubesToFocus", OrNull(checks.tubes))
      .Add("coversSensor", OrNull(checks.covers))
      .Add("apertureInRange", OrNull(checks.apertureInRange))
      .Add("checks", checks.words);
}

}  // namespace korvan::planner
