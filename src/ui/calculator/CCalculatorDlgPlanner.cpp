// The calculator window's side of the planner: opening it, and the choices it makes in the
// calculator on the user's request.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "camera/CameraModes.h"
#include "optics/ControlIds.h"
#include "optics/Display.h"
#include "optics/NumberText.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/planner/CPlannerDlg.h"
#include "ui/widgets/WindowPlacement.h"
#include "ui_CCalculatorDlg.h"

namespace korvan {

void CCalculatorDlg::AddPlannerMenuItem() {
  auto* planner = new QAction(QStringLiteral("Pla&nner..."), this);
  connect(planner, &QAction::triggered, this, &CCalculatorDlg::ShowPlanner);
  // With the camera-file items, ahead of the About item and its separator, which stay last.
  QAction* before = nullptr;
  for (QAction* action : actions()) {
    if (action->isSeparator()) {
      before = action;
      break;
    }
  }
  insertAction(before, planner);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  // A change of the attachments is a change of the plan's set-up and of its sheet.
  connect(attachmentsWindow_, &CAttachmentsDlg::choicesChanged, this, [this] {
    if (plannerWindow_->isVisible()) plannerWindow_->RefreshPlanner();
  });
}

void CCalculatorDlg::ShowPlanner() {
  // Beside the calculator, which moves aside for it while the user has not moved it; else over its
  // results, never over its inputs.
  const QWidget* results = ui_->calcGroup;
  ShowBesideMovingAnchor(plannerWindow_, this, QRect(results->mapTo(this, QPoint(0, 0)), results->size()));
  plannerWindow_->RefreshPlanner();
}

bool CCalculatorDlg::ChooseListEntry(int listId, const QString& text) {
  QComboBox* list = List(listId);
  const int index = list->findText(text, Qt::MatchFixedString);
  if (index < 0) return false;
  list->setCurrentIndex(index);
  // The same signal a user's pick raises, so the list's own handler runs its cycle.
  emit list->activated(index);
  return true;
}

bool CCalculatorDlg::ChooseShutter(int multiple) {
  QComboBox* list = List(ids::kShutterList);
  if (multiple < 1 || multiple > list->count()) return false;
  list->setCurrentIndex(multiple - 1);
  emit list->activated(multiple - 1);
  return true;
}

bool CCalculatorDlg::ChooseMode(std::size_t mode) {
  if (mode >= currentCamera_.ModeCount()) return false;
  if (!ChooseListEntry(ids::kFrameRateList, QString::fromStdString(FormatInt(currentCamera_.frameRates[mode])))) {
    return false;
  }
  return ChooseListEntry(ids::kResolutionList, QString::fromStdString(ResolutionEntry(currentCamera_.widthsPx[mode],
                                                                                      currentCamera_.heightsPx[mode])));
}

void CCalculatorDlg::EnterFocalLength(std::string text) {
  QLineEdit* box = Edit(ids::kFocalLengthEdit);
  if (box->isReadOnly()) {
    auto* modes = List(ids::kComputeModeList);
    const auto mode = static_cast<ComputeMode>(modes->currentIndex());
    if (mode == ComputeMode::FocalLength || mode == ComputeMode::Magnification) {
      ChooseListEntry(ids::kComputeModeList, modes->itemText(static_cast<int>(ComputeMode::FieldWidth)));
    }
    if (box->isReadOnly()) controls_.Get<QRadioButton>(ids::kFocalLengthRadio)->click();
  }
  // As typed: the box holds the text, the full cycle runs and the box's warning follows it.
  box->setText(QString::fromStdString(text));
  Recalculate();
  if (const auto warning = WarningAfterTextChange(ids::kFocalLengthEdit, state_)) SetStatus(*warning);
}

void CCalculatorDlg::PlaceLensForField(std::string focalLength, std::string fieldWidth) {
  auto* modes = List(ids::kComputeModeList);
  if (static_cast<ComputeMode>(modes->currentIndex()) != ComputeMode::ObjectDistance) {
    ChooseListEntry(ids::kComputeModeList, modes->itemText(static_cast<int>(ComputeMode::ObjectDistance)));
  }
  if (Edit(ids::kFocalLengthEdit)->isReadOnly()) controls_.Get<QRadioButton>(ids::kFocalLengthRadio)->click();
  Edit(ids::kFieldWidthEdit)->setText(QString::fromStdString(fieldWidth));
  Edit(ids::kFocalLengthEdit)->setText(QString::fromStdString(focalLength));
  Recalculate();
  if (const auto warning = WarningAfterTextChange(ids::kFocalLengthEdit, state_)) SetStatus(*warning);
}

}  // namespace korvan
