#pragma once

#include <memory>
#include <optional>

#include <QFileDialog>
#include <QStringList>

namespace Ui {
class CMyFileDialogPanel;
}

namespace korvan {

class CStaticLink;

// The maker's page with camera files for download.
inline constexpr char kDownloadPageUrl[] = "https://www.varnholt.example/html/selectcamfiles.html";

inline constexpr char kCameraFilesFilter[] = "Camera Files (*.cam)";
inline constexpr char kAllFilesFilter[] = "All Files (*.*)";

// The open-file dialog for camera files: Qt's own dialog (not the desktop's, so that it can carry
// a panel below its controls) with a link to the page where more camera files can be had.
class CMyFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  explicit CMyFileDialog(QWidget* parent = nullptr);
  ~CMyFileDialog() override;

  CStaticLink* DownloadLink() const;

 private:
  void UseFilter(const QString& filter);
  // Drops the default suffix while every name typed exists as typed, and weighs Open again.
  void FollowTypedNames();
  void UseSuffix(const QString& suffix);
  void CreateCameraFile();

  std::unique_ptr<Ui::CMyFileDialogPanel> panel_;
};

// Asks the user for camera files with a CMyFileDialog run modally: the chosen paths, each a full
// path, in the order the dialog gives them; nothing when the user cancelled.
std::optional<QStringList> ChooseCameraFiles(QWidget* owner);

}  // namespace korvan
