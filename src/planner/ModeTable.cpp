#include <algorithm>
#include <cmath>

#include "camera/CameraModes.h"
#include "planner/PlanValues.h"
#include "planner/Planner.h"

namespace korvan::planner {
namespace {

using namespace detail;

constexpr const char* kZeroRate = "The mode's frame rate is 0";
constexpr const char* kNoPixels = "The mode has no pixels";

// Frame counts are whole numbers as long as they fit 64 bits; beyond that only their size matters.
PlanNumber Count(double frames) {
  if (std::isfinite(frames) && std::fabs(frames) < 9.2e18) {
    return Number(frames, FormatInt(static_cast<std::int64_t>(frames)));
  }
  return G4(frames);
}

PlanNumber Or(const std::string& problem, PlanNumber number) {
  return problem.empty() ? number : NotAvailable(problem);
}

std::uint32_t PixelsAlong(Direction direction, std::uint32_t width, std::uint32_t height) {
  return direction == Direction::Horizontal ? width : height;
}

}  // namespace

ModeTable ComputeModeTable(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs) {
  ModeTable table;
  table.unit = state.unit;
  table.reason = PlanPrerequisite(state, camera);
  table.showRecordTime = inputs.memoryGb.Usable() && inputs.memoryGb.value > 0;
  table.shutterProblem = inputs.blurLimit.problem;
  if (!inputs.eventMs.Usable()) {
    table.eventProblem = inputs.eventMs.problem;
  } else if (inputs.eventMs.value == 0) {
    table.eventProblem = "Enter the event's duration";
  }
  if (state.velocity == 0) table.crossingProblem = "Enter an object velocity";
  if (!inputs.memoryGb.Usable()) {
    table.recordProblem = inputs.memoryGb.problem;
  } else if (!inputs.bitDepth.Usable()) {
    table.recordProblem = inputs.bitDepth.problem;
  } else if (!table.showRecordTime) {
    table.recordProblem = "Enter the camera's memory";
  }
  table.inForce = FindCurrentMode(camera, FormatInt(state.frameRate),
                                  ResolutionEntry(state.sensorWidthPx, state.sensorHeightPx));

  const std::size_t count = std::min({camera.ModeCount(), camera.widthsPx.size(), camera.heightsPx.size()});
  table.values.resize(count);
  const Symbols s = SymbolsOf(state, camera);
  const double f = 0.001 * state.focalLengthMm;
  const std::int32_t n = state.shutterMultiple;
  const double v = state.velocity;
  const double k = inputs.blurLimit.value;
  const bool limitWanted = table.reason.empty() && inputs.blurLimit.Usable();
  const double bytesPerGb = 1e9;

  for (std::size_t i = 0; i < count; ++i) {
    ModeValues& row = table.values[i];
    row.frameRate = camera.frameRates[i];
    row.widthPx = camera.widthsPx[i];
    row.heightPx = camera.heightsPx[i];
    if (!table.reason.empty()) continue;
    // The calculator holds rates and image sizes as the 32-bit integers its lists show.
    const std::int32_t rate = PixelCountAsInt(row.frameRate);
    const std::int32_t pixels = PixelCountAsInt(PixelsAlong(state.direction, row.widthPx, row.heightPx));
    const double sensor = pixels * s.p;
    // The engine's field-width formula, with the focal length as the lens input.
    row.fieldWidth = sensor * s.u / f - sensor;
    const double q = row.fieldWidth / sensor;
    row.fieldPerPixel = row.fieldWidth / pixels;
    row.exposureUs = 1e6 / static_cast<double>(std::int64_t{rate} * n);
    row.pixelBlur = BlurWithShutter(v, rate, n, q, s.p);
    if (limitWanted) {
      const ShutterSearch found = FindShutterLimit(v, rate, q, s.p, k);
      row.shutterLimit = found.multiple;
      row.shutterLimitBlur = found.blur;
    }
    row.eventFrames = std::floor(inputs.eventMs.value * rate / 1000);
    row.crossingFrames = row.fieldWidth / std::fabs(v) * rate;
    row.recordTime = inputs.memoryGb.value * bytesPerGb * 8 /
                     (static_cast<double>(row.widthPx) * row.heightPx * inputs.bitDepth.value) / rate;
  }
  return table;
}

ModeRow ModeTable::Row(std::size_t index) const {
  const ModeValues& v = values[index];
  ModeRow row;
  row.mode = index;
  row.inForce = inForce && *inForce == index;
  row.frameRate = Number(v.frameRate, FormatInt(PixelCountAsInt(v.frameRate)));
  row.resolution = ResolutionEntry(PixelCountAsInt(v.widthPx), PixelCountAsInt(v.heightPx));

  std::string problem = reason;
  if (problem.empty() && (v.widthPx == 0 || v.heightPx == 0)) problem = kNoPixels;
  row.fieldWidth = Or(problem, Length(v.fieldWidth, unit));
  row.fieldPerPixel = Or(problem, Length(v.fieldPerPixel, unit));

  if (problem.empty() && v.frameRate == 0) problem = kZeroRate;
  row.exposureUs = Or(problem, G4(v.exposureUs));
  row.pixelBlur = Or(problem, G4(v.pixelBlur));
  if (!problem.empty() || !shutterProblem.empty()) {
    row.shutterLimit = NotAvailable(problem.empty() ? shutterProblem : problem);
  } else if (!std::isfinite(v.shutterLimitBlur)) {
    row.shutterLimit = NotAvailable(kNoFiniteValue);
  } else if (v.shutterLimit == 0) {
    row.shutterLimit = None(kNaN, "Even 20x blurs " + FormatG4(v.shutterLimitBlur) + " px");
  } else {
    row.shutterLimit = Number(v.shutterLimit, FormatInt(v.shutterLimit));
  }
  row.eventFrames = Or(problem.empty() ? eventProblem : problem, Count(v.eventFrames));
  row.crossingFrames = Or(problem.empty() ? crossingProblem : problem, G4(v.crossingFrames));
  row.recordTime = Or(problem.empty() ? recordProblem : problem, G4(v.recordTime));
  return row;
}

}  // namespace korvan::planner
