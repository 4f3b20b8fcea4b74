#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QDialog>

#include "optics/CalcState.h"

class QLabel;

#include "planner/PlanSheet.h"
#include "planner/Planner.h"
#include "ui/planner/PlannerContext.h"

class QLabel;
class QPushButton;

namespace Ui {
class CPlannerDlg;
}


namespace korvan {

class CCalculatorDlg;
class ModeTableModel;
class LightPage;

// The shoot planner: a modeless window owned by the calculator that shows, live, the sharpness
// budget, the camera modes, the lens kit and the charts for the calculator's state after each
// cycle. It reads the calculator and, on the user's request, chooses in it as the user would.
// Every number it shows is a text of the planner core.
class CPlannerDlg : public QDialog {
  Q_OBJECT

 public:
  CPlannerDlg(CCalculatorDlg& calculator, PlannerContext context);
  ~CPlannerDlg() override;

  // Reads the inputs, computes the plan and writes every page.
  void RefreshPlanner();

  planner::PlannerTexts Texts() const;
  // The texts entered as typed: the boxes and the kit filled, the plan refreshed.
  void EnterTexts(const planner::PlannerTexts& texts);
  const planner::Plan& CurrentPlan() const { return plan_; }

  // "Export Sheet...": asks for the file and the note, then writes the sheet. False when
  // cancelled or when the write failed (the message has been shown).
  bool ExportSheet();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void ConnectControls();
  void SizeControls();
  void ApplyTexts(const planner::PlannerTexts& texts);
  void OnInputEdited();
  void SaveTexts();
  void ShowSharpness();
  void ShowModes();
  void ShowLenses();
  void ShowCharts();
  void OnUseFNumber();
  void OnUseShutter();
  void OnModeActivated(int row);
  void OnLensActivated(int row);
  void OnKeepField();
  void AddControls();
  void ConvertDepth(LengthUnit to);
  void ShowStatus(const QString& text);
  void ShowMessage(const QString& text);
  void FollowCameraIso();
  void OnUseRecommended();

  std::unique_ptr<Ui::CPlannerDlg> ui_;
  CCalculatorDlg& calculator_;
  PlannerContext context_;
  ModeTableModel* modeModel_;  // owned as a child object
  QLabel* lensInForceNote_ = nullptr;  // on the sharpness page, owned by it
  planner::Plan plan_;
  // Created here rather than in the form: the attachments in the plan, the targets a kit choice
  // keeps, the kit's buttons and the window's status line.
  QLabel* mountedNote_ = nullptr;
  QLabel* targetsNote_ = nullptr;
  QPushButton* keepDistanceButton_ = nullptr;
  QPushButton* keepFieldButton_ = nullptr;
  QLabel* statusNote_ = nullptr;
  LengthUnit depthUnit_ = LengthUnit::Meters;  // the unit the depth's text is in
  // The field the user asked for (typed, not computed), kept across a kit choice that moves it.
  double wantedField_ = 0;
  QString lastNote_;
  bool refreshing_ = false;
  LightPage* lightPage_;                  // owned as a child object
  std::optional<std::string> isoCamera_;  // the camera whose ISO the Light page shows
};

}  // namespace korvan
