#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace korvan {

// The object name of the scroll area that FitToScreen puts a window's content in.
inline constexpr char kScreenFitAreaName[] = "korvanScreenFit";

// The window size (without its frame) that lets a window of `content` size with a frame of
// `frame` margins lie on `available`; `content` itself when it fits.
QSize FittedSize(const QSize& content, const QMargins& frame, const QRect& available);

// Makes `window` fit the available area of the screen it opens on. Where its laid-out content
// fits, nothing changes. Where it does not, the content moves into a scroll area, the window
// shrinks to the area (it may be enlarged up to its full content again) and is placed on it, so
// that no control is ever out of reach. Call once the layout is complete and sized. Returns
// whether the window had to shrink.
bool FitToScreen(QWidget* window);

}  // namespace korvan
