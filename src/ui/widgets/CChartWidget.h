#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QWidget>

class QPainter;
class QRectF;

namespace korvan {

// What one chart shows: either series of points against a continuous x axis, or labelled
// horizontal bars. Values that are not finite are left out of the plotted line; +infinity is
// drawn at the top edge as an open end. Tick labels use the core's number texts.
struct ChartData {
  struct Series {
    QString name;
    std::vector<QPointF> points;
    bool dashed = false;
  };
  struct Bar {
    QString label;
    double value = 0;
    QString text;  // as shown beside the bar
  };
  struct Marker {
    double at = 0;
    QString label;  // in the legend
  };

  QString title;
  QString xAxis;  // names with units: "f-number", "blur (pixels)"
  QString yAxis;
  std::vector<Series> series;
  std::vector<Bar> bars;
  std::optional<Marker> currentX;  // a vertical line at the value in force
  std::optional<Marker> extraX;    // a second vertical line (the optimum)
  std::optional<Marker> limitY;    // a horizontal line (the blur limit); vertical in a bar chart
  std::optional<Marker> targetY;   // a horizontal line for a wanted value (the wanted field)
  struct Band {
    double low = 0;
    double high = 0;
    QString label;  // in the legend
  };
  std::optional<Band> yBand;  // a shaded band across the plot (the subject's depth)
  // An axis of f-numbers in stops: a log2 scale with ticks at these values and labels. Empty: linear.
  std::vector<std::pair<double, QString>> xStops;
  // The top of the y scale when the region that matters lies below the largest value; points above
  // it, and at +infinity, are drawn as arrows at the top.
  std::optional<double> yCeiling;
  QString emptyText;               // shown instead of the plot when nothing can be drawn
};

// Draws a ChartData: on a widget, and through the same Paint onto any other paint device (the
// setup sheet's PDF page).
class CChartWidget : public QWidget {
  Q_OBJECT

 public:
  explicit CChartWidget(QWidget* parent = nullptr);

  void SetData(ChartData data);
  const ChartData& Data() const { return data_; }

  // Paints `data` into `area` with the painter's current font; colours for a white page.
  static void Paint(QPainter& painter, const QRectF& area, const ChartData& data);
  // The values plotted, in text, for screen readers: "Total: 1 5.364, 1.4 5.353; ...".
  static QString Describe(const ChartData& data);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ChartData data_;
};

}  // namespace korvan
