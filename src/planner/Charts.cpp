#include <algorithm>
#include <cmath>
#include <limits>

#include "optics/ComputeModes.h"
#include "optics/Engine.h"
#include "optics/Units.h"
#include "planner/PlanValues.h"
#include "planner/Planner.h"

namespace korvan::planner {
namespace {

using namespace detail;

constexpr double kFirstFNumber = 1.0;
constexpr double kLastFNumber = 22.0;
constexpr int kFNumberSteps = 84;  // some nine steps per stop from 1 to 22
constexpr int kDistanceSteps = 8;  // the field grows linearly with the distance

// The field against distance, out to twice the current distance, with the engine in compute mode
// Field Width. Distances inside the focal length give no image and are left out.
ChartSeries FieldByDistance(const CalcState& state, const CameraDefinition& camera, double focalLengthMm) {
  ChartSeries series{FormatG4(focalLengthMm) + " mm", {}};
  const double toUnit = FromMetersFactor(state.unit);
  CalcState run = state;
  run.computeMode = ComputeMode::FieldWidth;
  run.lensInput = LensInput::FocalLength;
  run.focalLengthMm = focalLengthMm;
  for (int i = 1; i <= kDistanceSteps; ++i) {
    run.objectDistance = 2 * state.objectDistance * i / kDistanceSteps;
    ComputeGeometry(run, camera.pixelPitchX, camera.pixelPitchY);
    if (run.fieldWidth >= 0 && std::isfinite(run.fieldWidth)) {
      series.points.push_back({toUnit * run.objectDistance, toUnit * run.fieldWidth});
    }
  }
  return series;
}

}  // namespace

PlanCharts ComputeCharts(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs) {
  PlanCharts charts;
  charts.nearFocus.name = "Near Focus";
  charts.farFocus.name = "Far Focus";
  charts.motion.name = "Motion";
  charts.defocus.name = "Defocus";
  charts.diffraction.name = "Diffraction";
  charts.total.name = "Total";
  charts.pixelBlurByShutter.name = "Pixel Blur";
  charts.blurLimit = inputs.blurLimit.Usable() ? inputs.blurLimit.value : 0;
  charts.lengthUnit = LengthUnitName(state.unit);
  if (!PlanPrerequisite(state, camera).empty()) return charts;

  const double toUnit = FromMetersFactor(state.unit);
  const Symbols s = SymbolsOf(state, camera);

  CalcState run = state;
  for (const std::string_view entry : kFNumberListItems) {
    run.fNumber = ParseDouble(entry);
    ComputeGeometry(run, camera.pixelPitchX, camera.pixelPitchY);
    charts.nearFocus.points.push_back({run.fNumber, toUnit * run.nearFocus});
    const double far = run.farFocus >= 0 ? toUnit * run.farFocus : std::numeric_limits<double>::infinity();
    charts.farFocus.points.push_back({run.fNumber, far});
  }

  const bool moving = state.frameRate != 0;
  const double motion = std::fabs(state.pixelBlur);
  const double D = inputs.depth.Usable() ? inputs.depth.value : 0;
  const bool depthOk = inputs.depth.Usable() && s.u - D / 2 > 0;
  const bool lightOk = inputs.wavelength.Usable();
  for (int i = 0; i <= kFNumberSteps; ++i) {
    // Even steps in stops, as the chart's axis runs.
    const double N = kFirstFNumber * std::pow(kLastFNumber / kFirstFNumber, static_cast<double>(i) / kFNumberSteps);
    // The engine's working f-number for this f-number.
    const double nw = (1 / s.q + 1) * N;
    const double defocus = std::max(DefocusAt(s, N, s.u - D / 2), DefocusAt(s, N, s.u + D / 2));
    const double diffraction = lightOk ? DiffractionAt(s, inputs.wavelength.value, nw) : 0;
    if (moving) charts.motion.points.push_back({N, motion});
    if (depthOk) charts.defocus.points.push_back({N, defocus});
    if (lightOk) charts.diffraction.points.push_back({N, diffraction});
    if (moving && depthOk && lightOk) {
      charts.total.points.push_back({N, std::sqrt(motion * motion + defocus * defocus + diffraction * diffraction)});
    }
  }
  const BestFNumber best = ComputeBestFNumber(state, camera, inputs);
  if (best.optimum.Available()) charts.optimumFNumber = best.optimum.value;

  if (moving) {
    EngineBlur blurOf(state, camera);
    for (int n = 1; n <= kMaxShutterMultiple; ++n) {
      charts.pixelBlurByShutter.points.push_back({static_cast<double>(n), blurOf(state.frameRate, n, state.fieldRatio)});
    }
  }

  charts.fieldByDistance.push_back(FieldByDistance(state, camera, state.focalLengthMm));
  for (const KitLens& lens : inputs.kit) charts.fieldByDistance.push_back(FieldByDistance(state, camera, lens.focalLengthMm));
  return charts;
}

std::string EmptyChartText(const Plan& plan) {
  return plan.prerequisite.empty() ? "Nothing to draw for these inputs." : plan.prerequisite;
}

SideView SideViewOf(const Plan& plan) {
  SideView view;
  const CalcState& state = plan.state;
  view.valid = plan.prerequisite.empty() && state.resultsValid;
  view.distance = state.objectDistance;
  view.fieldWidth = state.fieldWidth;
  view.nearFocus = state.nearFocus;
  view.farFocus = state.farFocus < 0 ? std::numeric_limits<double>::infinity() : state.farFocus;
  view.subjectDepth = plan.inputs.depth.Usable() ? plan.inputs.depth.value : 0;
  const std::string unit(LengthUnitName(state.unit));
  const auto withUnit = [&unit](const std::string& text) {
    return text == kFarLimitAtInfinityText ? text : text + ' ' + unit;
  };
  view.distanceText = withUnit(plan.results.objectDistance);
  view.fieldWidthText = withUnit(plan.results.fieldWidth);
  view.nearText = withUnit(plan.results.nearFocus);
  view.farText = withUnit(plan.results.farFocus);
  view.angleText = plan.results.fieldAngle + " deg";
  view.emptyText = EmptyChartText(plan);
  return view;
}

}  // namespace korvan::planner
