#include "ui/planner/PlannerCharts.h"

#include <algorithm>
#include <cmath>

#include "optics/ComputeModes.h"
#include "optics/NumberText.h"
#include "optics/Units.h"
#include "ui/widgets/Controls.h"

namespace korvan {

namespace {

using planner::ChartSeries;
using planner::Plan;
using planner::PlanNumber;

QString Q(const std::string& text) { return QString::fromStdString(text); }

ChartData::Series ToSeries(const ChartSeries& series, bool dashed = false) {
  ChartData::Series out;
  out.name = Q(series.name);
  out.dashed = dashed;
  out.points.reserve(series.points.size());
  for (const planner::ChartPoint& point : series.points) out.points.emplace_back(point.x, point.y);
  return out;
}

QString Why(const Plan& plan) { return Q(planner::EmptyChartText(plan)); }

// f-numbers in stops, ticked at the f-number list's entries.
std::vector<std::pair<double, QString>> FNumberStops() {
  std::vector<std::pair<double, QString>> stops;
  for (const std::string_view entry : kFNumberListItems) {
    const double value = ParseDouble(entry);
    stops.emplace_back(value, Q(FormatG4(value)));
  }
  return stops;
}

QString LengthAxis(const Plan& plan, const char* name) {
  return QString::fromLatin1(name) + QStringLiteral(" (") + Q(plan.charts.lengthUnit) + QStringLiteral(")");
}

}  // namespace

ChartData BudgetChart(const Plan& plan) {
  ChartData data;
  data.title = QStringLiteral("Sharpness Budget");
  data.xAxis = QStringLiteral("blur (pixels)");
  const planner::SharpnessBudget& budget = plan.budget;
  const std::pair<const char*, const PlanNumber*> rows[] = {
      {"Motion", &budget.motion},       {"Defocus", &budget.defocus}, {"Diffraction", &budget.diffraction},
      {"Total (RSS)", &budget.total},   {"Linear sum", &budget.linearSum}};
  for (const auto& [label, number] : rows) {
    data.bars.push_back({QString::fromLatin1(label), number->value, Q(number->text)});
  }
  if (plan.inputs.blurLimit.Usable()) data.limitY = ChartData::Marker{plan.inputs.blurLimit.value, QStringLiteral("blur limit")};
  data.emptyText = Why(plan);
  return data;
}

ChartData FocusChart(const Plan& plan) {
  ChartData data;
  data.title = QStringLiteral("Near and Far Focus");
  data.xAxis = QStringLiteral("f-number");
  data.yAxis = LengthAxis(plan, "distance");
  data.xStops = FNumberStops();
  data.series = {ToSeries(plan.charts.nearFocus), ToSeries(plan.charts.farFocus)};
  const CalcState& state = plan.mounted;
  if (state.fNumber > 0) data.currentX = ChartData::Marker{state.fNumber, QStringLiteral("f-number in force")};
  const double toUnit = FromMetersFactor(state.unit);
  const double u = state.objectDistance * toUnit;
  if (u > 0 && std::isfinite(u)) {
    data.targetY = ChartData::Marker{u, QStringLiteral("focus distance")};
    double reach = u;
    if (plan.inputs.depth.Usable() && plan.inputs.depth.value > 0) {
      const double depth = plan.inputs.depth.value * toUnit;
      data.yBand = ChartData::Band{std::max(0.0, u - depth / 2), u + depth / 2, QStringLiteral("subject depth")};
      reach = u + depth / 2;
    }
    // The region that matters: the subject and twice as far; a far focus beyond it is an arrow.
    data.yCeiling = 2 * reach;
  }
  data.emptyText = Why(plan);
  return data;
}

ChartData BlurChart(const Plan& plan) {
  ChartData data;
  data.title = QStringLiteral("Blur against f-Number");
  data.xAxis = QStringLiteral("f-number");
  data.yAxis = QStringLiteral("blur (pixels)");
  data.xStops = FNumberStops();
  data.series = {ToSeries(plan.charts.motion), ToSeries(plan.charts.defocus), ToSeries(plan.charts.diffraction),
                 ToSeries(plan.charts.total, true)};
  if (plan.mounted.fNumber > 0) {
    data.currentX = ChartData::Marker{plan.mounted.fNumber, QStringLiteral("f-number in force")};
  }
  if (plan.charts.optimumFNumber) data.extraX = ChartData::Marker{*plan.charts.optimumFNumber, QStringLiteral("N*")};
  if (std::isfinite(plan.charts.blurLimit) && plan.charts.blurLimit > 0) {
    data.limitY = ChartData::Marker{plan.charts.blurLimit, QStringLiteral("blur limit")};
  }
  data.emptyText = Why(plan);
  return data;
}

ChartData ShutterChart(const Plan& plan) {
  ChartData data;
  data.title = QStringLiteral("Pixel Blur against Shutter");
  data.xAxis = QStringLiteral("shutter multiple (x)");
  data.yAxis = QStringLiteral("pixel blur (pixels)");
  data.series = {ToSeries(plan.charts.pixelBlurByShutter)};
  if (plan.state.shutterMultiple > 0) {
    data.currentX = ChartData::Marker{double(plan.state.shutterMultiple), QStringLiteral("shutter in force")};
  }
  if (std::isfinite(plan.charts.blurLimit) && plan.charts.blurLimit > 0) {
    data.limitY = ChartData::Marker{plan.charts.blurLimit, QStringLiteral("blur limit")};
  }
  data.emptyText = Why(plan);
  return data;
}

ChartData FieldChart(const Plan& plan) {
  ChartData data;
  data.title = QStringLiteral("Field Width against Distance");
  data.xAxis = LengthAxis(plan, "object distance");
  data.yAxis = LengthAxis(plan, "field width");
  // The lens in force first; a kit lens of the same focal length is that very curve.
  for (const ChartSeries& series : plan.charts.fieldByDistance) {
    const QString name = Q(series.name);
    if (std::any_of(data.series.begin(), data.series.end(), [&](const auto& s) { return s.name.startsWith(name); })) {
      continue;
    }
    data.series.push_back(ToSeries(series));
    if (data.series.size() == 1) data.series.back().name += QStringLiteral(" (in force)");
  }
  const double toUnit = FromMetersFactor(plan.mounted.unit);
  if (plan.mounted.objectDistance > 0) {
    data.currentX = ChartData::Marker{plan.mounted.objectDistance * toUnit, QStringLiteral("distance in force")};
  }
  if (plan.state.fieldWidth > 0 && std::isfinite(plan.state.fieldWidth)) {
    data.targetY = ChartData::Marker{plan.state.fieldWidth * toUnit, QStringLiteral("wanted field")};
  }
  data.emptyText = Why(plan);
  return data;
}

SideViewData SideView(const Plan& plan) {
  const planner::SideView view = planner::SideViewOf(plan);
  SideViewData data;
  data.valid = view.valid;
  data.distance = view.distance;
  data.fieldWidth = view.fieldWidth;
  data.nearFocus = view.nearFocus;
  data.farFocus = view.farFocus;
  data.subjectDepth = view.subjectDepth;
  data.distanceText = Q(view.distanceText);
  data.fieldWidthText = Q(view.fieldWidthText);
  data.nearText = Q(view.nearText);
  data.farText = Q(view.farText);
  data.angleText = Q(view.angleText);
  data.emptyText = Q(view.emptyText);
  return data;
}

}  // namespace korvan
