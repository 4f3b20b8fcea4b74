#include "optics/Engine.h"

#include <cmath>
#include <cstdint>

#include "optics/Arctangent.h"
#include "optics/LensFormat.h"

namespace korvan {
namespace {

// An input counts as present when it is not zero; NaN counts as missing. (x != 0 alone would let NaN through.)
bool Present(double x) { return x < 0 || x > 0; }

// Not the exact 360 / pi: 360 / 3.14159, which every angle the calculator has ever shown was made with.
constexpr double kDegreesPerHalfRadian = 114.59165581759555;

}  // namespace

double SensorDimension(const CalcState& state, double pixelPitchX, double pixelPitchY) {
  return state.direction == Direction::Horizontal ? state.sensorWidthPx * pixelPitchX
                                                  : state.sensorHeightPx * pixelPitchY;
}

double ImageDiagonal(const CalcState& state, double pixelPitchX, double pixelPitchY) {
  // Evaluated as written rather than with hypot, so the diagonal, and with it the lens format
  // chosen at a boundary, is the same double on every machine.
  const double width = state.sensorWidthPx * pixelPitchX;
  const double height = state.sensorHeightPx * pixelPitchY;
  return std::sqrt(width * width + height * height);
}

void ComputeGeometry(CalcState& st, double pixelPitchX, double pixelPitchY) {
  const double s = SensorDimension(st, pixelPitchX, pixelPitchY);
  const double d = ImageDiagonal(st, pixelPitchX, pixelPitchY);

  st.computedValue = 0;
  bool valid = true;
  const bool focalLengthGiven = st.lensInput == LensInput::FocalLength;

  switch (st.computeMode) {
    case ComputeMode::FocalLength:
      if (Present(st.objectDistance) && Present(st.fieldWidth)) {
        st.focalLengthMm = 1000 * s * st.objectDistance / (s + st.fieldWidth);
        st.fieldRatio = st.fieldWidth / s;
        st.computedValue = st.focalLengthMm;
      } else {
        valid = false;
      }
      break;
    case ComputeMode::Magnification:
      if (Present(st.fieldWidth)) {
        st.fieldRatio = st.fieldWidth / s;
        st.focalLengthMm = 1000 * s * st.objectDistance / (s + st.fieldWidth);
        st.computedValue = st.fieldRatio;
      } else {
        valid = false;
      }
      break;
    case ComputeMode::ObjectDistance:
      if (focalLengthGiven && Present(st.focalLengthMm) && Present(st.fieldWidth)) {
        st.objectDistance = (st.fieldWidth / s + 1) * 0.001 * st.focalLengthMm;
      } else {
        valid = false;
      }
      st.fieldRatio = st.fieldWidth / s;
      st.computedValue = st.objectDistance;
      break;
    case ComputeMode::FieldWidth:
      if (focalLengthGiven) {
        if (Present(st.focalLengthMm) && Present(st.objectDistance)) {
          st.fieldWidth = s * st.objectDistance / (0.001 * st.focalLengthMm) - s;
          st.fieldRatio = st.fieldWidth / s;
        } else {
          valid = false;
        }
      } else if (Present(st.fieldRatio)) {
        st.fieldWidth = s * st.fieldRatio;
      } else {
        valid = false;
      }
      st.computedValue = st.fieldWidth;
      break;
    default:
      valid = false;
      break;
  }

  const LensFormatChoice format = LookupLensFormat(d);
  st.centeredFormatLabel = format.label;
  const double c = format.circleOfConfusion;

  const double q = st.fieldRatio;
  const double u = st.objectDistance;
  st.workingFNumber = Present(q) ? (1 / q + 1) * st.fNumber : 0;

  if (Present(q)) {
    const double g = q * q * st.workingFNumber * c;
    if (g < u || g > u) {
      st.nearFocus = u * u / (u + g);
      st.farFocus = u * u / (u - g);
    } else {
      st.nearFocus = 0;
      st.farFocus = 0;
    }
    st.depthOfField = st.farFocus - st.nearFocus;
  } else {
    st.nearFocus = 0;
    st.farFocus = 0;
    st.depthOfField = 0;
  }

  if (Present(st.workingFNumber)) {
    const double f = 0.001 * st.focalLengthMm;
    st.hyperfocal = f * f / (c * st.workingFNumber);
  } else {
    st.hyperfocal = 0;
  }

  // The core's own correctly rounded arctangent: the C runtimes' atan differ in the last place.
  st.fieldAngleDeg = Present(u) ? Arctangent(0.5 * st.fieldWidth / u) * kDegreesPerHalfRadian : 0;
  st.resultsValid = valid;
}

void ComputeBlur(CalcState& st, double pixelPitchX, double pixelPitchY) {
  const double pitch = st.direction == Direction::Horizontal ? pixelPitchX : pixelPitchY;
  st.motionBlur = MotionBlurFor(st.velocity, st.frameRate, st.shutterMultiple);

  const bool sceneGiven = Present(st.objectDistance) && Present(st.fieldWidth);
  if (Present(st.focalLengthMm) && (st.lensInput != LensInput::FocalLength || sceneGiven)) {
    st.pixelBlur = PixelBlurFor(st.motionBlur, st.fieldRatio, pitch);
  } else {
    st.pixelBlur = 0;
  }
}

void ComputeAll(CalcState& state, double pixelPitchX, double pixelPitchY) {
  ComputeGeometry(state, pixelPitchX, pixelPitchY);
  ComputeBlur(state, pixelPitchX, pixelPitchY);
}

}  // namespace korvan
