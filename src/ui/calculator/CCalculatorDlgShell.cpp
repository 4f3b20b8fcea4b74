// The calculator window's pieces that belong to the application shell and the camera catalogue:
// the About item and box, the icon, the host's launch request, the last camera, the recent files
// and the files chosen with "Select...".
#include <QAction>
#include <QComboBox>
#include <QIcon>

#include "ui/about/CAboutDlg.h"
#include "ui/calculator/CameraCatalog.h"
#include "launch/LaunchMessage.h"
#include "camera/CameraFile.h"
#include "camera/CameraModes.h"
#include "optics/ControlIds.h"
#include "optics/NumberText.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/widgets/Controls.h"
#include "ui/calculator/CMyFileDialog.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace korvan {

namespace {

std::string Joined(std::string_view a, const std::string& b, std::string_view c = {}) {
  std::string text(a);
  text += b;
  text += c;
  return text;
}

// Selects the entry with exactly `text`, ignoring case; the first entry when there is none.
// False when it had to fall back.
bool SelectEntryOrFirst(QComboBox* list, const std::string& text) {
  const int found = list->findText(QString::fromStdString(text), Qt::MatchFixedString);
  list->setCurrentIndex(found >= 0 ? found : (list->count() > 0 ? 0 : -1));
  return found >= 0;
}

}  // namespace

void CCalculatorDlg::AddAboutMenuItem() {
  const QString text = FromText(kAboutMenuText);
  if (text.isEmpty()) return;
#ifdef Q_OS_WIN
  HMENU menu = ::GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
  if (!menu) return;
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, MF_STRING, kAboutCommandId, reinterpret_cast<LPCWSTR>(text.utf16()));
#else
  // Other desktops give a program no say in the title bar's menu; the window's own context menu
  // carries the item instead.
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  auto* about = new QAction(text, this);
  about->setData(kAboutCommandId);
  connect(about, &QAction::triggered, this, [this] { OnSysCommand(kAboutCommandId); });
  addAction(separator);
  addAction(about);
  setContextMenuPolicy(Qt::ActionsContextMenu);
#endif
}

bool CCalculatorDlg::OnSysCommand(unsigned commandId) {
  if ((commandId & 0xFFF0u) != kAboutCommandId) return false;
  OnAbout();
  return true;
}

#ifdef Q_OS_WIN
bool CCalculatorDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  const auto* msg = static_cast<const MSG*>(message);
  if (eventType == "windows_generic_MSG" && msg->message == WM_SYSCOMMAND &&
      OnSysCommand(static_cast<unsigned>(msg->wParam))) {
    *result = 0;
    return true;
  }
  return QDialog::nativeEvent(eventType, message, result);
}
#endif

void CCalculatorDlg::SetUpIcon() {
  // Drawn from one scalable picture at every size the desktop asks for, the title bar's small
  // one and the task switcher's large one alike.
  setWindowIcon(QIcon(QStringLiteral(":/korvan/icon.svg")));
}

void CCalculatorDlg::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

bool CCalculatorDlg::ApplyLaunchRequest() {
  HostLaunchRequest& request = *context_.launchRequest;
  // A bare file name: it is looked up in the current directory.
  const CameraNameResult read = ReadCameraName(request.cameraFile);
  if (!read.opened) {
    ShowMessage(Joined(kLaunchCannotOpenFile, request.cameraFile));
    return false;
  }
  if (!read.name) {
    ShowMessage(Joined(kLaunchBadFile, request.cameraFile));
    return false;
  }
  AddCameraToList(*read.name, request.cameraFile);
  SelectCameraEntry(*read.name);
  LoadSelectedCamera();

  bool allFound = true;
  if (!SelectEntryOrFirst(List(ids::kFrameRateList), FormatInt(request.frameRate))) {
    ShowMessage(std::string(kLaunchUnknownFrameRate));
    allFound = false;
  }
  OnFrameRateChanged();

  if (!SelectEntryOrFirst(List(ids::kResolutionList), ResolutionEntry(request.imageWidth, request.imageHeight))) {
    ShowMessage(std::string(kLaunchUnknownResolution));
    allFound = false;
  }
  OnResolutionChanged();

  request.shutterMultiple = ClampHostShutter(request.shutterMultiple);
  List(ids::kShutterList)->setCurrentIndex(request.shutterMultiple - 1);
  RecalculateBlur();
  return allFound;
}

int CCalculatorDlg::RestoreLastCamera() {
  const std::optional<std::string> path = context_.lastCamera ? context_.lastCamera() : std::nullopt;
  if (!path) return -1;
  const CameraNameResult read = ReadCameraName(*path);
  if (!read.opened) {
    ShowMessage(Joined(kRestoreCannotOpenMessage, *path, kRestoreFallbackSuffix));
    return -1;
  }
  if (!read.name) {
    ShowMessage(Joined(kRestoreEmptyMessage, *path, kRestoreFallbackSuffix));
    return -1;
  }
  AddCameraToList(*read.name, *path);
  SelectCameraEntry(*read.name);
  LoadSelectedCamera();
  return 0;
}

void CCalculatorDlg::FillCameraListFromRecentFiles() {
  if (!context_.recentFileNames) return;
  for (const std::string& path : context_.recentFileNames()) {
    if (path.empty()) continue;
    // Files that vanished or lost their name since are passed over without a word.
    const CameraNameResult read = ReadCameraName(path);
    if (read.name) AddCameraToList(*read.name, path);
  }
}

void CCalculatorDlg::OnSelectCameraFiles() {
  const std::optional<QStringList> chosen =
      context_.chooseCameraFiles ? context_.chooseCameraFiles(this) : ChooseCameraFiles(this);
  if (!chosen) return;
  OpenCameraFiles(*chosen);
}

void CCalculatorDlg::OpenCameraFiles(const QStringList& chosen) {
  // The name of the last file whose name was read: a file without one empties it, a file that
  // cannot be opened leaves it as it was.
  std::string name;
  for (const QString& chosenPath : chosen) {
    const std::string path = PathToBytes(chosenPath);
    const CameraNameResult read = ReadCameraName(path);
    if (!read.opened) {
      ShowMessage(Joined(kSelectCannotOpenMessage, path));
      continue;
    }
    name = read.name.value_or(std::string());
    if (!read.name) {
      ShowMessage(Joined(kEmptyCameraMessage, path));
      continue;
    }
    AddCameraToList(name, path);
  }
  // No name leaves the list without a selection, and the load then keeps the camera in force.
  if (name.empty()) {
    List(ids::kCameraList)->setCurrentIndex(-1);
  } else {
    SelectCameraEntry(name);
  }
  LoadSelectedCamera();
}

}  // namespace korvan
