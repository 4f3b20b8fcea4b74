// The planner's "Export Sheet...": the file and note asked for, and the sheet written.
#include <ctime>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>
#include <QInputDialog>

#include "ui/planner/CPlannerDlg.h"

namespace korvan {

namespace {

constexpr char kExportCaption[] = "Export Sheet";

// The folder of the last sheet written in this session; at first the user's documents folder,
// never the folder of the camera files, which may be read-only.
QString& LastSheetFolder() {
  static QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return folder;
}

std::optional<SheetRequest> AskForSheet(QWidget* owner, const QString& note) {
  QStringList filters;
  for (const SheetFilter& filter : kSheetFilters) filters << QString::fromLatin1(filter.filter);
  QString chosenFilter = filters.front();
  const QString chosen = QFileDialog::getSaveFileName(owner, QString::fromLatin1(kExportCaption), LastSheetFolder(),
                                                      filters.join(QStringLiteral(";;")), &chosenFilter);
  if (chosen.isEmpty()) return std::nullopt;
  SheetRequest request;
  for (const SheetFilter& filter : kSheetFilters) {
    if (chosenFilter == QLatin1String(filter.filter)) request.form = filter.form;
  }
  request.path = SheetPath(chosen, request.form);
  // One line, so that Enter accepts the note as typed.
  bool accepted = false;
  request.note = QInputDialog::getText(owner, QString::fromLatin1(kExportCaption), QStringLiteral("&Note for the sheet:"),
                                       QLineEdit::Normal, note, &accepted);
  if (!accepted) return std::nullopt;
  return request;
}

}  // namespace

bool CPlannerDlg::ExportSheet() {
  const std::optional<SheetRequest> request =
      context_.chooseSheet ? context_.chooseSheet(this, lastNote_) : AskForSheet(this, lastNote_);
  if (!request) return false;
  lastNote_ = request->note;
  // The sheet shows what the window shows now, whatever changed since the last cycle.
  RefreshPlanner();
  const planner::SheetInfo info{planner::SheetDateTime(std::time(nullptr)), request->note.toStdString()};
  const QString failure = WriteSheet(*request, plan_, info);
  if (failure.isEmpty()) {
    LastSheetFolder() = QFileInfo(request->path).absolutePath();
    ShowStatus(QStringLiteral("Sheet saved: ") + QDir::toNativeSeparators(request->path));
    return true;
  }
  ShowStatus({});
  ShowMessage(failure);
  return false;
}

}  // namespace korvan
