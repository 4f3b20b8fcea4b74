// How long one keystroke takes with the planner open on its Charts page beside the calculator and
// the attachments window, and how long the PDF setup sheet takes to write.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <ctime>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "optics/ControlIds.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/planner/CLensKitEditor.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/widgets/CChartWidget.h"
#include "ui/planner/CPlannerDlg.h"
#include "ui/widgets/Controls.h"
#include "ReadyCalculator.h"

using namespace korvan;

namespace {

using bench::Control;

// The calculator with a full set of inputs, the attachments window open with a tele-extender on,
// the planner open on its Charts page with a depth and a kit of six lenses, and the keyboard in
// the Object Distance box.
struct ReadyWindows {
  CCalculatorDlg window;
  QLineEdit* distance = nullptr;
  CChartWidget* fieldChart = nullptr;

  bool Prepare(const char* page = "chartsPage") {
    if (!bench::ShowWithAttachments(window)) return false;
    QTest::mouseClick(Control<QWidget>(&window, ids::kPlannerButton), Qt::LeftButton);
    CPlannerDlg* planner = window.PlannerWindow();
    if (!QTest::qWaitForWindowExposed(planner)) return false;
    planner->findChild<QLineEdit*>(QStringLiteral("depthEdit"))->setText(QStringLiteral("0.2"));
    planner->findChild<CLensKitEditor*>()->SetKitText("8, 12.5, 16, 25, 35, 50");
    auto* pages = planner->findChild<QTabWidget*>(QStringLiteral("pages"));
    for (const auto& [box, text] : {std::pair{"isoEdit", "1600"}, std::pair{"lampLuxEdit", "5000"},
                                    std::pair{"lampDistanceEdit", "1.5"}}) {
      planner->findChild<QLineEdit*>(QLatin1String(box))->setText(QLatin1String(text));
    }
    pages->setCurrentWidget(pages->findChild<QWidget*>(QLatin1String(page)));
    planner->RefreshPlanner();
    fieldChart = planner->findChild<CChartWidget*>(QStringLiteral("fieldChart"));

    distance = bench::FocusObjectDistance(window);
    return distance && window.AttachmentsWindow()->isVisible() && planner->isVisible() &&
           fieldChart->Data().series.size() == 7;
  }

  // The distance the field chart marks: it moves with every keystroke.
  double Marked() const { return fieldChart->Data().currentX ? fieldChart->Data().currentX->at : -1; }
};

// One keystroke: the digit 5 and Backspace take turns, so the box reads 25 and 2 by turns and
// every keystroke changes every result, adjusted value, planner value and chart.
void BM_KeystrokeWithPlannerOnCharts(benchmark::State& state) {
  ReadyWindows ready;
  if (!ready.Prepare()) {
    state.SkipWithError("the windows could not be prepared");
    return;
  }
  const double atTwo = ready.Marked();
  QTest::keyClick(ready.distance, Qt::Key_5);
  const double atTwentyFive = ready.Marked();
  QTest::keyClick(ready.distance, Qt::Key_Backspace);
  if (atTwo != 2 || atTwentyFive != 25 || ready.Marked() != atTwo) {
    state.SkipWithError("the planner does not follow");
    return;
  }
  bool typed = false;
  for (auto _ : state) {
    QTest::keyClick(ready.distance, typed ? Qt::Key_Backspace : Qt::Key_5);
    typed = !typed;
  }
  if (ready.Marked() != (typed ? atTwentyFive : atTwo)) state.SkipWithError("a keystroke was lost");
}
BENCHMARK(BM_KeystrokeWithPlannerOnCharts)->Unit(benchmark::kMicrosecond);

// The keystroke with the Light page in front, without and with the repaint.
void BM_KeystrokeWithPlannerOnLight(benchmark::State& state) {
  ReadyWindows ready;
  if (!ready.Prepare("lightPage")) {
    state.SkipWithError("the windows could not be prepared");
    return;
  }
  const bool repaint = state.range(0) != 0;
  bool typed = false;
  for (auto _ : state) {
    QTest::keyClick(ready.distance, typed ? Qt::Key_Backspace : Qt::Key_5);
    typed = !typed;
    if (repaint) QApplication::processEvents();
  }
  if (!ready.window.PlannerWindow()->CurrentPlan().light.needed.Available()) state.SkipWithError("no light figures");
}
BENCHMARK(BM_KeystrokeWithPlannerOnLight)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same keystroke followed by the repaint of the three windows, the five charts included.
void BM_KeystrokeWithPlannerAndRepaint(benchmark::State& state) {
  ReadyWindows ready;
  if (!ready.Prepare()) {
    state.SkipWithError("the windows could not be prepared");
    return;
  }
  bool typed = false;
  for (auto _ : state) {
    QTest::keyClick(ready.distance, typed ? Qt::Key_Backspace : Qt::Key_5);
    typed = !typed;
    QApplication::processEvents();
  }
}
BENCHMARK(BM_KeystrokeWithPlannerAndRepaint)->Unit(benchmark::kMicrosecond);

// Writing the PDF sheet of that set-up: the page, its fonts, the side view and the budget chart.
void BM_ExportPdfSheet(benchmark::State& state) {
  ReadyWindows ready;
  QTemporaryDir dir;
  if (!ready.Prepare() || !dir.isValid()) {
    state.SkipWithError("the windows could not be prepared");
    return;
  }
  const SheetRequest request{dir.filePath(QStringLiteral("sheet.pdf")), SheetForm::Pdf, QStringLiteral("bench")};
  const planner::SheetInfo info{planner::SheetDateTime(std::time(nullptr)), "bench"};
  for (auto _ : state) {
    const QString failure = WriteSheet(request, ready.window.PlannerWindow()->CurrentPlan(), info);
    if (!failure.isEmpty()) {
      state.SkipWithError(failure.toStdString().c_str());
      return;
    }
  }
}
BENCHMARK(BM_ExportPdfSheet)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
