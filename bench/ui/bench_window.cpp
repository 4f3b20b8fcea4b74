// How long the calculator takes to answer one keystroke, and to open.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "optics/ControlIds.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/widgets/Controls.h"
#include "ReadyCalculator.h"

using namespace korvan;

namespace {

using bench::Control;

// A window with a full set of inputs, the attachments window open with a tele-extender on, and
// the keyboard in the Object Distance box.
struct ReadyWindow {
  CCalculatorDlg window;
  QLineEdit* distance = nullptr;

  bool Prepare() {
    if (!bench::ShowWithAttachments(window)) return false;
    distance = bench::FocusObjectDistance(window);
    return distance && window.AttachmentsWindow()->isVisible();
  }
};

// One keystroke: the digit 5 and Backspace take turns, so the box reads 25 and 2 by turns and
// every keystroke runs a full cycle that changes every result and every adjusted value.
void BM_KeystrokeInObjectDistance(benchmark::State& state) {
  ReadyWindow ready;
  if (!ready.Prepare()) {
    state.SkipWithError("the window could not be activated");
    return;
  }
  auto* focal = Control<QLineEdit>(ready.window.AttachmentsWindow(), ids::kAdjFocalLengthBox);
  const QString atTwo = focal->text();
  QTest::keyClick(ready.distance, Qt::Key_5);
  const QString atTwentyFive = focal->text();
  QTest::keyClick(ready.distance, Qt::Key_Backspace);
  if (atTwo == atTwentyFive || focal->text() != atTwo) {
    state.SkipWithError("the attachments window does not follow");
    return;
  }
  bool typed = false;
  for (auto _ : state) {
    QTest::keyClick(ready.distance, typed ? Qt::Key_Backspace : Qt::Key_5);
    typed = !typed;
  }
  if (focal->text() != (typed ? atTwentyFive : atTwo)) state.SkipWithError("a keystroke was lost");
}
BENCHMARK(BM_KeystrokeInObjectDistance)->Unit(benchmark::kMicrosecond);

// The same keystroke followed by the repaint of both windows.
void BM_KeystrokeAndRepaint(benchmark::State& state) {
  ReadyWindow ready;
  if (!ready.Prepare()) {
    state.SkipWithError("the window could not be activated");
    return;
  }
  bool typed = false;
  for (auto _ : state) {
    QTest::keyClick(ready.distance, typed ? Qt::Key_Backspace : Qt::Key_5);
    typed = !typed;
    QApplication::processEvents();
  }
}
BENCHMARK(BM_KeystrokeAndRepaint)->Unit(benchmark::kMicrosecond);

// Building the window from its form and running its initialisation, with the generic camera
// applied and two full cycles run.
void BM_ConstructAndInitialise(benchmark::State& state) {
  for (auto _ : state) {
    CCalculatorDlg window;
    benchmark::DoNotOptimize(window.State().sensorWidthPx);
  }
}
BENCHMARK(BM_ConstructAndInitialise)->Unit(benchmark::kMillisecond);

// The same up to the first frame on the screen.
void BM_ConstructAndShow(benchmark::State& state) {
  for (auto _ : state) {
    CCalculatorDlg window;
    window.show();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_ConstructAndShow)->Unit(benchmark::kMillisecond);

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
