#pragma once

// Drives the windows as a person would: focus a box and type, pick list entries from their
// pop-ups, click buttons, and read texts back.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include "ui/calculator/CCalculatorDlg.h"
#include "ui/widgets/Controls.h"
#include "common/RecordingSink.h"

namespace korvan::testing {

// The offscreen platform warns about every pop-up it cannot raise or grab the keyboard for;
// those warnings say nothing about the windows under test.
inline void QuietenPlatformWarnings() {
  static QtMessageHandler previous = nullptr;
  previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support"))) return;
    if (previous) previous(type, context, text);
  });
}

// Opens a calculator on `context` as the program does and waits until it is active. False when it
// never becomes active, so that a fixture can QVERIFY it.
[[nodiscard]] inline bool ShowCalculator(std::unique_ptr<CCalculatorDlg>& window, const CalculatorContext& context) {
  window = std::make_unique<CCalculatorDlg>(context);
  window->show();
  return QTest::qWaitForWindowActive(window.get());
}

// A context whose messages go to `sink`, with everything else as the program's defaults.
inline CalculatorContext ContextFor(RecordingSink& sink) {
  CalculatorContext context;
  context.messages = &sink;
  return context;
}

template <class Widget = QWidget>
Widget* Control(const QWidget* window, int id) {
  // The window's own control, not one of the same number in a window it owns (its controls may lie
  // deeper than those, inside a scroll area).
  for (Widget* widget : window->findChildren<Widget*>(ControlName(id))) {
    if (widget->window() == window) return widget;
  }
  qFatal("control %d is missing", id);
}

inline QString Text(const QWidget* window, int id) {
  const QWidget* widget = Control(window, id);
  if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (auto* list = qobject_cast<const QComboBox*>(widget)) return list->currentText();
  qFatal("control %d has no text", id);
}

inline QStringList Entries(const QWidget* window, int id) {
  const auto* list = Control<QComboBox>(window, id);
  QStringList entries;
  for (int index = 0; index < list->count(); ++index) entries << list->itemText(index);
  return entries;
}

// Clicks into the box, selects what it holds and types over it, one key at a time.
inline void TypeInto(QWidget* window, int id, const QString& text) {
  auto* edit = Control<QLineEdit>(window, id);
  QTest::mouseClick(edit, Qt::LeftButton);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  if (text.isEmpty()) {
    QTest::keyClick(edit, Qt::Key_Delete);
  } else {
    QTest::keyClicks(edit, text);
  }
}

// Types more at the caret of the box that has the focus.
inline void TypeMore(QWidget* window, int id, const QString& text) {
  QTest::keyClicks(Control<QLineEdit>(window, id), text);
}

// Clicks the list, which takes the focus and opens its pop-up, and clicks the entry with that text.
// True when the entry was there and the pop-up closed on the click; what the selection shows
// afterwards is up to the window.
inline bool Choose(QWidget* window, int id, const QString& text) {
  auto* list = Control<QComboBox>(window, id);
  const int index = list->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (index < 0) return false;
  list->setFocus(Qt::MouseFocusReason);
  list->showPopup();
  QAbstractItemView* view = list->view();
  if (!QTest::qWaitForWindowExposed(view->window())) return false;
  const QModelIndex entry = view->model()->index(index, list->modelColumn(), view->rootIndex());
  view->scrollTo(entry);
  const QPoint where = view->visualRect(entry).center();
  QTest::mouseMove(view->viewport(), where);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where);
  return !view->window()->isVisible();
}

inline void Click(QWidget* window, int id) { QTest::mouseClick(Control(window, id), Qt::LeftButton); }

}  // namespace korvan::testing
