#include "ui/widgets/CEnvelopeWidget.h"

#include <algorithm>

#include <QPainter>
#include <QPainterPath>

#include "optics/NumberText.h"

namespace korvan {
namespace {

// Shades that stay apart for colour-blind eyes and in grey print.
const QColor kBoth(0, 158, 115);
const QColor kSharpOnly(86, 180, 233);
const QColor kBrightOnly(240, 228, 66);
const QColor kNeither(215, 215, 215);

QColor ShadeOf(const planner::EnvelopeCell& cell, bool withLight) {
  if (!withLight) return cell.sharp ? kBoth : kNeither;
  if (cell.sharp && cell.bright) return kBoth;
  if (cell.sharp) return kSharpOnly;
  return cell.bright ? kBrightOnly : kNeither;
}

struct LegendEntry {
  QColor colour;
  QString text;
};

std::vector<LegendEntry> Legend(const planner::Envelope& envelope) {
  if (!envelope.withLight) {
    return {{kBoth, QStringLiteral("sharp")}, {kNeither, QStringLiteral("not sharp (no light figures)")}};
  }
  return {{kBoth, QStringLiteral("sharp and bright")},
          {kSharpOnly, QStringLiteral("sharp, too dark")},
          {kBrightOnly, QStringLiteral("bright, blurred")},
          {kNeither, QStringLiteral("neither")}};
}

}  // namespace

CEnvelopeWidget::CEnvelopeWidget(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CEnvelopeWidget::SetEnvelope(const planner::Envelope& envelope) {
  envelope_ = envelope;
  setAccessibleDescription(Describe(envelope_));
  update();
}

QSize CEnvelopeWidget::sizeHint() const {
  const int line = fontMetrics().height();
  return {fontMetrics().averageCharWidth() * 90, line * 20};
}

QSize CEnvelopeWidget::minimumSizeHint() const {
  const int line = fontMetrics().height();
  return {fontMetrics().averageCharWidth() * 60, line * 14};
}

void CEnvelopeWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  Paint(painter, QRectF(rect()).adjusted(4, 2, -4, -4), envelope_);
}

void CEnvelopeWidget::Paint(QPainter& painter, const QRectF& area, const planner::Envelope& envelope) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QFontMetricsF metrics(painter.font());
  const double line = metrics.height();
  painter.setPen(Qt::black);
  const QString title = QStringLiteral("Shooting envelope");
  painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignHCenter | Qt::AlignVCenter, title);
  if (envelope.cells.empty()) {
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                     QString::fromStdString(envelope.reason.empty() ? std::string("n/a") : envelope.reason));
    painter.restore();
    return;
  }

  // Room for the f-number labels on the left, the shutter labels, axis name and legend below.
  double labelWidth = metrics.horizontalAdvance(QStringLiteral("f-number"));
  for (const std::string& text : envelope.fNumberTexts) {
    labelWidth = std::max(labelWidth, metrics.horizontalAdvance(QString::fromStdString(text)));
  }
  const std::vector<LegendEntry> legend = Legend(envelope);
  const double swatch = line * 0.8;
  double legendWidth = 0;
  for (const LegendEntry& entry : legend) legendWidth += swatch + metrics.horizontalAdvance(entry.text) + line * 1.3;
  legendWidth += metrics.horizontalAdvance(QStringLiteral("outlined: in forcedot: recommended")) + line * 2;
  const int legendRows = legendWidth > area.width() ? 2 : 1;
  const QRectF grid(area.left() + labelWidth + line * 0.6, area.top() + line * 1.3,
                    area.width() - labelWidth - line * 0.8, area.height() - line * (4.3 + legendRows));
  const std::size_t columns = static_cast<std::size_t>(envelope.shutters);
  const std::size_t rows = envelope.fNumbers.size();
  const double cellW = grid.width() / static_cast<double>(columns);
  const double cellH = grid.height() / static_cast<double>(rows);
  const auto cellRect = [&](std::size_t n, std::size_t i) {
    // f-numbers go up: the smallest at the bottom.
    return QRectF(grid.left() + cellW * static_cast<double>(n), grid.bottom() - cellH * static_cast<double>(i + 1),
                  cellW, cellH);
  };

  painter.setPen(QPen(Qt::white, 1));
  for (std::size_t n = 0; n < columns; ++n) {
    for (std::size_t i = 0; i < rows; ++i) {
      painter.setBrush(ShadeOf(envelope.At(n, i), envelope.withLight));
      painter.drawRect(cellRect(n, i));
    }
  }
  painter.setBrush(Qt::NoBrush);
  if (envelope.recommended) {
    const std::size_t cell = envelope.recommended->cell;
    const QRectF at = cellRect(cell / rows, cell % rows);
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    const double r = std::min(cellW, cellH) * 0.2;
    painter.drawEllipse(at.center(), r, r);
    painter.setBrush(Qt::NoBrush);
  }
  if (envelope.inForce) {
    const std::size_t cell = *envelope.inForce;
    painter.setPen(QPen(Qt::black, std::max(2.0, line / 8)));
    painter.drawRect(cellRect(cell / rows, cell % rows).adjusted(1, 1, -1, -1));
  }

  // Axes: each f-number at its row, the shutter multiples below the columns.
  painter.setPen(Qt::black);
  for (std::size_t i = 0; i < rows; ++i) {
    const QRectF at = cellRect(0, i);
    painter.drawText(QRectF(area.left(), at.top(), labelWidth, at.height()), Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(envelope.fNumberTexts[i]));
  }
  const double step = metrics.horizontalAdvance(QStringLiteral("20")) + line * 0.3 > cellW ? 2 : 1;
  for (std::size_t n = 0; n < columns; ++n) {
    if ((n + 1) % static_cast<std::size_t>(step) != 0 && n != 0) continue;
    const QRectF at = cellRect(n, 0);
    painter.drawText(QRectF(at.left() - cellW, grid.bottom(), cellW * 3, line), Qt::AlignHCenter | Qt::AlignTop,
                     QString::number(n + 1));
  }
  painter.drawText(QRectF(grid.left(), grid.bottom() + line, grid.width(), line), Qt::AlignHCenter,
                   QStringLiteral("shutter multiple (x), longer exposure to the right"));
  painter.drawText(QRectF(area.left(), area.top(), labelWidth, line * 1.3), Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("f-number"));

  // The legend, with the two marks.
  double x = grid.left();
  double y = grid.bottom() + line * 2.2;
  const auto advance = [&](double width) {
    if (x + width > area.right() && x > grid.left()) {
      x = grid.left();
      y += line * 1.1;
    }
  };
  for (const LegendEntry& entry : legend) {
    const double width = swatch + line * 0.3 + metrics.horizontalAdvance(entry.text) + line;
    advance(width);
    painter.setPen(Qt::NoPen);
    painter.setBrush(entry.colour);
    painter.drawRect(QRectF(x, y + (line - swatch) / 2, swatch, swatch));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(x + swatch + line * 0.3, y, width, line), Qt::AlignLeft | Qt::AlignVCenter, entry.text);
    x += width;
  }
  const QString inForce = QStringLiteral("outlined: in force");
  const QString dot = QStringLiteral("dot: recommended");
  for (const QString& text : {inForce, dot}) {
    const double width = metrics.horizontalAdvance(text) + line;
    advance(width);
    painter.drawText(QRectF(x, y, width, line), Qt::AlignLeft | Qt::AlignVCenter, text);
    x += width;
  }
  painter.restore();
}

QString CEnvelopeWidget::Describe(const planner::Envelope& envelope) {
  if (envelope.cells.empty()) return QString::fromStdString(envelope.reason);
  QString text = envelope.recommended ? QString::fromStdString(envelope.recommended->text) + QStringLiteral(" recommended; ")
                                      : QStringLiteral("No setting works; ");
  text += QStringLiteral("%1 of %2 settings work").arg(envelope.workable).arg(envelope.cells.size());
  return text;
}

}  // namespace korvan
