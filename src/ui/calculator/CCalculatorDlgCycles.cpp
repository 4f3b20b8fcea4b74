// Reading the inputs, showing the results, the three cycles and the status line.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "optics/ControlIds.h"
#include "optics/Display.h"
#include "optics/Engine.h"
#include "optics/Units.h"
#include "ui/widgets/AccessibleControls.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/planner/CPlannerDlg.h"
#include "ui/widgets/WindowPlacement.h"
#include "ui_CCalculatorDlg.h"

namespace korvan {

namespace {

// True only while a cycle started by typing runs. One flag for the whole process: the boxes that
// such a cycle writes must not start a cycle of their own, in whichever window.
bool recalculating = false;

std::string SelectedText(const QComboBox* list) {
  return list->currentIndex() < 0 ? std::string() : list->currentText().toStdString();
}

}  // namespace

void CCalculatorDlg::ReadInputs() {
  InputTexts inputs;
  inputs.computeMode = static_cast<ComputeMode>(ComputeModeIndex());
  inputs.direction = static_cast<Direction>(List(ids::kDirectionList)->currentIndex());
  inputs.lensInput = controls_.Get<QRadioButton>(ids::kMagnificationRadio)->isChecked() ? LensInput::Magnification
                                                                                          : LensInput::FocalLength;
  inputs.unit = LengthUnitFromIndex(UnitIndex());
  inputs.frameRate = SelectedText(List(ids::kFrameRateList));
  inputs.shutter = SelectedText(List(ids::kShutterList));
  inputs.focalLength = Edit(ids::kFocalLengthEdit)->text().toStdString();
  inputs.magnification = Edit(ids::kMagnificationEdit)->text().toStdString();
  inputs.fNumber = SelectedText(List(ids::kFNumberList));
  inputs.objectDistance = Edit(ids::kObjectDistanceEdit)->text().toStdString();
  inputs.fieldWidth = Edit(ids::kFieldWidthEdit)->text().toStdString();
  inputs.velocity = Edit(ids::kVelocityEdit)->text().toStdString();
  korvan::ReadInputs(inputs, state_);
  SetStatus(kStatusAbout);
}

void CCalculatorDlg::ShowResults() {
  const QWidget* focused = QApplication::focusWidget();
  const ResultTexts texts = MakeResultTexts(state_);
  for (const ResultBox& box : kShowResultsOrder) {
    if (box.skipWhenFocused && controls_.Find(box.controlId) == focused) continue;
    WriteBox(box.controlId, texts.*box.text);
  }
  if (attachmentsWindow_ && attachmentsWindow_->isVisible()) attachmentsWindow_->RefreshAttachments();
  if (plannerWindow_ && plannerWindow_->isVisible()) plannerWindow_->RefreshPlanner();
}

void CCalculatorDlg::Recalculate() {
  ReadInputs();
  ComputeGeometry(state_, currentCamera_.pixelPitchX, currentCamera_.pixelPitchY);
  ComputeBlur(state_, currentCamera_.pixelPitchX, currentCamera_.pixelPitchY);
  ShowResults();
}

void CCalculatorDlg::RecalculateBlur() {
  ReadInputs();
  ComputeBlur(state_, currentCamera_.pixelPitchX, currentCamera_.pixelPitchY);
  ShowResults();
}

void CCalculatorDlg::RecalculateFromEdit(int editId) {
  if (QApplication::focusWidget() != controls_.Find(editId)) return;
  if (recalculating) return;
  struct Guard {
    Guard() { recalculating = true; }
    ~Guard() { recalculating = false; }
  } guard;
  Recalculate();
}

void CCalculatorDlg::OnEditTextChanged(int editId) {
  RecalculateFromEdit(editId);
  if (const auto warning = WarningAfterTextChange(editId, state_)) SetStatus(*warning);
}

void CCalculatorDlg::WriteBox(int id, const std::string& text) {
  auto* box = Edit(id);
  const QString shown = QString::fromStdString(text);
  // setText on an unchanged text would still reset the caret and the undo history.
  if (box->text() != shown) box->setText(shown);
  // Every write of an input box is a text change for its handler, even when the text is the same.
  switch (id) {
    case ids::kFocalLengthEdit:
    case ids::kMagnificationEdit:
    case ids::kObjectDistanceEdit:
    case ids::kFieldWidthEdit:
    case ids::kVelocityEdit:
      OnEditTextChanged(id);
      break;
    default:
      break;
  }
}

void CCalculatorDlg::SetStatus(std::uint32_t key) {
  const std::string_view text = StatusText(statusRowByKey_, key);
  if (text.empty()) return;
  WriteBox(ids::kStatusLine, std::string(text));
}

void CCalculatorDlg::OnUnitsChanged() {
  const LengthUnit unit = LengthUnitFromIndex(UnitIndex());
  const UnitLabels labels = UnitLabelsFor(unit);
  for (int id : kLengthUnitLabelIds) SetUnitText(controls_.Get<QLabel>(id), FromText(labels.length));
  SetUnitText(controls_.Get<QLabel>(ids::kVelocityUnit), FromText(labels.speed));
  UpdateResultUnitLabel();
  state_.unit = unit;
  ShowResults();
}

void CCalculatorDlg::UpdateResultUnitLabel() {
  const auto mode = static_cast<ComputeMode>(ComputeModeIndex());
  SetUnitText(controls_.Get<QLabel>(ids::kResultUnit), FromText(ResultUnitLabel(mode, LengthUnitFromIndex(UnitIndex()))));
}

void CCalculatorDlg::ShowAttachments() {
  // Beside the calculator, so that its inputs stay within reach; where the screen has no room for
  // that, over the results rather than over the inputs.
  const QWidget* results = ui_->calcGroup;
  ShowBeside(attachmentsWindow_, this, QRect(results->mapTo(this, QPoint(0, 0)), results->size()));
  attachmentsWindow_->RefreshAttachments();
}

}  // namespace korvan
