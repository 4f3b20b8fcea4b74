#pragma once

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

// Motion blur and pixel blur; in a full cycle it runs after ComputeGeometry.
void ComputeBlur(CalcState& state, double pixelPitchX, double pixelPitchY);

// ComputeGeometry then ComputeBlur.
void ComputeAll(CalcState& state, double pixelPitchX, double pixelPitchY);

}  // namespace korvan
