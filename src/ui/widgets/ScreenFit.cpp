#include "ui/widgets/ScreenFit.h"

#include <algorithm>

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

namespace korvan {
namespace {

// A window that has not been shown has no frame yet; its parent's, drawn by the same window
// manager, stands in, else a title bar and a border of common size.
QMargins ExpectedFrame(const QWidget* window) {
  const QWidget* measured = window->isVisible() ? window : window->parentWidget();
  if (measured != nullptr && measured->isVisible()) {
    const QRect frame = measured->frameGeometry();
    const QRect inner = measured->geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    if (margins.top() > 0) return margins;
  }
  return {6, 32, 6, 6};
}

QScreen* ScreenOf(const QWidget* window) {
  if (const QWidget* parent = window->parentWidget()) return parent->window()->screen();
  if (QScreen* screen = window->screen()) return screen;
  return QGuiApplication::primaryScreen();
}

}  // namespace

QSize FittedSize(const QSize& content, const QMargins& frame, const QRect& available) {
  const QSize room = available.size().shrunkBy(frame);
  return content.boundedTo(room.expandedTo(QSize(1, 1)));
}

bool FitToScreen(QWidget* window) {
  QLayout* layout = window->layout();
  QScreen* screen = ScreenOf(window);
  if (layout == nullptr || screen == nullptr) return false;
  layout->activate();
  // A window not sized yet opens at its size hint.
  const QSize shown = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
  const QSize content = shown.expandedTo(layout->totalMinimumSize());
  const QMargins frame = ExpectedFrame(window);
  const QRect available = screen->availableGeometry();
  QSize fitted = FittedSize(content, frame, available);
  if (fitted == content) return false;
  // Room for the scroll bar that a cut dimension brings, where the screen has it, so that the
  // other dimension does not have to scroll as well.
  const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const QSize room = FittedSize(content + QSize(bar, bar), frame, available);
  if (fitted.height() < content.height()) fitted.setWidth(std::min(content.width() + bar, room.width()));
  if (fitted.width() < content.width()) fitted.setHeight(std::min(content.height() + bar, room.height()));

  // The content keeps its own layout and size inside a scroll area that fills the window; the
  // window's size limits move from the content to the area.
  auto* inner = new QWidget;
  inner->setObjectName(QStringLiteral("korvanScreenFitContent"));
  inner->setLayout(layout);  // takes the layout and its widgets from the window
  inner->setMinimumSize(content);
  auto* area = new QScrollArea;
  area->setObjectName(QString::fromLatin1(kScreenFitAreaName));
  area->setFrameShape(QFrame::NoFrame);
  area->setFocusPolicy(Qt::NoFocus);  // the keyboard goes to the controls, which scroll into view
  area->setAccessibleName(window->windowTitle());
  area->setWidgetResizable(true);
  area->setWidget(inner);
  auto* outer = new QVBoxLayout(window);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(area);

  window->setMinimumSize(std::min(fitted.width(), 4 * bar), std::min(fitted.height(), 4 * bar));
  window->setMaximumSize(content + QSize(bar, bar));
  window->resize(fitted);
  // Centred on the area, and wholly on it.
  const QSize frameSize = fitted.grownBy(frame);
  QPoint corner = available.center() - QPoint(frameSize.width() / 2, frameSize.height() / 2);
  corner.setX(std::max(available.left(), corner.x()));
  corner.setY(std::max(available.top(), corner.y()));
  window->move(corner);
  return true;
}

}  // namespace korvan
