// The planner's "Export Sheet...": the file and note asked for, and the sheet written.
#include <ctime>

#include <QFileDialog>
#include <QInputDialog>

#include "ui/planner/CPlannerDlg.h"

namespace korvan {

namespace {

constexpr char kExportCaption[] = "Export Sheet";

std::optional<SheetRequest> AskForSheet(QWidget* owner, const QString& note) {
  QStringList filters;
  for (const SheetFilter& filter : kSheetFilters) filters << QString::fromLatin1(filter.filter);
  QString chosenFilter = filters.front();
  const QString chosen = QFileDialog::getSaveFileName(owner, QString::fromLatin1(kExportCaption), QString(),
                                                      filters.join(QStringLiteral(";;")), &chosenFilter);
  if (chosen.isEmpty()) return std::nullopt;
  SheetRequest request;
  for (const SheetFilter& filter : kSheetFilters) {
    if (chosenFilter == QLatin1String(filter.filter)) request.form = filter.form;
  }
  request.path = SheetPath(chosen, request.form);
  bool accepted = false;
  request.note = QInputDialog::getMultiLineText(owner, QString::fromLatin1(kExportCaption),
                                                QStringLiteral("&Note for the sheet:"), note, &accepted);
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
  if (failure.isEmpty()) return true;
  ShowMessage(failure);
  return false;
}

}  // namespace korvan
