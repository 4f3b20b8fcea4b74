#include "ui/widgets/WindowPlacement.h"

#include <algorithm>
#include <cstdlib>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace korvan {

namespace {

// Room between the two frames, so that neither frame's edge hides the other's.
constexpr int kGap = 6;

// The last place a window was put by ShowBeside, kept as a child of the window so that it lives
// and dies with it.
class PlacementRecord : public QObject {
 public:
  explicit PlacementRecord(QWidget* window) : QObject(window) { setObjectName(QStringLiteral("korvanPlacement")); }
  QPoint placedAt;
  bool userMoved = false;
};

// Moves `rect` by as little as needed to lie on `area` (its top-left corner wins when it is larger).
QRect KeptOn(QRect rect, const QRect& area) {
  if (rect.right() > area.right()) rect.moveRight(area.right());
  if (rect.bottom() > area.bottom()) rect.moveBottom(area.bottom());
  if (rect.left() < area.left()) rect.moveLeft(area.left());
  if (rect.top() < area.top()) rect.moveTop(area.top());
  return rect;
}

// The frame margins of a window that has not been shown yet are not known; the anchor's, drawn by
// the same window manager, stand in for them.
QMargins FrameMargins(const QWidget* window, const QWidget* anchor) {
  const QWidget* measured = window->testAttribute(Qt::WA_WState_Created) && window->isVisible() ? window : anchor;
  const QRect frame = measured->frameGeometry();
  const QRect inner = measured->geometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
          frame.bottom() - inner.bottom()};
}

QRect AvailableFor(const QWidget* anchor) {
  // The screen that shows the anchor's middle: the one the user looks at it on.
  QScreen* screen = QGuiApplication::screenAt(anchor->frameGeometry().center());
  if (!screen) screen = anchor->screen();
  return screen ? screen->availableGeometry() : anchor->frameGeometry();
}

}  // namespace

QPoint AnchorPlaceFor(const QRect& anchor, const QSize& frameSize, const QRect& available, const QRect& cover) {
  const bool fitsHigh = frameSize.height() <= available.height();
  const bool rightFits = anchor.right() + 1 + kGap + frameSize.width() <= available.right() + 1;
  const bool leftFits = anchor.left() - kGap - frameSize.width() >= available.left();
  if (fitsHigh && (rightFits || leftFits)) return anchor.topLeft();
  const int pair = anchor.width() + kGap + frameSize.width();
  if (fitsHigh && pair <= available.width()) {
    return {available.left() + (available.width() - pair) / 2, anchor.top()};
  }
  const int overflow = cover.left() + frameSize.width() - (available.right() + 1);
  if (overflow <= 0) return anchor.topLeft();
  return {std::max(available.left(), anchor.left() - overflow), anchor.top()};
}

void ShowBesideMovingAnchor(QWidget* window, QWidget* anchor, const QRect& coverInAnchor) {
  if (!window->isVisible()) {
    auto* record = anchor->findChild<PlacementRecord*>(QStringLiteral("korvanPlacement"), Qt::FindDirectChildrenOnly);
    const QRect available = AvailableFor(anchor);
    const QRect frame = anchor->frameGeometry();
    const bool centred = std::abs(frame.center().x() - available.center().x()) <= 2;
    const bool untouched = record ? frame.topLeft() == record->placedAt : centred;
    if (untouched) {
      const QMargins margins = FrameMargins(window, anchor);
      const QSize frameSize = window->size().grownBy(margins);
      const QRect cover(anchor->mapToGlobal(coverInAnchor.topLeft()), coverInAnchor.size());
      const QPoint place = AnchorPlaceFor(frame, frameSize, available, cover);
      if (place != frame.topLeft()) {
        anchor->move(place);
        if (!record) record = new PlacementRecord(anchor);
        record->placedAt = place;
      }
    }
  }
  ShowBeside(window, anchor, coverInAnchor);
}

QRect PlaceBeside(const QRect& anchor, const QSize& frameSize, const QRect& available, const QRect& cover) {
  const bool fitsHigh = frameSize.height() <= available.height();
  const bool fitsWide = frameSize.width() <= available.width();

  // Beside: level with the anchor's top, moved up only as far as the screen's bottom requires.
  const int besideTop = std::max(available.top(), std::min(anchor.top(), available.bottom() + 1 - frameSize.height()));
  const QRect right(QPoint(anchor.right() + 1 + kGap, besideTop), frameSize);
  if (fitsHigh && right.right() <= available.right() && right.left() >= available.left()) return right;
  const QRect left(QPoint(anchor.left() - kGap - frameSize.width(), besideTop), frameSize);
  if (fitsHigh && left.left() >= available.left() && left.right() <= available.right()) return left;

  const int belowLeft = std::max(available.left(), std::min(anchor.left(), available.right() + 1 - frameSize.width()));
  const QRect below(QPoint(belowLeft, anchor.bottom() + 1 + kGap), frameSize);
  if (fitsWide && below.bottom() <= available.bottom() && below.top() >= available.top()) return below;

  return KeptOn(QRect(cover.topLeft(), frameSize), available);
}

void ShowBeside(QWidget* window, QWidget* anchor, const QRect& coverInAnchor) {
  auto* record = window->findChild<PlacementRecord*>(QStringLiteral("korvanPlacement"), Qt::FindDirectChildrenOnly);
  if (!window->isVisible()) {
    const QMargins margins = FrameMargins(window, anchor);
    if (record && !record->userMoved) {
      // A window manager may shift a new window by its frame; only a larger move was the user's.
      const QPoint moved = window->frameGeometry().topLeft() - record->placedAt;
      const int allowed = std::max({margins.left(), margins.top(), margins.right(), margins.bottom()}) + 2;
      record->userMoved = std::abs(moved.x()) > allowed || std::abs(moved.y()) > allowed;
    }
    if (!record || !record->userMoved) {
      const QSize frameSize = window->size().grownBy(margins);
      const QRect available = AvailableFor(anchor);
      const QRect cover(anchor->mapToGlobal(coverInAnchor.topLeft()), coverInAnchor.size());
      const QRect frame = PlaceBeside(anchor->frameGeometry(), frameSize, available, cover);
      if (!record) record = new PlacementRecord(window);
      record->placedAt = frame.topLeft();
      window->move(frame.topLeft());
    }
  }
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace korvan
