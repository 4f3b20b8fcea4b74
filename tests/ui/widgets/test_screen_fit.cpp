// Every window lies on the screen and every button can be reached, on a laptop at 125 % and a
// full-HD screen at 200 % (where the windows scroll) and on a desktop (where nothing changes).
// ctest gives the screen and the scale; KORVAN_EXPECT_SCROLL says whether the calculator must scroll.
#include <QAbstractButton>
#include <QScreen>
#include <QScrollArea>
#include <QtTest/QtTest>

#include "optics/ControlIds.h"
#include "ui/WindowDriver.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/cameraeditor/CCameraEditorDlg.h"
#include "ui/planner/CPlannerDlg.h"
#include "ui/widgets/ScreenFit.h"

using namespace korvan;
using namespace korvan::testing;

namespace {

QRect Global(const QWidget* widget) { return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()); }

QScrollArea* FitArea(const QWidget* window) {
  return window->findChild<QScrollArea*>(QString::fromLatin1(kScreenFitAreaName));
}

}  // namespace

class ScreenFitTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CCalculatorDlg> calculator;
  RecordingSink sink;
  bool expectScroll = qEnvironmentVariableIntValue("KORVAN_EXPECT_SCROLL") != 0;

  QRect Available() const { return calculator->screen()->availableGeometry(); }

  // Each button, scrolled into view where the window scrolls, lies on the screen within the
  // window's visible part.
  void CheckButtonsReachable(QWidget* window) {
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY2(Available().contains(window->frameGeometry()), qPrintable(window->objectName()));
    QScrollArea* area = FitArea(window);
    const QList<QAbstractButton*> buttons = window->findChildren<QAbstractButton*>();
    QVERIFY(!buttons.isEmpty());
    for (QAbstractButton* button : buttons) {
      if (!button->isVisibleTo(window)) continue;
      if (area != nullptr) area->ensureWidgetVisible(button, 0, 0);
      const QRect seen = area != nullptr ? Global(area->viewport()) : Global(window);
      QVERIFY2(seen.contains(Global(button)), qPrintable(button->text()));
      QVERIFY2(Available().contains(Global(button)), qPrintable(button->text()));
    }
  }

 private slots:
  void initTestCase() { QuietenPlatformWarnings(); }
  void init() { QVERIFY(ShowCalculator(calculator, ContextFor(sink))); }
  void cleanup() { calculator.reset(); }

  void calculator_lies_on_the_screen_and_quit_can_be_clicked() {
    QCOMPARE(FitArea(calculator.get()) != nullptr, expectScroll);
    if (!expectScroll) QCOMPARE(calculator->size(), calculator->minimumSize());  // still its fixed size
    QVERIFY(Available().contains(calculator->frameGeometry()));
    auto* quit = Control<QAbstractButton>(calculator.get(), ids::kQuitButton);
    if (QScrollArea* area = FitArea(calculator.get())) area->ensureWidgetVisible(quit, 0, 0);
    QVERIFY(Available().contains(Global(quit)));
    QTest::mouseClick(quit, Qt::LeftButton);
    QTRY_VERIFY(!calculator->isVisible());
    QCOMPARE(calculator->result(), int(QDialog::Accepted));
  }

  void every_button_of_every_window_is_reachable() {
    CheckButtonsReachable(calculator.get());
    Click(calculator.get(), ids::kAttachmentsButton);
    CheckButtonsReachable(calculator->AttachmentsWindow());
    Click(calculator.get(), ids::kPlannerButton);
    QVERIFY(calculator->PlannerWindow() != nullptr);
    CheckButtonsReachable(calculator->PlannerWindow());
    CCameraEditorDlg editor({}, calculator.get());
    editor.show();
    CheckButtonsReachable(&editor);
  }

  void the_fitted_size_is_the_content_where_it_fits_and_the_room_where_not() {
    const QRect screen(0, 0, 1000, 700);
    const QMargins frame(5, 30, 5, 5);
    QCOMPARE(FittedSize({800, 600}, frame, screen), QSize(800, 600));
    QCOMPARE(FittedSize({990, 600}, frame, screen), QSize(990, 600));
    QCOMPARE(FittedSize({991, 666}, frame, screen), QSize(990, 665));
  }
};

QTEST_MAIN(ScreenFitTest)
#include "test_screen_fit.moc"
