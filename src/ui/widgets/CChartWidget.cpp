#include "ui/widgets/CChartWidget.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include "optics/NumberText.h"

namespace korvan {

namespace {

// Colours that stay apart for readers with red-green colour blindness and in grey print.
const QColor kSeriesColours[] = {QColor(0, 114, 178), QColor(213, 94, 0), QColor(0, 158, 115),
                                 QColor(0, 0, 0),     QColor(204, 121, 167), QColor(230, 159, 0),
                                 QColor(86, 180, 233)};
const QColor kCurrentColour(60, 60, 60);
const QColor kExtraColour(0, 114, 178);
const QColor kLimitColour(200, 30, 30);
const QColor kTargetColour(0, 140, 60);
const QColor kBandColour(230, 159, 0, 120);
const QString kOffScaleText = QStringLiteral("\u2191 beyond the top (at infinity)");

QString Number(double value) { return QString::fromStdString(FormatG4(value)); }

struct Range {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void Add(double value) {
    if (!std::isfinite(value)) return;
    low = std::min(low, value);
    high = std::max(high, value);
  }
  bool Valid() const { return low <= high; }
};

// Ticks at 1, 2 or 5 times a power of ten, about `count` of them, covering the range; the range
// is widened to the outer ticks.
std::vector<double> Ticks(Range& range, int count) {
  if (!range.Valid()) return {};
  if (range.high - range.low < 1e-12 * std::max(1.0, std::abs(range.high))) {
    const double pad = range.high == 0 ? 1 : std::abs(range.high) * 0.1;
    range.low -= pad;
    range.high += pad;
  }
  const double raw = (range.high - range.low) / std::max(1, count);
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = magnitude;
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * magnitude;
    if (step >= raw) break;
  }
  range.low = std::floor(range.low / step) * step;
  range.high = std::ceil(range.high / step) * step;
  std::vector<double> ticks;
  for (double tick = range.low; tick <= range.high + step * 0.5; tick += step) {
    ticks.push_back(std::abs(tick) < step * 1e-9 ? 0.0 : tick);
  }
  return ticks;
}

struct Frame {
  QRectF plot;
  Range x;
  Range y;
  bool logX = false;  // f-numbers in stops
  double X(double value) const {
    if (logX) return plot.left() + std::log2(value / x.low) / std::log2(x.high / x.low) * plot.width();
    return plot.left() + (value - x.low) / (x.high - x.low) * plot.width();
  }
  double Y(double value) const { return plot.bottom() - (value - y.low) / (y.high - y.low) * plot.height(); }
};

struct LegendEntry {
  QString text;
  QColor colour;
  Qt::PenStyle style;  // Qt::NoPen: text alone
  bool filled = false; // a shaded band rather than a line
};

// The legend in rows below the plot; returns its height for the given width.
double LegendHeight(const QFontMetricsF& metrics, const std::vector<LegendEntry>& entries, double width) {
  if (entries.empty()) return 0;
  double x = 0;
  int rows = 1;
  for (const LegendEntry& entry : entries) {
    const double w = metrics.height() * 2 + metrics.horizontalAdvance(entry.text) + metrics.height();
    if (x > 0 && x + w > width) {
      ++rows;
      x = 0;
    }
    x += w;
  }
  return rows * metrics.height() * 1.2;
}

void DrawLegend(QPainter& painter, const std::vector<LegendEntry>& entries, const QRectF& area) {
  const QFontMetricsF metrics(painter.font(), painter.device());
  double x = area.left();
  double y = area.top();
  for (const LegendEntry& entry : entries) {
    const double w = metrics.height() * 2 + metrics.horizontalAdvance(entry.text) + metrics.height();
    if (x > area.left() && x + w > area.right()) {
      x = area.left();
      y += metrics.height() * 1.2;
    }
    const double middle = y + metrics.height() * 0.6;
    if (entry.filled) {
      painter.fillRect(QRectF(x, y + metrics.height() * 0.2, metrics.height() * 1.6, metrics.height() * 0.8), entry.colour);
    } else if (entry.style != Qt::NoPen) {
      painter.setPen(QPen(entry.colour, 2, entry.style));
      painter.drawLine(QPointF(x, middle), QPointF(x + metrics.height() * 1.6, middle));
    }
    painter.setPen(Qt::black);
    painter.drawText(QRectF(x + metrics.height() * 2, y, w, metrics.height() * 1.2), Qt::AlignLeft | Qt::AlignVCenter,
                     entry.text);
    x += w;
  }
}

void DrawCentred(QPainter& painter, const QRectF& area, const QString& text) {
  painter.setPen(Qt::black);
  painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text);
}

void DrawXMarker(QPainter& painter, const Frame& frame, const ChartData::Marker& marker, const QColor& colour,
                 Qt::PenStyle style) {
  if (!std::isfinite(marker.at) || marker.at < frame.x.low || marker.at > frame.x.high) return;
  painter.setPen(QPen(colour, 1.5, style));
  const double x = frame.X(marker.at);
  painter.drawLine(QPointF(x, frame.plot.top()), QPointF(x, frame.plot.bottom()));
}

void PaintBars(QPainter& painter, const QRectF& area, const ChartData& data, std::vector<LegendEntry>& legend) {
  const QFontMetricsF metrics(painter.font(), painter.device());
  double labelWidth = 0;
  double textWidth = 0;
  Range x;
  x.Add(0);
  for (const ChartData::Bar& bar : data.bars) {
    labelWidth = std::max(labelWidth, metrics.horizontalAdvance(bar.label));
    textWidth = std::max(textWidth, metrics.horizontalAdvance(bar.text));
    x.Add(bar.value);
  }
  if (data.limitY) x.Add(data.limitY->at);
  const double gap = metrics.averageCharWidth();
  const double legendHeight = LegendHeight(metrics, legend, area.width());
  const double axisHeight = metrics.height() * 2.4;
  Frame frame;
  frame.plot = QRectF(area.left() + labelWidth + gap * 2, area.top(), 0, 0);
  frame.plot.setRight(area.right() - textWidth - gap * 2);
  frame.plot.setBottom(area.bottom() - axisHeight - legendHeight);
  const std::vector<double> ticks = Ticks(x, std::max(2, static_cast<int>(frame.plot.width() / (metrics.height() * 4))));
  frame.x = x;

  painter.setPen(QPen(QColor(225, 225, 225), 1));
  for (double tick : ticks) painter.drawLine(QPointF(frame.X(tick), frame.plot.top()), QPointF(frame.X(tick), frame.plot.bottom()));

  const double rowHeight = frame.plot.height() / std::max<std::size_t>(1, data.bars.size());
  std::vector<std::pair<QRectF, QString>> barTexts;
  for (std::size_t index = 0; index < data.bars.size(); ++index) {
    const ChartData::Bar& bar = data.bars[index];
    const double top = frame.plot.top() + rowHeight * index;
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), top, labelWidth + gap, rowHeight), Qt::AlignRight | Qt::AlignVCenter, bar.label);
    double end = frame.plot.left();
    if (std::isfinite(bar.value)) {
      end = frame.X(std::clamp(bar.value, x.low, x.high));
      const double barHeight = std::min(rowHeight * 0.6, metrics.height() * 1.2);
      painter.fillRect(QRectF(frame.plot.left(), top + (rowHeight - barHeight) / 2, end - frame.plot.left(), barHeight),
                       kSeriesColours[index % std::size(kSeriesColours)]);
    }
    painter.setPen(Qt::black);
    const QRectF textArea(end + gap * 0.5, top + (rowHeight - metrics.height()) / 2,
                          metrics.horizontalAdvance(bar.text) + gap, metrics.height());
    barTexts.push_back({textArea, bar.text});
  }
  if (data.limitY) {
    painter.setPen(QPen(kLimitColour, 1.5, Qt::DashLine));
    const double limit = frame.X(std::clamp(data.limitY->at, x.low, x.high));
    painter.drawLine(QPointF(limit, frame.plot.top()), QPointF(limit, frame.plot.bottom()));
  }
  painter.setPen(Qt::black);
  for (const auto& [where, text] : barTexts) {
    painter.fillRect(where, Qt::white);
    painter.drawText(where, Qt::AlignCenter, text);
  }
  painter.drawLine(frame.plot.bottomLeft(), frame.plot.bottomRight());
  for (double tick : ticks) {
    const double tx = frame.X(tick);
    painter.drawLine(QPointF(tx, frame.plot.bottom()), QPointF(tx, frame.plot.bottom() + gap * 0.6));
    const QString label = Number(tick);
    const double w = metrics.horizontalAdvance(label);
    painter.drawText(QRectF(tx - w, frame.plot.bottom() + gap * 0.6, w * 2, metrics.height()), Qt::AlignCenter, label);
  }
  painter.drawText(QRectF(frame.plot.left(), frame.plot.bottom() + metrics.height() * 1.2, frame.plot.width(),
                          metrics.height() * 1.2),
                   Qt::AlignCenter, data.xAxis);
  DrawLegend(painter, legend, QRectF(area.left(), area.bottom() - legendHeight, area.width(), legendHeight));
}

void PaintSeries(QPainter& painter, const QRectF& area, const ChartData& data, std::vector<LegendEntry>& legend) {
  const QFontMetricsF metrics(painter.font(), painter.device());
  Frame frame;
  for (const ChartData::Series& series : data.series) {
    for (const QPointF& point : series.points) {
      frame.x.Add(point.x());
      if (!data.yCeiling || point.y() <= *data.yCeiling) frame.y.Add(point.y());
    }
  }
  if (!frame.x.Valid() || !frame.y.Valid()) {
    DrawCentred(painter, area, data.emptyText);
    return;
  }
  if (data.limitY) frame.y.Add(data.limitY->at);
  if (data.targetY) frame.y.Add(data.targetY->at);
  if (data.yBand) {
    frame.y.Add(data.yBand->low);
    frame.y.Add(data.yBand->high);
  }
  if (data.yCeiling) frame.y.Add(*data.yCeiling);
  frame.y.Add(0);  // lengths and blurs start at zero, so heights compare at a glance
  if (!data.xStops.empty()) {
    frame.logX = true;
    frame.x = Range();
    frame.x.Add(data.xStops.front().first);
    frame.x.Add(data.xStops.back().first);
  }

  const double gap = metrics.averageCharWidth();
  const double legendHeight = LegendHeight(metrics, legend, area.width());
  const double axisHeight = metrics.height() * 2.4;
  // The y tick labels decide the left margin, so the range is fixed first.
  double plotHeight = area.height() - axisHeight - legendHeight - metrics.height() * 1.8;
  const std::vector<double> yTicks = Ticks(frame.y, std::max(3, static_cast<int>(plotHeight / (metrics.height() * 1.3))));
  double yLabelWidth = 0;
  for (double tick : yTicks) yLabelWidth = std::max(yLabelWidth, metrics.horizontalAdvance(Number(tick)));
  frame.plot = QRectF(area.left() + yLabelWidth + gap * 2, area.top() + metrics.height() * 1.8, 0, 0);
  frame.plot.setRight(area.right() - gap * 3);
  frame.plot.setBottom(area.bottom() - axisHeight - legendHeight);
  std::vector<double> xTicks;
  std::vector<QString> xLabels;
  if (frame.logX) {
    for (const auto& [at, label] : data.xStops) {
      xTicks.push_back(at);
      xLabels.push_back(label);
    }
  } else {
    xTicks = Ticks(frame.x, std::max(2, static_cast<int>(frame.plot.width() /
                                                         (metrics.horizontalAdvance(QStringLiteral("8.888")) * 2))));
    for (double tick : xTicks) xLabels.push_back(Number(tick));
  }

  painter.setPen(QPen(QColor(225, 225, 225), 1));
  for (double tick : xTicks) painter.drawLine(QPointF(frame.X(tick), frame.plot.top()), QPointF(frame.X(tick), frame.plot.bottom()));
  for (double tick : yTicks) painter.drawLine(QPointF(frame.plot.left(), frame.Y(tick)), QPointF(frame.plot.right(), frame.Y(tick)));

  if (data.yBand) {
    const double top = frame.Y(std::min(data.yBand->high, frame.y.high));
    const double bottom = frame.Y(std::max(data.yBand->low, frame.y.low));
    painter.fillRect(QRectF(frame.plot.left(), top, frame.plot.width(), bottom - top), kBandColour);
  }

  painter.save();
  painter.setClipRect(frame.plot.adjusted(-2, -2, 2, 2));
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (std::size_t index = 0; index < data.series.size(); ++index) {
    const ChartData::Series& series = data.series[index];
    const QColor colour = kSeriesColours[index % std::size(kSeriesColours)];
    painter.setPen(QPen(colour, 2, series.dashed ? Qt::DashLine : Qt::SolidLine));
    QPainterPath path;
    bool drawing = false;
    for (const QPointF& point : series.points) {
      if (!std::isfinite(point.x()) || std::isnan(point.y()) || (std::isinf(point.y()) && point.y() < 0)) {
        drawing = false;
        continue;
      }
      const bool offScale = std::isinf(point.y()) || point.y() > frame.y.high;
      const QPointF at(frame.X(point.x()), offScale ? frame.plot.top() : frame.Y(point.y()));
      if (offScale) {
        // An open end: the value lies at infinity, beyond the top of the plot.
        painter.drawLine(at, at + QPointF(-gap * 0.6, gap));
        painter.drawLine(at, at + QPointF(gap * 0.6, gap));
      }
      if (drawing) {
        path.lineTo(at);
      } else {
        path.moveTo(at);
      }
      drawing = true;
    }
    painter.drawPath(path);
    if (series.points.size() <= 25) {
      for (const QPointF& point : series.points) {
        if (std::isfinite(point.x()) && std::isfinite(point.y()) && point.y() <= frame.y.high) {
          painter.setBrush(colour);
          painter.drawEllipse(QPointF(frame.X(point.x()), frame.Y(point.y())), 2.2, 2.2);
        }
      }
      painter.setBrush(Qt::NoBrush);
    }
  }
  painter.restore();

  if (data.limitY && std::isfinite(data.limitY->at)) {
    painter.setPen(QPen(kLimitColour, 1.5, Qt::DashLine));
    const double y = frame.Y(data.limitY->at);
    painter.drawLine(QPointF(frame.plot.left(), y), QPointF(frame.plot.right(), y));
  }
  if (data.targetY && std::isfinite(data.targetY->at)) {
    painter.setPen(QPen(kTargetColour, 1.5, Qt::DashDotDotLine));
    const double y = frame.Y(data.targetY->at);
    painter.drawLine(QPointF(frame.plot.left(), y), QPointF(frame.plot.right(), y));
  }
  if (data.extraX) DrawXMarker(painter, frame, *data.extraX, kExtraColour, Qt::DotLine);
  if (data.currentX) DrawXMarker(painter, frame, *data.currentX, kCurrentColour, Qt::DashDotLine);

  painter.setPen(Qt::black);
  painter.drawLine(frame.plot.bottomLeft(), frame.plot.bottomRight());
  painter.drawLine(frame.plot.bottomLeft(), frame.plot.topLeft());
  // A label that would touch the one before it is left out; its tick stays.
  double labelsEnd = -std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < xTicks.size(); ++i) {
    const double x = frame.X(xTicks[i]);
    painter.drawLine(QPointF(x, frame.plot.bottom()), QPointF(x, frame.plot.bottom() + gap * 0.6));
    const double w = metrics.horizontalAdvance(xLabels[i]);
    const double left = std::min(x - w / 2, area.right() - w);
    if (left < labelsEnd + gap) continue;
    painter.drawText(QRectF(left, frame.plot.bottom() + gap * 0.6, w, metrics.height()), Qt::AlignCenter, xLabels[i]);
    labelsEnd = left + w;
  }
  for (double tick : yTicks) {
    const double y = frame.Y(tick);
    painter.drawLine(QPointF(frame.plot.left() - gap * 0.6, y), QPointF(frame.plot.left(), y));
    painter.drawText(QRectF(frame.plot.left() - gap - yLabelWidth, y - metrics.height() / 2, yLabelWidth,
                            metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, Number(tick));
  }
  painter.drawText(QRectF(frame.plot.left(), frame.plot.bottom() + metrics.height() * 1.2, frame.plot.width(),
                          metrics.height() * 1.2),
                   Qt::AlignCenter, data.xAxis);
  painter.drawText(QRectF(area.left(), area.top(), area.width(), metrics.height() * 1.2), Qt::AlignLeft | Qt::AlignVCenter,
                   data.yAxis);
  DrawLegend(painter, legend, QRectF(area.left(), area.bottom() - legendHeight, area.width(), legendHeight));
}

}  // namespace

CChartWidget::CChartWidget(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::TabFocus);  // a screen reader reaches the description by Tab
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CChartWidget::SetData(ChartData data) {
  data_ = std::move(data);
  setAccessibleName(data_.title);
  setAccessibleDescription(Describe(data_));
  update();
}

QSize CChartWidget::sizeHint() const {
  const int line = fontMetrics().height();
  return {line * 24, line * 15};
}

QSize CChartWidget::minimumSizeHint() const {
  const int line = fontMetrics().height();
  return {line * 18, line * 11};
}

void CChartWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  Paint(painter, QRectF(rect()).adjusted(4, 2, -4, -4), data_);
  if (hasFocus()) {
    painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void CChartWidget::Paint(QPainter& painter, const QRectF& area, const ChartData& data) {
  painter.save();
  const QFontMetricsF metrics(painter.font(), painter.device());
  QFont bold = painter.font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(Qt::black);
  const double titleHeight = metrics.height() * 1.3;
  painter.drawText(QRectF(area.left(), area.top(), area.width(), titleHeight), Qt::AlignCenter, data.title);
  painter.restore();
  painter.save();

  std::vector<LegendEntry> legend;
  if (data.bars.empty()) {
    for (std::size_t index = 0; index < data.series.size(); ++index) {
      legend.push_back({data.series[index].name, kSeriesColours[index % std::size(kSeriesColours)],
                        data.series[index].dashed ? Qt::DashLine : Qt::SolidLine});
    }
  }
  if (data.currentX) legend.push_back({data.currentX->label, kCurrentColour, Qt::DashDotLine});
  if (data.extraX) legend.push_back({data.extraX->label, kExtraColour, Qt::DotLine});
  if (data.limitY) legend.push_back({data.limitY->label, kLimitColour, Qt::DashLine});
  if (data.targetY) legend.push_back({data.targetY->label, kTargetColour, Qt::DashDotDotLine});
  if (data.yBand) legend.push_back({data.yBand->label, kBandColour, Qt::SolidLine, true});
  bool offScale = false;
  for (const ChartData::Series& series : data.series) {
    for (const QPointF& point : series.points) {
      offScale = offScale || (point.y() > 0 && (std::isinf(point.y()) || (data.yCeiling && point.y() > *data.yCeiling)));
    }
  }
  if (offScale && data.bars.empty()) legend.push_back({kOffScaleText, Qt::black, Qt::NoPen});
  // One entry per name: two series of one name would read as one.
  std::vector<LegendEntry> unique;
  for (const LegendEntry& entry : legend) {
    if (std::none_of(unique.begin(), unique.end(), [&](const LegendEntry& e) { return e.text == entry.text; })) {
      unique.push_back(entry);
    }
  }
  legend = std::move(unique);

  const QRectF body = area.adjusted(0, titleHeight, 0, 0);
  if (!data.bars.empty()) {
    PaintBars(painter, body, data, legend);
  } else {
    PaintSeries(painter, body, data, legend);
  }
  painter.restore();
}

QString CChartWidget::Describe(const ChartData& data) {
  QStringList parts;
  if (!data.bars.empty()) {
    for (const ChartData::Bar& bar : data.bars) parts << bar.label + QStringLiteral(" ") + bar.text;
  }
  for (const ChartData::Series& series : data.series) {
    QStringList values;
    for (const QPointF& point : series.points) values << Number(point.x()) + QStringLiteral(" ") + Number(point.y());
    parts << series.name + QStringLiteral(": ") + (values.isEmpty() ? data.emptyText : values.join(QStringLiteral(", ")));
  }
  for (const std::optional<ChartData::Marker>& marker : {data.currentX, data.extraX, data.limitY}) {
    if (marker) parts << marker->label + QStringLiteral(" ") + Number(marker->at);
  }
  QString text = data.xAxis.isEmpty() ? QString() : data.yAxis + QStringLiteral(" against ") + data.xAxis + QStringLiteral(". ");
  if (!data.bars.empty()) text = data.xAxis + QStringLiteral(". ");
  if (parts.isEmpty()) return text + data.emptyText;
  return text + parts.join(QStringLiteral("; ")) + QStringLiteral(".");
}

}  // namespace korvan
