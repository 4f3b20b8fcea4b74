#pragma once

#include <QString>
#include <QWidget>

class QPainter;
class QRectF;

namespace korvan {

// The set-up seen from the side, to scale along the axis and across the field: the lens, the
// field angle opening to the object plane at the object distance, the field width there, the
// depth-of-field band (open to the right when its far limit lies at infinity) and the subject's
// depth. Lengths in meters; the texts are the calculator's own.
struct SideViewData {
  bool valid = false;
  double distance = 0;
  double fieldWidth = 0;
  double nearFocus = 0;
  double farFocus = 0;      // +infinity: the band is open
  double subjectDepth = 0;  // 0: none drawn
  QString distanceText;     // "2 meters"
  QString fieldWidthText;
  QString nearText;
  QString farText;
  QString angleText;        // "14.25 deg"
  QString emptyText;        // why nothing is drawn
};

class CSideViewWidget : public QWidget {
  Q_OBJECT

 public:
  explicit CSideViewWidget(QWidget* parent = nullptr);

  void SetData(SideViewData data);
  const SideViewData& Data() const { return data_; }

  static void Paint(QPainter& painter, const QRectF& area, const SideViewData& data);
  static QString Describe(const SideViewData& data);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  SideViewData data_;
};

}  // namespace korvan
