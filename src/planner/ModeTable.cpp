#include <algorithm>
#include <cmath>

#include "camera/CameraModes.h"
#include "optics/Attachments.h"
#include "optics/Units.h"
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

std::string_view FineLengthUnit(LengthUnit unit) {
  return unit == LengthUnit::Mm || unit == LengthUnit::Meters ? "mm" : "inches";
}

double FromMetersFineFactor(LengthUnit unit) {
  return FromMetersFactor(unit == LengthUnit::Mm || unit == LengthUnit::Meters ? LengthUnit::Mm : LengthUnit::Inches);
}

std::string_view ColumnUnit(const Column& column, LengthUnit unit) {
  if (column.unit == "length") return LengthUnitName(unit);
  if (column.unit == "fine") return FineLengthUnit(unit);
  return column.unit;
}

ModeTable ComputeModeTable(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs,
                           const AttachmentChoices& attachments) {
  ModeTable table;
  table.unit = state.unit;
  table.reason = PlanPrerequisite(MountedState(state, camera, attachments), camera);
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
  table.lightProblem = LightNeededProblem(inputs.light);
  table.showLight = inputs.light.iso.Usable() && inputs.light.iso.value > 0;
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
  const bool mounted = !IncludedAttachments(attachments).empty();
  const double bytesPerGb = 1e9;
  EngineBlur blurOf(state, camera);

  for (std::size_t i = 0; i < count; ++i) {
    ModeValues& row = table.values[i];
    row.frameRate = camera.frameRates[i];
    row.widthPx = camera.widthsPx[i];
    row.heightPx = camera.heightsPx[i];
    // The calculator holds rates and image sizes as the 32-bit integers its lists show.
    const std::int32_t rate = PixelCountAsInt(row.frameRate);
    // The values of the mode alone need no lens.
    row.exposureUs = 1e6 / static_cast<double>(std::int64_t{rate} * n);
    row.eventFrames = std::floor(inputs.eventMs.value * rate / 1000);
    row.recordTime = inputs.memoryGb.value * bytesPerGb * 8 /
                     (static_cast<double>(row.widthPx) * row.heightPx * inputs.bitDepth.value) / rate;
    if (!table.reason.empty()) continue;
    const std::int32_t pixels = PixelCountAsInt(PixelsAlong(state.direction, row.widthPx, row.heightPx));
    const double sensor = pixels * s.p;
    // The engine's field-width formula, with the focal length as the lens input.
    row.fieldWidth = sensor * s.u / f - sensor;
    double q = row.fieldWidth / sensor;
    double nw = (1 / q + 1) * s.N;
    if (mounted) {
      const AdjustedOptics bare{state.focalLengthMm, s.u, row.fieldWidth, q, nw};
      const AdjustedOptics a = ApplyExtensionTubes(
          ApplyCloseUpLens(ApplyTeleExtender(bare, attachments), attachments, sensor), attachments, sensor, s.N);
      row.fieldWidth = a.fieldWidth;
      q = a.fieldRatio;
      nw = a.workingFNumber;
    }
    row.fieldPerPixel = row.fieldWidth / pixels;
    row.pixelBlur = blurOf(rate, n, q);
    if (limitWanted) {
      const ShutterSearch found = FindShutterLimit(blurOf, rate, q, k);
      row.shutterLimit = found.multiple;
      row.shutterLimitBlur = found.blur;
    }
    row.crossingFrames = row.fieldWidth / std::fabs(v) * rate;
    if (table.lightProblem.empty()) {
      row.lightNeeded = LightNeeded(inputs.light, nw, 1 / static_cast<double>(std::int64_t{rate} * n));
    }
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

  // The lens's values need the plan's prerequisite; the mode's own values only a frame rate.
  std::string lensProblem = reason;
  if (lensProblem.empty() && (v.widthPx == 0 || v.heightPx == 0)) lensProblem = kNoPixels;
  row.fieldWidth = Or(lensProblem, Length(v.fieldWidth, unit));
  row.fieldPerPixel = Or(lensProblem, Number(v.fieldPerPixel, FormatG4(FromMetersFineFactor(unit) * v.fieldPerPixel)));

  const std::string rateProblem = v.frameRate == 0 ? kZeroRate : "";
  if (lensProblem.empty()) lensProblem = rateProblem;
  row.exposureUs = Or(rateProblem, G4(v.exposureUs));
  row.pixelBlur = Or(lensProblem, G4(v.pixelBlur));
  if (!lensProblem.empty() || !shutterProblem.empty()) {
    row.shutterLimit = NotAvailable(lensProblem.empty() ? shutterProblem : lensProblem);
  } else if (!std::isfinite(v.shutterLimitBlur)) {
    row.shutterLimit = NotAvailable(kNoFiniteValue);
  } else if (v.shutterLimit == 0) {
    row.shutterLimit = None(kNaN, "Even 20x blurs " + FormatG4(v.shutterLimitBlur) + " px");
  } else {
    row.shutterLimit = Number(v.shutterLimit, FormatInt(v.shutterLimit));
  }
  const std::string noPixels = v.widthPx == 0 || v.heightPx == 0 ? kNoPixels : "";
  row.eventFrames = Or(rateProblem.empty() ? eventProblem : rateProblem, Count(v.eventFrames));
  row.crossingFrames = Or(lensProblem.empty() ? crossingProblem : lensProblem, G4(v.crossingFrames));
  const std::string recordNeeds = !rateProblem.empty() ? rateProblem : noPixels;
  row.recordTime = Or(recordNeeds.empty() ? recordProblem : recordNeeds, G4(v.recordTime));
  row.lightNeeded = Or(lensProblem.empty() ? lightProblem : lensProblem, G4(v.lightNeeded));
  return row;
}

}  // namespace korvan::planner
