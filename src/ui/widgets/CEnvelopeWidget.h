#pragma once

#include <QWidget>

#include "planner/Envelope.h"

class QPainter;
class QRectF;

namespace korvan {

// The shooting envelope as a chart: shutter multiples across, f-numbers up in stops, each cell
// shaded by whether it is sharp and bright, the setting in force outlined and the recommended one
// dotted, with a legend of the shades below.
class CEnvelopeWidget : public QWidget {
  Q_OBJECT

 public:
  explicit CEnvelopeWidget(QWidget* parent = nullptr);

  void SetEnvelope(const planner::Envelope& envelope);
  const planner::Envelope& Envelope() const { return envelope_; }

  // Paints into `area` with the painter's current font; also used for printing.
  static void Paint(QPainter& painter, const QRectF& area, const planner::Envelope& envelope);
  // The envelope in words, for screen readers: "20x at f/1.4 recommended; 4 of 200 settings work".
  static QString Describe(const planner::Envelope& envelope);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  planner::Envelope envelope_;
};

}  // namespace korvan
