#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace korvan {

// Where a modeless window with a frame of `frameSize` goes next to the frame of the window it
// serves (`anchor`), on the `available` area of the screen that shows the anchor: to its right,
// else to its left, else below it, each time wholly on that area. Where none of the three fits,
// the window lies over `cover` (the part of the anchor it may hide), moved as little as needed to
// stay on the area. All rectangles are frames in global coordinates; the result is one too.
QRect PlaceBeside(const QRect& anchor, const QSize& frameSize, const QRect& available, const QRect& cover);

// Where the anchor's frame goes so that a window of `frameSize` opens beside it: unchanged when a
// side has room already; centred with the window to its right when the two fit side by side on
// `available`; else moved left as far as needed (and possible) for the window to lie over `cover`
// without reaching left of it.
QPoint AnchorPlaceFor(const QRect& anchor, const QSize& frameSize, const QRect& available, const QRect& cover);

// As ShowBeside, but first moves the anchor to AnchorPlaceFor's place while the user has not
// moved it (it stands centred on its screen or where this last put it).
void ShowBesideMovingAnchor(QWidget* window, QWidget* anchor, const QRect& coverInAnchor);

// Shows `window` where PlaceBeside puts it next to `anchor`, `coverInAnchor` being given in the
// anchor's own coordinates, then raises and activates it. Once the user has moved the window it
// is shown where they left it for the rest of the run; a window already visible only comes to the
// front.
void ShowBeside(QWidget* window, QWidget* anchor, const QRect& coverInAnchor);

}  // namespace korvan
