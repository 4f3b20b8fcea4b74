#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QStringList>

#include "camera/CameraDefinition.h"
#include "optics/CalcState.h"
#include "planner/Setup.h"
#include "ui/calculator/CalculatorContext.h"
#include "ui/widgets/Controls.h"

namespace Ui {
class CCalculatorDlg;
}

class QAction;
class QMenu;
class QDragEnterEvent;
class QDropEvent;

namespace korvan {

class CAttachmentsDlg;
class CPlannerDlg;

// The calculator window: gathers the texts of its controls, lets the core compute, and writes the
// core's texts back. Every input event ends in one of three cycles (Recalculate, RecalculateBlur,
// RecalculateFromEdit); every write of an edit box runs that box's handler at once.
class CCalculatorDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CCalculatorDlg(CalculatorContext context = {}, QWidget* parent = nullptr);
  ~CCalculatorDlg() override;

  // Camera list and camera in force.
  void AddCameraToList(const std::string& name, const std::string& path);
  bool LoadSelectedCamera();
  void ApplyCamera(const CameraDefinition& definition);
  const CameraDefinition& CurrentCamera() const { return currentCamera_; }
  const std::vector<std::string>& CameraFilePaths() const { return cameraFilePaths_; }

  // A command of the window's system menu (on other desktops, of its context menu); true when it
  // was the About item, which opens the About box.
  bool OnSysCommand(unsigned commandId);

  const CalcState& State() const { return state_; }
  CAttachmentsDlg* AttachmentsWindow() const { return attachmentsWindow_; }
  CPlannerDlg* PlannerWindow() const { return plannerWindow_; }

  // The planner's choices, carried out as the user's own would be: the entry is selected and the
  // list's handler runs its cycle. False when the list has no such entry.
  bool ChooseListEntry(int listId, const QString& text);
  bool ChooseShutter(int multiple);
  // The frame rate and then the resolution of one of the camera's modes.
  bool ChooseMode(std::size_t mode);
  // The focal length typed into its box (taken by value: the cycles it runs refresh the planner,
  // whose texts the caller may have passed); where the compute mode makes it a result, the mode that
  // keeps the distance and computes the field (Field Width, lens input focal length) comes first.
  void EnterFocalLength(std::string text);
  // The focal length and the wanted field typed in Object Distance mode, so that the distance
  // follows the lens and the field stays as wanted.
  void PlaceLensForField(std::string focalLength, std::string fieldWidth);

  // Setups: the window's inputs as one, and one entered as the user would enter it (false, with a
  // message and nothing changed, when it is refused); the results as tab-separated lines.
  planner::Setup CurrentSetup() const;
  // `remember` puts the file at the head of the recent setups.
  bool OpenSetup(const std::string& path, bool remember = true);
  bool SaveSetup(const std::string& path);
  // Ask for the file first (the planner window offers these too).
  void OnOpenSetup();
  void OnSaveSetup();
  QString ResultsText() const;

  // The cycles.
  void Recalculate();
  void RecalculateBlur();
  void RecalculateFromEdit(int editId);
  void ReadInputs();
  void ShowResults();
  void SetStatus(std::uint32_t key);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
#ifdef Q_OS_WIN
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif
  // However the window ends, the attachments window goes with it.
  void done(int result) override;

 private:
  // Initialisation and compute modes.
  void OnInitDialog();
  void ConnectControls();
  void SizeControls();
  void OnComputeModeChanged();
  void OnFocalLengthRadio();
  void OnMagnificationRadio();
  void OnReset();
  void OnOK();
  void OnQuit();

  // Shell pieces, filled in by the application's start-up.
  void AddAboutMenuItem();
  void SetUpIcon();
  void OnAbout();
  bool ApplyLaunchRequest();
  int RestoreLastCamera();
  void FillCameraListFromRecentFiles();
  void OnSelectCameraFiles();
  void OpenCameraFiles(const QStringList& chosen);

  // Camera files written in the camera editor (context menu).
  void AddCameraFileActions();
  void AddHelp();
  void UpdateCameraFileActions();
  void OnNewCameraFile();
  void OnEditCameraFile();
  void RunCameraEditor(const CameraDefinition* start);
  void LoadSavedCameraFile(const QString& path);

  // Camera, frame rate, resolution and shutter.
  void OnCameraChange();
  void OnFrameRateChanged();
  void OnResolutionChanged();
  void ShowMode(std::optional<std::size_t> mode);
  void FillResolutionList(std::uint32_t rate, std::size_t modeIndex);
  void FillShutterList(std::uint32_t rate);
  void AppendCameraEntry(const std::string& name);
  void SelectCameraEntry(const std::string& name);
  void ShowMessage(const std::string& text);

  // Units, edit boxes and the attachments window.
  void OnUnitsChanged();
  void UpdateResultUnitLabel();
  void OnEditTextChanged(int editId);
  void WriteBox(int id, const std::string& text);
  void ShowAttachments();
  void ShowPlanner();
  void AddPlannerMenuItem();
  void AddSetupMenuItems();
  void InsertMenuAction(QAction* action);
  void FillRecentSetupsMenu();
  void OpenRecentSetup(const std::string& path);
  void RestoreInputs();
  void KeepInputs();

  int ComputeModeIndex() const;
  int UnitIndex() const;
  QLineEdit* Edit(int id) const { return controls_.Get<QLineEdit>(id); }
  QComboBox* List(int id) const { return controls_.Get<QComboBox>(id); }

  std::unique_ptr<Ui::CCalculatorDlg> ui_;
  ControlTable controls_;
  CalculatorContext context_;
  CalcState state_;
  CameraDefinition genericCamera_;
  CameraDefinition currentCamera_;
  std::vector<std::string> cameraFilePaths_;
  std::array<int, 3> statusRowByKey_{};
  CAttachmentsDlg* attachmentsWindow_ = nullptr;  // owned as a child window
  QAction* newCameraFileAction_ = nullptr;
  QAction* editCameraFileAction_ = nullptr;
  CPlannerDlg* plannerWindow_ = nullptr;          // owned as a child window
  QMenu* recentSetupsMenu_ = nullptr;              // owned by the window
  QAction* restoreInputsAction_ = nullptr;
};

}  // namespace korvan
