#pragma once

#include <cstdint>

#include "optics/CalcState.h"

namespace korvan {

// The sensor dimension along the direction, in meters.
double SensorDimension(const CalcState& state, double pixelPitchX, double pixelPitchY);

// The image diagonal in meters.
double ImageDiagonal(const CalcState& state, double pixelPitchX, double pixelPitchY);

// The quantity of the compute mode, working f-number, depth of field, hyperfocal distance,
// field angle and lens format. Never fails: a missing input only clears resultsValid, and a
// division by zero leaves an infinity or NaN that the result texts show readably.
void ComputeGeometry(CalcState& state, double pixelPitchX, double pixelPitchY);

// The distance an object at `velocity` moves during one exposure of 1 / (frame rate x shutter
// multiple) seconds. The product is formed in 64 bits: a large frame rate times the multiple must
// not overflow. Inline, so that the planner's mode table can call it 100,000 times cheaply.
inline double MotionBlurFor(double velocity, std::int32_t frameRate, std::int32_t shutterMultiple) {
  const std::int64_t exposuresPerSecond = std::int64_t{frameRate} * shutterMultiple;
  return velocity * (1 / static_cast<double>(exposuresPerSecond));
}

// That motion on the sensor, in pixels of `pitch`.
inline double PixelBlurFor(double motionBlur, double fieldRatio, double pitch) {
  return motionBlur / fieldRatio / pitch;
}

// Motion blur and pixel blur; in a full cycle it runs after ComputeGeometry.
void ComputeBlur(CalcState& state, double pixelPitchX, double pixelPitchY);

// ComputeGeometry then ComputeBlur.
void ComputeAll(CalcState& state, double pixelPitchX, double pixelPitchY);

}  // namespace korvan
