#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "camera/CameraDefinition.h"
#include "optics/Attachments.h"
#include "optics/CalcState.h"
#include "optics/Engine.h"
#include "optics/NumberText.h"
#include "optics/Units.h"
#include "planner/PlanNumber.h"
#include "planner/Planner.h"

// Shared by the planner's sources; not part of its interface.
namespace korvan::planner::detail {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr const char* kNoFiniteValue = "No finite value for these inputs";
inline constexpr const char* kInsideFocalLength = "The object is closer than the focal length";
inline constexpr const char* kZeroFrameRate = "The frame rate is 0";

inline PlanNumber NotAvailable(std::string reason) {
  return {kNaN, std::string(kNotAvailableText), std::move(reason)};
}

inline PlanNumber None(double value, std::string reason) { return {value, std::string(kNoneText), std::move(reason)}; }

// A value that is not finite is "n/a": a "NaN" or "Infinity" text would say nothing useful here.
// So is a finite value whose text is not: 1e306 m shown in mm overflows to infinity.
inline PlanNumber Number(double value, std::string text) {
  if (!std::isfinite(value) || text == kInfinityText || text == kNegativeInfinityText || text == kNotANumberText) {
    return NotAvailable(kNoFiniteValue);
  }
  return {value, std::move(text), {}};
}

inline PlanNumber G4(double value) { return Number(value, FormatG4(value)); }

// Meters as the double, the text in the calculator's unit.
inline PlanNumber Length(double meters, LengthUnit unit) {
  return Number(meters, FormatG4(FromMetersFactor(unit) * meters));
}

inline double PitchAlong(const CalcState& state, const CameraDefinition& camera) {
  return state.direction == Direction::Horizontal ? camera.pixelPitchX : camera.pixelPitchY;
}

// The symbols of the planner's formulas, taken from the calculator state after its cycle.
struct Symbols {
  double f = 0;   // focal length, m
  double N = 0;   // lens f-number
  double q = 0;   // field ratio
  double m = 0;   // magnification, 1 / q
  double Nw = 0;  // the engine's working f-number
  double u = 0;   // object distance, m
  double p = 0;   // pixel pitch along the direction, m
};

inline Symbols SymbolsOf(const CalcState& state, const CameraDefinition& camera) {
  Symbols s;
  s.f = 0.001 * state.focalLengthMm;
  s.N = state.fNumber;
  s.q = state.fieldRatio;
  s.m = 1 / state.fieldRatio;
  s.Nw = state.workingFNumber;
  s.u = state.objectDistance;
  s.p = PitchAlong(state, camera);
  return s;
}

// Defocus blur diameter in pixels of an object at x, for a lens of f-number N focused at u.
inline double DefocusAt(const Symbols& s, double N, double x) {
  return (s.f / N) * s.m * std::fabs(x - s.u) / x / s.p;
}

// The Airy disk's first-zero diameter at working f-number nw, in pixels.
inline double DiffractionAt(const Symbols& s, double wavelength, double nw) { return 2.44 * wavelength * nw / s.p; }

}  // namespace korvan::planner::detail

namespace korvan::planner::detail {

inline constexpr int kMaxShutterMultiple = 20;

// The pixel blur as the engine computes it, as a size, for another frame rate, shutter multiple and
// field ratio: the engine's own function on a copy of the state, so that it is 0 wherever the engine
// makes it 0 (a focal length given without a scene). One copy serves every evaluation.
class EngineBlur {
 public:
  EngineBlur(const CalcState& state, const CameraDefinition& camera)
      : run_(state), pitchX_(camera.pixelPitchX), pitchY_(camera.pixelPitchY) {}
  double operator()(std::int32_t rate, std::int32_t n, double q) {
    run_.frameRate = rate;
    run_.shutterMultiple = n;
    run_.fieldRatio = q;
    ComputeBlur(run_, pitchX_, pitchY_);
    return std::fabs(run_.pixelBlur);
  }

 private:
  CalcState run_;
  double pitchX_;
  double pitchY_;
};

struct ShutterSearch {
  int multiple = 0;  // 0: even the largest multiple blurs more than the limit
  double blur = 0;   // at `multiple`, or at the largest multiple
};

// The smallest multiple whose blur, evaluated per multiple, is within `limit`. The blur never grows
// with the multiple (each step of the engine's formula is a correctly rounded monotone operation),
// so a bisection finds the same multiple as trying 1, 2, ... 20 in turn, in five evaluations.
inline ShutterSearch FindShutterLimit(EngineBlur& blurOf, std::int32_t rate, double q, double limit) {
  const double atMost = blurOf(rate, kMaxShutterMultiple, q);
  if (!(atMost <= limit)) return {0, atMost};
  int low = 1;  // blur(low - 1) > limit is known or low is 1
  int high = kMaxShutterMultiple;
  double blurAtHigh = atMost;
  while (low < high) {
    const int mid = low + (high - low) / 2;
    const double blur = blurOf(rate, mid, q);
    if (blur <= limit) {
      high = mid;
      blurAtHigh = blur;
    } else {
      low = mid + 1;
    }
  }
  return {high, blurAtHigh};
}

}  // namespace korvan::planner::detail

namespace korvan::planner::detail {

// The aperture window from a budget already computed for the same inputs.
// The state the planner plans for: the calculator's, or the optics as mounted when an attachment
// correction applies (focal length, distance, field and working f-number from the attachments
// window's adjusted record, the lens f-number worked back from them, the pixel blur afresh).
CalcState MountedState(const CalcState& state, const CameraDefinition& camera, const AttachmentChoices& choices);

ApertureWindow ApertureWindowFor(const SharpnessBudget& budget, const CalcState& state, const CameraDefinition& camera,
                                 const PlannerInputs& inputs);

}  // namespace korvan::planner::detail
