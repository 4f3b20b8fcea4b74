#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "optics/ControlIds.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/widgets/Controls.h"

namespace korvan::bench {

template <class Widget>
Widget* Control(const QWidget* window, int id) {
  return window->findChild<Widget*>(ControlName(id));
}

// The set-up every window benchmark starts from: a full set of inputs and the attachments window
// open with a tele-extender on, so that a keystroke changes every result and every adjusted value.
inline bool ShowWithAttachments(CCalculatorDlg& window) {
  window.show();
  if (!QTest::qWaitForWindowActive(&window)) return false;
  for (auto [id, text] : {std::pair{ids::kFieldWidthEdit, "0.5"}, std::pair{ids::kVelocityEdit, "3"},
                          std::pair{ids::kObjectDistanceEdit, "2"}}) {
    auto* edit = Control<QLineEdit>(&window, id);
    edit->setFocus();
    QTest::keyClicks(edit, text);
  }
  QTest::mouseClick(Control<QWidget>(&window, ids::kAttachmentsButton), Qt::LeftButton);
  CAttachmentsDlg* attachments = window.AttachmentsWindow();
  if (!QTest::qWaitForWindowExposed(attachments)) return false;
  QTest::mouseClick(Control<QCheckBox>(attachments, ids::kTeleExtenderCheck), Qt::LeftButton);
  auto* factor = Control<QComboBox>(attachments, ids::kTeleExtenderList);
  factor->setCurrentIndex(1);
  emit factor->activated(1);
  return true;
}

// Gives the keyboard back to the calculator's Object Distance box, caret at the end.
inline QLineEdit* FocusObjectDistance(CCalculatorDlg& window) {
  window.activateWindow();
  if (!QTest::qWaitForWindowActive(&window)) return nullptr;
  auto* distance = Control<QLineEdit>(&window, ids::kObjectDistanceEdit);
  distance->setFocus();
  distance->end(false);
  QApplication::processEvents();
  return QApplication::focusWidget() == distance ? distance : nullptr;
}

}  // namespace korvan::bench
