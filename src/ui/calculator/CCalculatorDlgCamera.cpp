// The camera list, loading and applying cameras, and the frame-rate, resolution and shutter lists.
#include <QComboBox>
#include <QLineEdit>

#include "camera/CameraFile.h"
#include "camera/CameraModes.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/widgets/MessageSink.h"

namespace korvan {

namespace {

constexpr char kWindowCaption[] = "Korvan Lens Calculator";

// The camera name exactly as the file spells it, kept beside the shown text: the unchanged-camera
// test compares bytes, and a shown text may be a decoding of them.
std::string EntryName(const QComboBox* list, int index) {
  return list->itemData(index).toByteArray().toStdString();
}

void ReplaceEntries(QComboBox* list, const std::vector<std::string>& entries) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(entries.size()));
  for (const std::string& entry : entries) texts.append(QString::fromStdString(entry));
  list->clear();
  list->addItems(texts);
}

}  // namespace

void CCalculatorDlg::AppendCameraEntry(const std::string& name) {
  auto* list = List(ids::kCameraList);
  list->addItem(FromFileText(name), QByteArray::fromStdString(name));
}

void CCalculatorDlg::AddCameraToList(const std::string& name, const std::string& path) {
  auto* list = List(ids::kCameraList);
  if (list->findText(FromFileText(name), Qt::MatchFixedString) >= 0) return;
  const int selected = list->currentIndex();
  AppendCameraEntry(name);
  cameraFilePaths_.push_back(path);
  list->setCurrentIndex(selected);  // an empty list would otherwise select its first entry
}

void CCalculatorDlg::SelectCameraEntry(const std::string& name) {
  auto* list = List(ids::kCameraList);
  list->setCurrentIndex(list->findText(FromFileText(name), Qt::MatchFixedString));
}

void CCalculatorDlg::ShowMessage(const std::string& text) {
  MessageSink& sink = context_.messages ? *context_.messages : DefaultMessageSink();
  sink.Show(this, QString::fromLatin1(kWindowCaption), FromFileText(text));
}

void CCalculatorDlg::OnCameraChange() {
  if (LoadSelectedCamera()) Recalculate();
}

bool CCalculatorDlg::LoadSelectedCamera() {
  const auto* list = List(ids::kCameraList);
  const int position = list->currentIndex();
  if (position < 0 || static_cast<std::size_t>(position) >= cameraFilePaths_.size()) return false;
  const std::string name = EntryName(list, position);
  const std::string path = cameraFilePaths_[static_cast<std::size_t>(position)];

  if (name == currentCamera_.name && path == currentCamera_.filePath) return false;
  if (name == genericCamera_.name && path == kGenericCameraPath) {
    ApplyCamera(genericCamera_);
    return false;
  }

  const CameraReadResult read = ReadCameraFile(path);
  switch (read.status) {
    case CameraReadStatus::Loaded:
      ApplyCamera(read.camera);
      if (context_.cameraLoaded) context_.cameraLoaded(path);
      return true;
    case CameraReadStatus::BadModeLine:
      ShowMessage(read.message);
      ApplyCamera(genericCamera_);
      SelectCameraEntry(genericCamera_.name);
      return true;
    default:
      ShowMessage(read.message);
      return false;
  }
}

void CCalculatorDlg::ApplyCamera(const CameraDefinition& definition) {
  auto* rates = List(ids::kFrameRateList);
  ReplaceEntries(rates, FrameRateEntries(definition));
  currentCamera_ = definition;
  UpdateCameraFileActions();
  rates->setCurrentIndex(rates->count() > 0 ? 0 : -1);
  OnFrameRateChanged();
}

void CCalculatorDlg::OnFrameRateChanged() {
  const auto mode = FindCurrentMode(currentCamera_, List(ids::kFrameRateList)->currentText().toStdString(),
                                    List(ids::kResolutionList)->currentText().toStdString());
  if (mode) {
    const std::uint32_t rate = currentCamera_.frameRates[*mode];
    FillResolutionList(rate, *mode);
    FillShutterList(rate);
  } else {
    List(ids::kResolutionList)->clear();
  }
  ShowMode(mode);
  Recalculate();
}

void CCalculatorDlg::OnResolutionChanged() {
  const auto mode = FindCurrentMode(currentCamera_, List(ids::kFrameRateList)->currentText().toStdString(),
                                    List(ids::kResolutionList)->currentText().toStdString());
  ShowMode(mode);
  Recalculate();
}

// The pixel and sensor sizes and the image size of the selected mode; with no mode at the
// selected rate the sensor is empty.
void CCalculatorDlg::ShowMode(std::optional<std::size_t> mode) {
  if (mode && *mode < currentCamera_.ModeCount()) {
    const ModeTexts texts = MakeModeTexts(currentCamera_, *mode);
    WriteBox(ids::kWidthPxBox, texts.widthPx);
    WriteBox(ids::kHeightPxBox, texts.heightPx);
    WriteBox(ids::kSensorWidthBox, texts.sensorWidthMm);
    WriteBox(ids::kSensorHeightBox, texts.sensorHeightMm);
    state_.sensorWidthPx = PixelCountAsInt(currentCamera_.widthsPx[*mode]);
    state_.sensorHeightPx = PixelCountAsInt(currentCamera_.heightsPx[*mode]);
  } else {
    for (int id : {ids::kWidthPxBox, ids::kHeightPxBox, ids::kSensorWidthBox, ids::kSensorHeightBox}) {
      WriteBox(id, "0");
    }
    state_.sensorWidthPx = 0;
    state_.sensorHeightPx = 0;
  }
}

void CCalculatorDlg::FillResolutionList(std::uint32_t rate, std::size_t modeIndex) {
  const ResolutionList resolutions = BuildResolutionList(currentCamera_, rate, modeIndex);
  auto* list = List(ids::kResolutionList);
  ReplaceEntries(list, resolutions.entries);
  list->setCurrentIndex(resolutions.selected);
}

void CCalculatorDlg::FillShutterList(std::uint32_t rate) {
  auto* list = List(ids::kShutterList);
  const int selected = list->currentIndex();
  ReplaceEntries(list, ShutterEntries(rate));
  list->setCurrentIndex(selected < list->count() ? selected : -1);
}

}  // namespace korvan
