#include "ui/widgets/CSideViewWidget.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>

namespace korvan {

namespace {

const QColor kFieldColour(0, 114, 178);
const QColor kBandColour(230, 159, 0, 90);
const QColor kSubjectColour(213, 94, 0);

void Arrow(QPainter& painter, QPointF from, QPointF to, double head) {
  painter.drawLine(from, to);
  const QPointF direction = (to - from) / std::max(1e-9, std::hypot(to.x() - from.x(), to.y() - from.y()));
  const QPointF normal(-direction.y(), direction.x());
  QPainterPath tip;
  tip.moveTo(to);
  tip.lineTo(to - direction * head + normal * head * 0.45);
  tip.lineTo(to - direction * head - normal * head * 0.45);
  tip.closeSubpath();
  painter.fillPath(tip, painter.pen().color());
}

void DoubleArrow(QPainter& painter, QPointF a, QPointF b, double head) {
  const QPointF middle = (a + b) / 2;
  Arrow(painter, middle, a, head);
  Arrow(painter, middle, b, head);
}

}  // namespace

CSideViewWidget::CSideViewWidget(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(QStringLiteral("Side view of the set-up"));
}

void CSideViewWidget::SetData(SideViewData data) {
  data_ = std::move(data);
  setAccessibleDescription(Describe(data_));
  update();
}

QSize CSideViewWidget::sizeHint() const {
  const int line = fontMetrics().height();
  return {line * 48, line * 11};
}

QSize CSideViewWidget::minimumSizeHint() const {
  const int line = fontMetrics().height();
  return {line * 30, line * 9};
}

void CSideViewWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  Paint(painter, QRectF(rect()).adjusted(4, 4, -4, -4), data_);
  if (hasFocus()) {
    painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void CSideViewWidget::Paint(QPainter& painter, const QRectF& area, const SideViewData& data) {
  painter.save();
  const QFontMetricsF metrics(painter.font(), painter.device());
  const double line = metrics.height();
  painter.setPen(Qt::black);
  const bool drawable = data.valid && data.distance > 0 && std::isfinite(data.distance) && data.fieldWidth > 0 &&
                        std::isfinite(data.fieldWidth);
  if (!drawable) {
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, data.emptyText);
    painter.restore();
    return;
  }
  const bool open = !std::isfinite(data.farFocus) || data.farFocus <= 0;
  const double near = std::isfinite(data.nearFocus) && data.nearFocus > 0 ? data.nearFocus : data.distance;
  // The view reaches past the far limit, or well past the object when the band is open.
  const double reach = open ? std::max(data.distance * 1.5, near * 1.2) : std::max(data.farFocus, data.distance) * 1.08;

  // One scale along and across the axis, so the angle and the proportions are true.
  const double lensWidth = line * 2.5;
  const QRectF plot(area.left() + lensWidth + line * 0.5, area.top() + line * 1.6,
                    area.width() - lensWidth - line * 0.5 - line * 1.5,
                    area.height() - line * 4.4);
  const double scale = std::min(plot.width() / reach, plot.height() / data.fieldWidth);
  const double axisY = plot.center().y();
  const auto X = [&](double meters) { return plot.left() + meters * scale; };
  const double half = data.fieldWidth / 2 * scale;

  // Depth-of-field band and the subject's depth.
  const double bandLeft = X(near);
  const double bandRight = open ? plot.right() + line * 0.5 : X(data.farFocus);
  painter.fillRect(QRectF(bandLeft, axisY - half - line * 0.3, bandRight - bandLeft, half * 2 + line * 0.6), kBandColour);
  if (data.subjectDepth > 0 && std::isfinite(data.subjectDepth)) {
    painter.setPen(QPen(kSubjectColour, 1.5, Qt::DashLine));
    const double left = X(std::max(0.0, data.distance - data.subjectDepth / 2));
    const double right = X(data.distance + data.subjectDepth / 2);
    painter.drawRect(QRectF(left, axisY - half, right - left, half * 2));
  }

  // The lens at the origin and the field angle opening to the object plane.
  painter.setRenderHint(QPainter::Antialiasing, true);
  const QPointF lens(plot.left(), axisY);
  painter.setPen(QPen(QColor(60, 60, 60), 1));
  painter.setBrush(QColor(180, 210, 235));
  painter.drawEllipse(QRectF(lens.x() - line * 0.35, axisY - line * 1.1, line * 0.7, line * 2.2));
  painter.setBrush(QColor(70, 80, 90));
  painter.drawRect(QRectF(lens.x() - lensWidth - line * 0.35, axisY - line * 1.2, lensWidth - line * 0.2, line * 2.4));
  painter.setBrush(Qt::NoBrush);
  const QPointF top(X(data.distance), axisY - half);
  const QPointF bottom(X(data.distance), axisY + half);
  QPainterPath cone;
  cone.moveTo(lens);
  cone.lineTo(top);
  cone.lineTo(bottom);
  cone.closeSubpath();
  painter.fillPath(cone, QColor(0, 114, 178, 35));
  painter.setPen(QPen(kFieldColour, 1.5));
  painter.drawLine(lens, top);
  painter.drawLine(lens, bottom);
  painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
  painter.drawLine(lens, QPointF(plot.right(), axisY));
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(top, bottom);

  // Dimensions and labels.
  const double head = line * 0.45;
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::NoBrush);
  const double dimensionY = area.bottom() - line * 1.9;
  DoubleArrow(painter, QPointF(lens.x(), dimensionY), QPointF(top.x(), dimensionY), head);
  // The label keeps its whole width: centred under the arrow where it fits, else within the view.
  const QString distanceLabel = QStringLiteral("object distance ") + data.distanceText;
  const double distanceWidth = metrics.horizontalAdvance(distanceLabel) + line * 0.5;
  const double distanceLeft =
      std::clamp((lens.x() + top.x() - distanceWidth) / 2, area.left(), std::max(area.left(), area.right() - distanceWidth));
  painter.drawText(QRectF(distanceLeft, dimensionY + line * 0.15, distanceWidth, line * 1.2), Qt::AlignCenter,
                   distanceLabel);
  // The field's dimension stands at the object plane, where the field is measured.
  const double fieldX = top.x() + line * 0.8;
  DoubleArrow(painter, QPointF(fieldX, top.y()), QPointF(fieldX, bottom.y()), std::min(head, half / 2));
  const double fieldTextWidth =
      std::max(metrics.horizontalAdvance(QStringLiteral("field width")), metrics.horizontalAdvance(data.fieldWidthText)) +
      line * 0.3;
  for (const auto& [text, y] : {std::pair{QStringLiteral("field width"), axisY - line * 1.3},
                                std::pair{data.fieldWidthText, axisY}}) {
    const QRectF where(fieldX + line * 0.3, y, fieldTextWidth, line * 1.2);
    painter.fillRect(where, QColor(255, 255, 255, 200));
    painter.drawText(where, Qt::AlignLeft | Qt::AlignVCenter, text);
  }
  painter.drawText(QRectF(lens.x() + line * 0.8, axisY - line * 1.3, line * 12, line * 1.2),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("field angle ") + data.angleText);
  painter.drawText(QRectF(lens.x() - lensWidth - line * 0.35, axisY + line * 1.3, lensWidth * 2, line * 1.2),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("lens"));
  const QString band = QStringLiteral("depth of field ") + data.nearText + QStringLiteral(" ... ") + data.farText;
  const double bandTextWidth = metrics.horizontalAdvance(band);
  const double bandTextLeft = std::clamp(bandLeft, area.left(), area.right() - bandTextWidth);
  painter.drawText(QRectF(bandTextLeft, area.top(), bandTextWidth + 1, line * 1.2), Qt::AlignLeft | Qt::AlignVCenter,
                   band);
  if (open) {
    painter.setPen(QPen(QColor(150, 100, 0), 1.5));
    Arrow(painter, QPointF(bandRight - line * 2.5, axisY - half - line * 0.6), QPointF(bandRight, axisY - half - line * 0.6),
          head);
  }
  painter.restore();
}

QString CSideViewWidget::Describe(const SideViewData& data) {
  if (!data.valid) return data.emptyText;
  return QStringLiteral("Object distance %1, field width %2, field angle %3, depth of field from %4 to %5.")
      .arg(data.distanceText, data.fieldWidthText, data.angleText, data.nearText, data.farText);
}

}  // namespace korvan
