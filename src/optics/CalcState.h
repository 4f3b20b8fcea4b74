#pragma once

#include <cstdint>
#include <string>

namespace korvan {

// The order of the "Compute:" list.
enum class ComputeMode : std::int32_t { FocalLength = 0, Magnification = 1, ObjectDistance = 2, FieldWidth = 3 };

// The order of the "Units" list.
enum class LengthUnit : std::int32_t { Mm = 0, Meters = 1, Inches = 2, Feet = 3 };

// Any value other than Horizontal counts as vertical.
enum class Direction : std::int32_t { Horizontal = 0, Vertical = 1 };

// Which lens quantity the user gives.
enum class LensInput : std::int32_t { FocalLength = 0, Magnification = 1 };

// The calculator's numeric state. Lengths are in meters, except the focal length in millimetres;
// velocity in meters per second; angles in degrees.
struct CalcState {
  ComputeMode computeMode = ComputeMode::FocalLength;
  Direction direction = Direction::Horizontal;
  LensInput lensInput = LensInput::FocalLength;
  LengthUnit unit = LengthUnit::Meters;
  std::int32_t frameRate = 0;
  std::int32_t shutterMultiple = 0;
  double focalLengthMm = 0;
  double fieldRatio = 0;  // field width / sensor dimension, the reciprocal of the magnification
  double fNumber = 0;
  double objectDistance = 0;
  double fieldWidth = 0;
  double velocity = 0;
  double computedValue = 0;  // mode 0: mm; mode 1: field ratio; modes 2, 3: meters
  double workingFNumber = 0;
  double depthOfField = 0;
  double nearFocus = 0;
  double farFocus = 0;  // below zero: the far limit lies at infinity
  double fieldAngleDeg = 0;
  double hyperfocal = 0;
  std::string centeredFormatLabel;
  double motionBlur = 0;
  double pixelBlur = 0;
  bool resultsValid = false;
  std::int32_t sensorWidthPx = 0;
  std::int32_t sensorHeightPx = 0;
};

}  // namespace korvan
