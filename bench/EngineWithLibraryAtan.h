#pragma once

#include "optics/CalcState.h"

namespace korvan {
// ComputeGeometry and ComputeBlur as built in EngineWithLibraryAtan.cpp.
void LibraryAtanComputeGeometry(CalcState& state, double pixelPitchX, double pixelPitchY);
void LibraryAtanComputeBlur(CalcState& state, double pixelPitchX, double pixelPitchY);
}  // namespace korvan
