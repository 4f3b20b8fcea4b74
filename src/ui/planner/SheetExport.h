#pragma once

#include <QString>

#include "planner/PlanSheet.h"

class QPainter;
class QPdfWriter;

namespace korvan {

// The three forms of the setup sheet; the file dialog's filter chooses one.
enum class SheetForm { Pdf, Csv, Json };

struct SheetRequest {
  QString path;
  SheetForm form = SheetForm::Pdf;
  QString note;
};

// The file dialog's filters, in the order offered, and the form and suffix of each.
struct SheetFilter {
  const char* filter;
  SheetForm form;
  const char* suffix;
};
inline constexpr SheetFilter kSheetFilters[] = {
    {"PDF Sheet (*.pdf)", SheetForm::Pdf, "pdf"},
    {"CSV Table (*.csv)", SheetForm::Csv, "csv"},
    {"JSON Data (*.json)", SheetForm::Json, "json"},
};

// The path the sheet goes to and its form: a name that ends in a known suffix keeps it and takes its
// form, whatever the filter; any other name gets the chosen form's suffix.
QString SheetPath(const QString& chosen, SheetForm& form);

// The bytes of a CSV or JSON sheet, from the core's writers.
QByteArray SheetBytes(const planner::Plan& plan, const planner::SheetInfo& info, SheetForm form);

// Paints the sheet on one A4 page of `writer`: the rows of every section, the
// side view, the budget chart and the note.
void PaintSheet(QPdfWriter& writer, const planner::Plan& plan, const planner::SheetInfo& info);

// Writes the sheet through a QSaveFile, so a failed write leaves no file and no partial file;
// an empty text on success, else "Cannot write FILE: REASON".
QString WriteSheet(const SheetRequest& request, const planner::Plan& plan, const planner::SheetInfo& info);

}  // namespace korvan
