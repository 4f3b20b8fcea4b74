#pragma once

#include <QWidget>

#include "planner/Planner.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace korvan {

class CEnvelopeWidget;

// The planner's Light page: the light inputs, the light figures, the flicker warning, the
// shooting envelope with its chart and the recommended setting with "Use".
class LightPage : public QWidget {
  Q_OBJECT

 public:
  explicit LightPage(QWidget* parent = nullptr);

  planner::LightTexts Texts() const;
  void SetTexts(const planner::LightTexts& texts);
  QLineEdit* IsoBox() const { return isoEdit_; }

  // Writes the plan's light and envelope; texts that are unchanged are left alone.
  void Show(const planner::Plan& plan);

 signals:
  void InputEdited();     // a light input was typed into
  void InputFinished();   // a light input box lost the focus or Enter was pressed
  void UseRecommended();  // "Use" was clicked

 private:
  QLineEdit* AddInput(const char* name, const char* label, const char* unit, const char* tip);
  QLineEdit* AddValue(const char* name, const char* label, const char* unit, const char* about);

  QLineEdit* isoEdit_;
  QLineEdit* meterConstantEdit_;
  QLineEdit* transmissionEdit_;
  QLineEdit* luxEdit_;
  QLineEdit* lampLuxEdit_;
  QLineEdit* lampDistanceEdit_;
  QLineEdit* lampsEdit_;
  QLineEdit* mainsEdit_;
  QLineEdit* exposureBox_;
  QLineEdit* neededBox_;
  QLineEdit* availableBox_;
  QLineEdit* headroomBox_;
  QLineEdit* lampsNeededBox_;
  QLineEdit* farthestBox_;
  QLineEdit* framesPerCycleBox_;
  QLabel* lampDistanceUnit_ = nullptr;
  QLabel* farthestUnit_ = nullptr;
  QLabel* inputNote_;
  QLabel* flickerNote_;
  QLabel* recommendedLabel_;
  QLabel* nearestLabel_;
  QPushButton* useButton_;
  CEnvelopeWidget* chart_;
  QGridLayout* grid_;
  int row_ = 0;
};

}  // namespace korvan
