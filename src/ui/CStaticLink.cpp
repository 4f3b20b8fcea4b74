#include "ui/CStaticLink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QUrl>

namespace korvan {

CStaticLink::CStaticLink(QWidget* parent) : QLabel(parent) {
  shell_ = {[](const QUrl& url) { return QDesktopServices::openUrl(url); }, [] { QApplication::beep(); }};
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);  // reachable from the keyboard, opened with Space or Enter
  setTextInteractionFlags(Qt::NoTextInteraction);
}

void CStaticLink::SetShell(Shell shell) { shell_ = std::move(shell); }

bool CStaticLink::ShowsText() const { return pixmap().isNull() && picture().isNull() && movie() == nullptr; }

void CStaticLink::UpdateLook() {
  if (!ShowsText()) return;
  if (!underlined_) {
    QFont underlinedFont = font();
    underlinedFont.setUnderline(true);
    setFont(underlinedFont);
    underlined_ = true;
  }
  QPalette colours = palette();
  const QColor colour = visited_ ? visitedColor_ : unvisitedColor_;
  for (auto group : {QPalette::Active, QPalette::Inactive}) colours.setColor(group, QPalette::WindowText, colour);
  setPalette(colours);
}

bool CStaticLink::event(QEvent* event) {
  // The looks are settled when the label is first polished, after a form has set its text.
  if (event->type() == QEvent::Polish) UpdateLook();
  return QLabel::event(event);
}

void CStaticLink::Open() {
  if (linkTarget_.isEmpty()) linkTarget_ = text();
  if (!shell_.open || !shell_.open(QUrl(linkTarget_))) {
    if (shell_.beep) shell_.beep();
    return;
  }
  visited_ = true;
  UpdateLook();
  update();
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    Open();
    event->accept();
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

void CStaticLink::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Taken here, so Enter on the link does not also accept the dialog around it.
      Open();
      event->accept();
      return;
    default:
      QLabel::keyPressEvent(event);
  }
}

void CStaticLink::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.rect = contentsRect();
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

}  // namespace korvan
