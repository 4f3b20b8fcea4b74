#pragma once

#include "planner/Planner.h"
#include "ui/widgets/CChartWidget.h"
#include "ui/widgets/CSideViewWidget.h"

// What the planner's charts and its side view show of a plan, for the window and the PDF sheet
// alike. Every text is the core's; lengths are in the calculator's unit.
namespace korvan {

ChartData BudgetChart(const planner::Plan& plan);
ChartData FocusChart(const planner::Plan& plan);
ChartData BlurChart(const planner::Plan& plan);
ChartData ShutterChart(const planner::Plan& plan);
ChartData FieldChart(const planner::Plan& plan);
SideViewData SideView(const planner::Plan& plan);

}  // namespace korvan
