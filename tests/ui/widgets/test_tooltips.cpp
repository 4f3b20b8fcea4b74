// Every control of every window explains itself: a walk over the inputs, results and buttons of
// each window finds a tooltip on each. A window joins the walk with one row in `windows`.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest/QtTest>
#include <functional>

#include "ui/WindowDriver.h"
#include "ui/about/CAboutDlg.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/calculator/CMyFileDialog.h"
#include "ui/cameraeditor/CCameraEditorDlg.h"
#include "ui/help/CHelpDlg.h"
#include "ui/planner/CPlannerDlg.h"

using namespace korvan;
using namespace korvan::testing;

namespace {

// Parts of a composite control (a list's line edit, a table's corner button, a scroll bar's
// arrows) are explained by the control they belong to.
bool IsPartOfAnother(const QWidget* widget, const QWidget* window) {
  for (const QWidget* up = widget->parentWidget(); up != nullptr && up != window; up = up->parentWidget()) {
    if (qobject_cast<const QComboBox*>(up) || qobject_cast<const QAbstractSpinBox*>(up) ||
        qobject_cast<const QAbstractItemView*>(up)) {
      return true;
    }
  }
  return widget->objectName().startsWith(QLatin1String("qt_")) || qobject_cast<const QHeaderView*>(widget);
}

bool IsControl(const QWidget* widget) {
  return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
         qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QAbstractItemView*>(widget) ||
         qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QTextBrowser*>(widget);
}

// The window's own controls that a user can see and use, without a tooltip, on every page of its
// tabs (which show one page at a time).
QStringList ControlsWithoutToolTip(QWidget* window) {
  QStringList missing;
  int controls = 0;
  const auto walk = [&] {
    for (QWidget* widget : window->findChildren<QWidget*>()) {
      if (widget->window() != window || !widget->isVisibleTo(window) || !IsControl(widget)) continue;
      if (IsPartOfAnother(widget, window)) continue;
      ++controls;
      if (widget->toolTip().trimmed().isEmpty()) {
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        missing << QStringLiteral("%1 %2").arg(widget->objectName(), button ? button->text() : QString());
      }
    }
  };
  walk();
  for (QTabWidget* pages : window->findChildren<QTabWidget*>()) {
    for (int page = 0; page < pages->count(); ++page) {
      pages->setCurrentIndex(page);
      walk();
    }
  }
  missing.removeDuplicates();
  if (controls == 0) missing << QStringLiteral("(no controls found)");
  return missing;
}

}  // namespace

class ToolTipTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CCalculatorDlg> calculator;
  RecordingSink sink;

 private slots:
  void initTestCase() { QuietenPlatformWarnings(); }
  void init() { QVERIFY(ShowCalculator(calculator, ContextFor(sink))); }
  void cleanup() { calculator.reset(); }

  void every_control_of_every_window_has_a_tooltip() {
    const std::vector<std::pair<const char*, std::function<QWidget*()>>> windows = {
        {"calculator", [&] { return calculator.get(); }},
        {"attachments", [&] { return calculator->AttachmentsWindow(); }},
        {"camera editor", [&] { return new CCameraEditorDlg({}, calculator.get()); }},
        {"about", [&] { return new CAboutDlg(calculator.get()); }},
        {"camera file dialog", [&] { return new CMyFileDialog(calculator.get()); }},
        {"help", [&] { return new CHelpDlg(calculator.get()); }},
        {"planner", [&] {
           Click(calculator.get(), ids::kPlannerButton);
           return calculator->PlannerWindow();
         }},
    };
    for (const auto& [name, open] : windows) {
      QWidget* window = open();
      window->show();
      QVERIFY(QTest::qWaitForWindowExposed(window));
      const QStringList missing = ControlsWithoutToolTip(window);
      QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(name, missing.join(", "))));
      if (window != calculator.get()) window->hide();
    }
  }

  void f1_and_the_help_item_open_the_guide() {
    QTest::keyClick(calculator.get(), Qt::Key_F1);
    auto* help = calculator->findChild<CHelpDlg*>();
    QVERIFY(help != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(help));
    QVERIFY(help->Browser()->toPlainText().contains(QLatin1String("The calculator")));
    QVERIFY(help->Browser()->toPlainText().contains(QLatin1String("korvan-lens")));
    help->hide();
    const QList<QAction*> actions = calculator->actions();
    const auto item = std::find_if(actions.begin(), actions.end(), [](QAction* a) { return a->text() == "Help"; });
    QVERIFY(item != actions.end());
    (*item)->trigger();
    QVERIFY(help->isVisible());
    QCOMPARE(calculator->findChildren<CHelpDlg*>().size(), 1);  // the one window comes back
  }
};

QTEST_MAIN(ToolTipTest)
#include "test_tooltips.moc"
