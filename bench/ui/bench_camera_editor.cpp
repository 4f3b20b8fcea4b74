// The camera editor with a camera of 100,000 modes: pasting them all at once, and one keystroke
// in the name with all of them in the table. Both must feel instant.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "ui/cameraeditor/CCameraEditorDlg.h"

using namespace korvan;

namespace {

QString HundredThousandRows() {
  QString text;
  for (int i = 0; i < 100000; ++i) {
    text += QString::number(50 * (1 + i / 8)) + QLatin1Char('\t') + QString::number(1280 - 16 * (i % 8)) +
            QLatin1Char('\t') + QString::number(1024 - 16 * (i % 8)) + QLatin1Char('\n');
  }
  return text;
}

void BM_Paste100kRows(benchmark::State& bench) {
  const QString rows = HundredThousandRows();
  for (auto _ : bench) {
    bench.PauseTiming();
    auto editor = std::make_unique<CCameraEditorDlg>();
    editor->show();
    QApplication::processEvents();
    bench.ResumeTiming();
    editor->PasteRows(rows);
    QApplication::processEvents();  // the check and the preview, and the table's repaint
    bench.PauseTiming();
    editor.reset();
    bench.ResumeTiming();
  }
}
BENCHMARK(BM_Paste100kRows)->Unit(benchmark::kMillisecond);

void BM_NameKeystrokeWith100kModes(benchmark::State& bench) {
  CCameraEditorDlg editor;
  editor.show();
  editor.PasteRows(HundredThousandRows());
  QApplication::processEvents();
  auto* name = editor.findChild<QLineEdit*>(QStringLiteral("nameEdit"));
  name->setFocus();
  for (auto _ : bench) {
    QTest::keyClick(name, Qt::Key_A);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_NameKeystrokeWith100kModes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
