// Camera files described in the camera editor: the context-menu items that open it, and loading
// the saved file as the files chosen with "Select..." are loaded.
#include <QAction>

#include "camera/CameraDefinition.h"
#include "ui/CCalculatorDlg.h"
#include "ui/CCameraEditorDlg.h"
#include "ui/Controls.h"

namespace korvan {

void CCalculatorDlg::AddCameraFileActions() {
  newCameraFileAction_ = new QAction(QStringLiteral("New Camera File..."), this);
  editCameraFileAction_ = new QAction(QStringLiteral("Edit Camera File..."), this);
  connect(newCameraFileAction_, &QAction::triggered, this, &CCalculatorDlg::OnNewCameraFile);
  connect(editCameraFileAction_, &QAction::triggered, this, &CCalculatorDlg::OnEditCameraFile);
  // Ahead of whatever the shell adds, which puts its own separator before its item.
  const QList<QAction*> existing = actions();
  insertActions(existing.isEmpty() ? nullptr : existing.first(), {newCameraFileAction_, editCameraFileAction_});
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CCalculatorDlg::UpdateCameraFileActions() {
  // The generic camera has no file to edit.
  if (editCameraFileAction_) editCameraFileAction_->setEnabled(!currentCamera_.filePath.empty());
}

void CCalculatorDlg::OnNewCameraFile() { RunCameraEditor(nullptr); }

void CCalculatorDlg::OnEditCameraFile() {
  if (currentCamera_.filePath.empty()) return;
  const CameraDefinition inForce = currentCamera_;
  RunCameraEditor(&inForce);
}

void CCalculatorDlg::RunCameraEditor(const CameraDefinition* start) {
  CameraEditorHooks hooks;
  hooks.chooseSavePath = context_.chooseCameraSavePath;
  hooks.confirmReplace = context_.confirmReplace;
  hooks.messages = context_.messages;
  CCameraEditorDlg editor(std::move(hooks), this);
  if (start) editor.SetCamera(*start);
  if (editor.exec() != QDialog::Accepted || editor.SavedPath().isEmpty()) return;
  LoadSavedCameraFile(editor.SavedPath());
}

void CCalculatorDlg::LoadSavedCameraFile(const QString& path) {
  // The file just written may be the one in force, now with other contents: it must be read
  // afresh, not passed over as the unchanged camera.
  if (currentCamera_.filePath == PathToBytes(path)) currentCamera_.filePath.clear();
  OpenCameraFiles({path});
}

}  // namespace korvan
