#include "ui/cameraeditor/CCameraEditorDlg.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStringListModel>
#include <QTimer>

#include "camera/CameraModes.h"
#include "camera/CameraWriter.h"
#include "optics/NumberText.h"
#include "ui/cameraeditor/CameraModeModel.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/MessageSink.h"
#include "ui/widgets/ScreenFit.h"
#include "ui/widgets/ToolTips.h"
#include "ui_CCameraEditorDlg.h"

namespace korvan {

namespace {

constexpr char kCaption[] = "Korvan Lens Calculator";
constexpr char kWrittenBy[] = "the Korvan Lens Calculator camera editor";

void ShowProblem(QLabel* label, std::optional<std::string_view> problem) {
  label->setText(problem ? FromText(*problem) : QString());
}

QString PixelText(double pitch) {
  if (const std::optional<std::string> text = PixelPitchText(pitch)) return QString::fromStdString(*text);
  return QString::fromStdString(FormatG15(pitch / 1e-6));
}

std::optional<QString> AskForSavePath(QWidget* owner, const QString& suggested) {
  // The overwrite question comes after ".cam" is added, so the dialog must not ask on its own.
  const QString path = QFileDialog::getSaveFileName(owner, QStringLiteral("Save Camera File"), suggested,
                                                    QStringLiteral("Camera Files (*.cam);;All Files (*.*)"), nullptr,
                                                    QFileDialog::DontConfirmOverwrite);
  if (path.isEmpty()) return std::nullopt;
  return path;
}

bool AskToReplace(QWidget* owner, const QString& question) {
  return QMessageBox::question(owner, QString::fromLatin1(kCaption), question, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

CCameraEditorDlg::CCameraEditorDlg(CameraEditorHooks hooks, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CCameraEditorDlg>()), hooks_(std::move(hooks)) {
  ui_->setupUi(this);
  modes_ = new CameraModeModel(this);
  previewRates_ = new QStringListModel(this);
  previewResolutions_ = new QStringListModel(this);
  ui_->modeTable->setModel(modes_);
  ui_->previewRates->setModel(previewRates_);
  ui_->previewResolutions->setModel(previewResolutions_);

  // Rows of one fixed height: the view then never measures rows, however many are pasted.
  QHeaderView* rows = ui_->modeTable->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(fontMetrics().height() + 6);
  ui_->modeTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

  // Reasons wrap within a fixed width, so a reason appearing never resizes the window.
  for (QLabel* label :
       {ui_->nameProblem, ui_->pixelWidthProblem, ui_->pixelHeightProblem, ui_->modesProblem, ui_->previewSummary}) {
    label->setMinimumHeight(fontMetrics().lineSpacing() * 2);
    QPalette palette = label->palette();
    if (label != ui_->previewSummary) palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    label->setPalette(palette);
  }
  const int reasonWidth = fontMetrics().averageCharWidth() * 44;
  for (QLabel* label : {ui_->nameProblem, ui_->pixelWidthProblem, ui_->pixelHeightProblem}) {
    label->setFixedWidth(reasonWidth);
  }
  ui_->modesProblem->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  ui_->previewSummary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  ui_->previewSummary->setMinimumHeight(fontMetrics().lineSpacing() * 3);
  ui_->previewGroup->setMinimumWidth(fontMetrics().averageCharWidth() * 30);
  ui_->modeTable->setMinimumSize(fontMetrics().averageCharWidth() * 48, fontMetrics().height() * 16);

  QPushButton* save = ui_->buttonBox->button(QDialogButtonBox::Save);
  save->setText(QStringLiteral("&Save..."));
  save->setObjectName(QStringLiteral("saveButton"));
  connect(save, &QPushButton::clicked, this, &CCameraEditorDlg::Save);
  connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

  refreshTimer_ = new QTimer(this);
  refreshTimer_->setSingleShot(true);
  refreshTimer_->setInterval(0);
  connect(refreshTimer_, &QTimer::timeout, this, &CCameraEditorDlg::Refresh);
  for (QLineEdit* edit : {ui_->nameEdit, ui_->pixelWidthEdit, ui_->pixelHeightEdit}) {
    connect(edit, &QLineEdit::textChanged, this, [this] { ScheduleRefresh(false); });
  }
  connect(modes_, &CameraModeModel::modesChanged, this, [this] { ScheduleRefresh(true); });
  connect(ui_->previewRates, &QComboBox::currentIndexChanged, this, &CCameraEditorDlg::ShowPreviewResolutions);

  connect(ui_->addButton, &QPushButton::clicked, this, &CCameraEditorDlg::AddMode);
  connect(ui_->removeButton, &QPushButton::clicked, this, &CCameraEditorDlg::RemoveModes);
  connect(ui_->duplicateButton, &QPushButton::clicked, this, &CCameraEditorDlg::DuplicateModes);
  connect(ui_->sortButton, &QPushButton::clicked, modes_, &CameraModeModel::SortModes);
  connect(ui_->pasteButton, &QPushButton::clicked, this, &CCameraEditorDlg::PasteFromClipboard);

  auto* paste = new QAction(ui_->modeTable);
  paste->setShortcut(QKeySequence::Paste);
  paste->setShortcutContext(Qt::WidgetShortcut);
  connect(paste, &QAction::triggered, this, &CCameraEditorDlg::PasteFromClipboard);
  ui_->modeTable->addAction(paste);
  auto* remove = new QAction(ui_->modeTable);
  remove->setShortcut(QKeySequence::Delete);
  remove->setShortcutContext(Qt::WidgetShortcut);
  connect(remove, &QAction::triggered, this, &CCameraEditorDlg::RemoveModes);
  ui_->modeTable->addAction(remove);

  Refresh();
  AddCameraEditorToolTips(this);
  FitToScreen(this);
}

CCameraEditorDlg::~CCameraEditorDlg() = default;

void CCameraEditorDlg::SetCamera(const CameraDefinition& camera) {
  setWindowTitle(QStringLiteral("Edit Camera File"));
  ui_->nameEdit->setText(FromFileText(camera.name));
  ui_->pixelWidthEdit->setText(PixelText(camera.pixelPitchX));
  ui_->pixelHeightEdit->setText(PixelText(camera.pixelPitchY));
  modes_->SetModes(camera);
  suggestedPath_ = PathFromBytes(camera.filePath);
  Refresh();
}

void CCameraEditorDlg::ScheduleRefresh(bool modesChanged) {
  modesDirty_ = modesDirty_ || modesChanged;
  refreshTimer_->start();
}

void CCameraEditorDlg::Refresh() {
  refreshTimer_->stop();
  const std::string name = ui_->nameEdit->text().toStdString();
  const std::optional<std::string_view> nameProblem = CheckCameraName(name);
  ShowProblem(ui_->nameProblem, nameProblem);
  const PixelSizeReading width = ReadPixelSizeText(ui_->pixelWidthEdit->text().toStdString());
  const PixelSizeReading height = ReadPixelSizeText(ui_->pixelHeightEdit->text().toStdString());
  ShowProblem(ui_->pixelWidthProblem, width.problem);
  ShowProblem(ui_->pixelHeightProblem, height.problem);

  camera_.name = name;
  camera_.pixelPitchX = width.micrometres * 1e-6;
  camera_.pixelPitchY = height.micrometres * 1e-6;

  QString modesProblem;
  if (modes_->rowCount() == 0) {
    modesProblem = FromText(kNoModeMessage);
  } else if (const auto first = modes_->FirstProblem()) {
    static constexpr CameraField kFields[] = {CameraField::FrameRate, CameraField::Width, CameraField::Height};
    const auto& cell = modes_->RowAt(first->first)[static_cast<std::size_t>(first->second)];
    modesProblem =
        FromText(DescribeIssue({kFields[first->second], static_cast<std::size_t>(first->first), *cell.problem}));
    if (modes_->InvalidCellCount() > 1) {
      modesProblem += QStringLiteral(" (%1 cells to correct)").arg(modes_->InvalidCellCount());
    }
  }
  ui_->modesProblem->setText(modesProblem);

  if (modesDirty_) RefreshPreview();
  canSave_ = !nameProblem && !width.problem && !height.problem && modesProblem.isEmpty() &&
             CheckCameraForWriting(camera_).empty();
  ui_->buttonBox->button(QDialogButtonBox::Save)->setEnabled(canSave_);
  ui_->removeButton->setEnabled(modes_->rowCount() > 0);
  ui_->duplicateButton->setEnabled(modes_->rowCount() > 0);
  ui_->sortButton->setEnabled(modes_->rowCount() > 1);
}

void CCameraEditorDlg::RefreshPreview() {
  modesDirty_ = false;
  modes_->FillModes(camera_);
  const QString selected = ui_->previewRates->currentText();
  QStringList rates;
  for (const std::string& entry : FrameRateEntries(camera_)) rates.append(QString::fromStdString(entry));
  {
    const QSignalBlocker blocker(ui_->previewRates);
    previewRates_->setStringList(rates);
    const int keep = rates.indexOf(selected);
    ui_->previewRates->setCurrentIndex(keep >= 0 ? keep : (rates.isEmpty() ? -1 : 0));
  }
  ShowPreviewResolutions();
  const int left = modes_->rowCount() - static_cast<int>(camera_.ModeCount());
  QString summary = QStringLiteral("%1 modes, %2 frame rates").arg(camera_.ModeCount()).arg(rates.size());
  if (left > 0) summary += QStringLiteral("\n%1 rows left out until corrected").arg(left);
  ui_->previewSummary->setText(summary);
}

void CCameraEditorDlg::ShowPreviewResolutions() {
  QStringList entries;
  const std::optional<std::size_t> mode = FindCurrentMode(camera_, ui_->previewRates->currentText().toStdString(), {});
  if (mode) {
    for (const std::string& entry : BuildResolutionList(camera_, camera_.frameRates[*mode], std::nullopt).entries) {
      entries.append(QString::fromStdString(entry));
    }
  }
  previewResolutions_->setStringList(entries);
}

int CCameraEditorDlg::CurrentRow() const {
  const QModelIndex current = ui_->modeTable->currentIndex();
  return current.isValid() ? current.row() : -1;
}

std::vector<int> CCameraEditorDlg::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : ui_->modeTable->selectionModel()->selectedRows()) rows.push_back(index.row());
  if (rows.empty() && CurrentRow() >= 0) rows.push_back(CurrentRow());
  return rows;
}

void CCameraEditorDlg::AddMode() {
  const int row = CurrentRow() >= 0 ? CurrentRow() + 1 : modes_->rowCount();
  modes_->InsertRows(row, {CameraModeModel::MakeRow(QString(), QString(), QString())});
  const QModelIndex first = modes_->index(row, CameraModeModel::kRateColumn);
  ui_->modeTable->setCurrentIndex(first);
  ui_->modeTable->edit(first);
}

void CCameraEditorDlg::RemoveModes() { modes_->RemoveRowsAt(SelectedRows()); }

void CCameraEditorDlg::DuplicateModes() { modes_->DuplicateRowsAt(SelectedRows()); }

void CCameraEditorDlg::PasteFromClipboard() { PasteRows(QApplication::clipboard()->text()); }

void CCameraEditorDlg::PasteRows(const QString& text) {
  const std::vector<CameraDraft::Mode> pasted = ModesFromText(text.toStdString());
  std::vector<CameraModeModel::Row> rows;
  rows.reserve(pasted.size());
  for (const CameraDraft::Mode& mode : pasted) {
    rows.push_back(CameraModeModel::MakeRow(mode.rate, mode.width, mode.height));
  }
  const int row = CurrentRow() >= 0 ? CurrentRow() + 1 : modes_->rowCount();
  modes_->InsertRows(row, std::move(rows));
}

void CCameraEditorDlg::ShowMessage(const QString& text) {
  MessageSink& sink = hooks_.messages ? *hooks_.messages : DefaultMessageSink();
  sink.Show(this, QString::fromLatin1(kCaption), text);
}

void CCameraEditorDlg::Save() {
  Refresh();
  if (!canSave_) return;
  QString suggested = suggestedPath_;
  if (suggested.isEmpty()) suggested = ui_->nameEdit->text() + QStringLiteral(".cam");
  const std::optional<QString> chosen =
      hooks_.chooseSavePath ? hooks_.chooseSavePath(this, suggested) : AskForSavePath(this, suggested);
  if (!chosen || chosen->isEmpty()) return;
  QString path = *chosen;
  if (!path.endsWith(QStringLiteral(".cam"), Qt::CaseInsensitive)) path += QStringLiteral(".cam");
  if (QFileInfo::exists(path)) {
    const QString question = QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(path);
    if (!(hooks_.confirmReplace ? hooks_.confirmReplace(this, question) : AskToReplace(this, question))) return;
  }

  const std::optional<std::string> text = WriteCameraText(camera_, kWrittenBy);
  if (!text) return;  // Refresh has just found nothing against it
  // The old file is replaced only once the new one is complete on the disk.
  QSaveFile file(path);
  const bool written =
      file.open(QIODevice::WriteOnly) &&
      file.write(text->data(), static_cast<qint64>(text->size())) == static_cast<qint64>(text->size()) && file.commit();
  if (!written) {
    const QString reason = file.errorString();
    file.cancelWriting();
    ShowMessage(FromFileText(WriteFailure(PathToBytes(path), reason.toStdString())));
    return;
  }
  savedPath_ = path;
  accept();
}

}  // namespace korvan
