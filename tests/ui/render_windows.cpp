// Renders the windows offscreen into PNG files, for the README's screenshot and for looking at
// every page at any QT_SCALE_FACTOR: render_windows OUTPUT_DIR. Writes calculator.png,
// planner-<page>.png for each page, calculator-with-planner.png, both windows side by side, and
// sheet.pdf, the setup sheet.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QTabWidget>
#include <QTest>
#include <ctime>

#include "WindowDriver.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/planner/CLensKitEditor.h"
#include "ui/planner/CPlannerDlg.h"

using namespace korvan;
using namespace korvan::testing;

namespace {

QImage Grab(QWidget* window) {
  QApplication::processEvents();
  return window->grab().toImage();
}

void Type(QWidget* window, const char* name, const QString& text) {
  auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name));
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QuietenPlatformWarnings();
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(dir);

  CCalculatorDlg calculator;
  calculator.show();
  if (!QTest::qWaitForWindowActive(&calculator)) return 1;
  // The worked example: 2 m away, 0.5 m wide, f/2.8, shutter 3x, 1 m/s.
  TypeInto(&calculator, ids::kObjectDistanceEdit, "2");
  TypeInto(&calculator, ids::kFieldWidthEdit, "0.5");
  TypeInto(&calculator, ids::kVelocityEdit, "1");
  Choose(&calculator, ids::kShutterList, Entries(&calculator, ids::kShutterList).value(2));
  Choose(&calculator, ids::kFNumberList, "2.8");
  bool saved = Grab(&calculator).save(dir + QStringLiteral("/calculator.png"));

  Click(&calculator, ids::kPlannerButton);
  CPlannerDlg* planner = calculator.PlannerWindow();
  if (!QTest::qWaitForWindowActive(planner)) return 1;
  Type(planner, "depthEdit", "0.2");
  Type(planner, "eventEdit", "20");
  Type(planner, "memoryEdit", "16");
  Type(planner, "isoEdit", "1600");
  Type(planner, "lampLuxEdit", "5000");
  Type(planner, "lampDistanceEdit", "1.5");
  Type(planner, "mainsEdit", "50");
  planner->findChild<CLensKitEditor*>()->SetKitText(
      "name,focalLength,fNumberMin,fNumberMax,closestFocus,imageCircle,mount\n"
      "Bars 8,8,1.4,16,0.1,6,C\nBars 12.5,12.5,1.4,16,0.1,8,C\nBars 16,16,1.4,16,0.2,8,C\n"
      "Bars 25,25,1.4,16,0.3,8,C\nBars 35,35,1.6,22,0.3,11,C\nZoom 50,50,2.8,,3,4,M42\n");
  planner->RefreshPlanner();

  auto* pages = planner->findChild<QTabWidget*>(QStringLiteral("pages"));
  QImage charts;
  for (int page = 0; page < pages->count(); ++page) {
    pages->setCurrentIndex(page);
    const QImage image = Grab(planner);
    const QString name = pages->widget(page)->objectName().chopped(4);  // "sharpnessPage" -> "sharpness"
    saved = image.save(dir + QStringLiteral("/planner-") + name + QStringLiteral(".png")) && saved;
    if (name == QLatin1String("charts")) charts = image;
  }

  // Both windows side by side, as they stand on a desktop.
  const QImage left = Grab(&calculator);
  const int gap = 16;
  QImage both(left.width() + gap + charts.width(), std::max(left.height(), charts.height()), QImage::Format_RGB32);
  both.setDevicePixelRatio(left.devicePixelRatio());
  both.fill(QColor(90, 98, 110));
  {
    QPainter painter(&both);
    const double ratio = left.devicePixelRatio();
    painter.drawImage(QPointF(0, 0), left);
    painter.drawImage(QPointF((left.width() + gap) / ratio, 0), charts);
  }
  saved = both.save(dir + QStringLiteral("/calculator-with-planner.png")) && saved;

  const SheetRequest sheet{dir + QStringLiteral("/sheet.pdf"), SheetForm::Pdf, QStringLiteral("Rig B, take 7")};
  const planner::SheetInfo info{planner::SheetDateTime(std::time(nullptr)), "Rig B, take 7"};
  saved = WriteSheet(sheet, planner->CurrentPlan(), info).isEmpty() && saved;
  return saved ? 0 : 1;
}
