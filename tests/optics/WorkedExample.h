#pragma once

#include "optics/CalcState.h"

namespace korvan::testing {

inline constexpr double kPitch = 0.0000072;

// The worked example: 480 x 420 pixels of 7.2 micrometres, 2 m away, 0.5 m wide, f/2.8, 60 fps,
// shutter 3x, 1 m/s.
inline CalcState WorkedExample(ComputeMode mode = ComputeMode::FocalLength) {
  CalcState st;
  st.computeMode = mode;
  st.sensorWidthPx = 480;
  st.sensorHeightPx = 420;
  st.objectDistance = 2;
  st.fieldWidth = 0.5;
  st.fNumber = 2.8;
  st.frameRate = 60;
  st.shutterMultiple = 3;
  st.velocity = 1;
  return st;
}

}  // namespace korvan::testing
