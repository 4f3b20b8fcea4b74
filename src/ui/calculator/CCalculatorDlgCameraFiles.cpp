// Camera files described in the camera editor: the context-menu items that open it, and loading
// the saved file as the files chosen with "Select..." are loaded.
#include <QAction>
#include <QComboBox>

#include "camera/CameraDefinition.h"
#include "camera/CameraFile.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/cameraeditor/CCameraEditorDlg.h"
#include "ui/widgets/Controls.h"

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
  const std::string bytes = PathToBytes(path);
  // The file just written may be the one in force, now with other contents: it must be read
  // afresh, not passed over as the unchanged camera.
  if (currentCamera_.filePath == bytes) currentCamera_.filePath.clear();
  // A camera listed under the same name would be loaded from its own file in place of the one
  // just written; its entry stands for the new file from now on.
  if (const std::optional<std::string> name = ReadCameraName(bytes).name) {
    auto* list = List(ids::kCameraList);
    const int listed = list->findText(FromFileText(*name), Qt::MatchFixedString);
    if (listed > 0 && cameraFilePaths_[static_cast<std::size_t>(listed)] != bytes) {
      cameraFilePaths_[static_cast<std::size_t>(listed)] = bytes;
      list->setItemText(listed, FromFileText(*name));
      list->setItemData(listed, QByteArray::fromStdString(*name));
    }
  }
  OpenCameraFiles({path});
}

}  // namespace korvan
