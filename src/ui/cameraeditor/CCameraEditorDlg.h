#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QDialog>
#include <QString>

#include "camera/CameraDefinition.h"

namespace Ui {
class CCameraEditorDlg;
}

class QStringListModel;
class QTimer;

namespace korvan {

class CameraModeModel;
class MessageSink;

// What the camera editor asks of the desktop; tests put fixed answers in place.
struct CameraEditorHooks {
  // Where to save; nothing when cancelled. A save-file dialog when empty.
  std::function<std::optional<QString>(QWidget* owner, const QString& suggested)> chooseSavePath;
  // Whether an existing file may be replaced. A question box when empty.
  std::function<bool(QWidget* owner, const QString& question)> confirmReplace;
  // The warning boxes when null.
  MessageSink* messages = nullptr;
};

// Describes a camera (name, pixel size, modes), shows the lists the calculator will offer for it,
// and saves it as a camera file. Every field that cannot be written carries its reason beside it,
// and Save stays disabled until none does.
class CCameraEditorDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CCameraEditorDlg(CameraEditorHooks hooks = {}, QWidget* parent = nullptr);
  ~CCameraEditorDlg() override;

  // Starts from an existing camera, to be saved over its own file by default.
  void SetCamera(const CameraDefinition& camera);

  // Rows copied from a spreadsheet, added after the current row.
  void PasteRows(const QString& text);

  bool CanSave() const { return canSave_; }
  // The camera as it would be written: only the modes without a problem.
  const CameraDefinition& Camera() const { return camera_; }
  // The file written by the last successful save.
  const QString& SavedPath() const { return savedPath_; }

  void Save();

 private:
  void ScheduleRefresh(bool modesChanged);
  void Refresh();
  void RefreshPreview();
  void ShowPreviewResolutions();
  void AddMode();
  void RemoveModes();
  void DuplicateModes();
  void PasteFromClipboard();
  std::vector<int> SelectedRows() const;
  int CurrentRow() const;
  void ShowMessage(const QString& text);

  std::unique_ptr<Ui::CCameraEditorDlg> ui_;
  CameraEditorHooks hooks_;
  CameraModeModel* modes_ = nullptr;
  QStringListModel* previewRates_ = nullptr;
  QStringListModel* previewResolutions_ = nullptr;
  QTimer* refreshTimer_ = nullptr;
  bool modesDirty_ = true;
  bool canSave_ = false;
  CameraDefinition camera_;
  QString suggestedPath_;
  QString savedPath_;
};

}  // namespace korvan
