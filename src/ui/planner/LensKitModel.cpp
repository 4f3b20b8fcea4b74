#include "ui/planner/LensKitModel.h"

#include <algorithm>

namespace korvan {
namespace {

constexpr const char* kHeadings[] = {"Name",         "Focal Length\n(mm)", "f/ Min", "f/ Max", "Closest Focus\n(m)",
                                     "Image Circle\n(mm)", "Mount",        "Checks"};

QString Cleaned(QString text) {
  text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text.trimmed();
}

bool Empty(const LensKitModel::Row& row) {
  return std::all_of(row.begin(), row.end(), [](const QString& cell) { return cell.isEmpty(); });
}

std::vector<std::string> Cells(const LensKitModel::Row& row) {
  std::vector<std::string> cells;
  for (const QString& cell : row) cells.push_back(cell.toStdString());
  return cells;
}

}  // namespace

LensKitModel::LensKitModel(QObject* parent) : QAbstractTableModel(parent) {}

int LensKitModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LensKitModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kChecksColumn + 1; }

QVariant LensKitModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (index.column() == kChecksColumn) {
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return checks_[row];
    return {};
  }
  if (role == Qt::DisplayRole || role == Qt::EditRole) return rows_[row][static_cast<std::size_t>(index.column())];
  if (role == Qt::TextAlignmentRole && index.column() > 0 && index.column() < kChecksColumn - 1) {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
  }
  return {};
}

QVariant LensKitModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > kChecksColumn) return {};
  return QString::fromLatin1(kHeadings[section]);
}

Qt::ItemFlags LensKitModel::flags(const QModelIndex& index) const {
  const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  return index.column() == kChecksColumn ? flags : flags | Qt::ItemIsEditable;
}

bool LensKitModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.column() == kChecksColumn) return false;
  QString& cell = rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
  const QString text = Cleaned(value.toString());
  if (cell == text) return true;
  cell = text;
  emit dataChanged(index, index);
  emit Edited();
  return true;
}

std::vector<int> LensKitModel::UsedRows() const {
  std::vector<int> used;
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    if (!Empty(rows_[row])) used.push_back(static_cast<int>(row));
  }
  return used;
}

bool LensKitModel::Plain() const {
  for (const Row& row : rows_) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      // A focal length with a comma would split into two entries of the plain list.
      if (c == 1 ? row[c].contains(QLatin1Char(',')) : !row[c].isEmpty()) return false;
    }
  }
  return true;
}

std::string LensKitModel::KitText() const {
  if (!Plain()) return KitCsv();
  QStringList focalLengths;
  for (const int row : UsedRows()) focalLengths << rows_[static_cast<std::size_t>(row)][1];
  return focalLengths.join(QStringLiteral(", ")).toStdString();
}

std::string LensKitModel::KitCsv() const {
  std::string csv(planner::kLensKitHeader);
  csv.push_back('\n');
  for (const int row : UsedRows()) csv += planner::CsvLine(Cells(rows_[static_cast<std::size_t>(row)])) + '\n';
  return csv;
}

void LensKitModel::SetKitText(const std::string& text) {
  beginResetModel();
  rows_.clear();
  for (const std::vector<std::string>& cells : planner::LensKitCells(text)) {
    Row row;
    for (std::size_t c = 0; c < row.size(); ++c) row[c] = QString::fromStdString(cells[c]);
    rows_.push_back(row);
  }
  checks_.assign(rows_.size(), QString());
  endResetModel();
}

void LensKitModel::InsertRows(int at, const std::vector<Row>& rows) {
  if (rows.empty()) return;
  at = std::clamp(at, 0, rowCount());
  beginInsertRows({}, at, at + static_cast<int>(rows.size()) - 1);
  rows_.insert(rows_.begin() + at, rows.begin(), rows.end());
  checks_.insert(checks_.begin() + at, rows.size(), QString());
  endInsertRows();
  emit Edited();
}

void LensKitModel::RemoveRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  bool removed = false;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (*it < 0 || *it >= rowCount()) continue;
    beginRemoveRows({}, *it, *it);
    rows_.erase(rows_.begin() + *it);
    checks_.erase(checks_.begin() + *it);
    endRemoveRows();
    removed = true;
  }
  if (removed) emit Edited();
}

void LensKitModel::PasteCells(int row, int column, const std::vector<std::vector<std::string>>& cells) {
  if (cells.empty()) return;
  row = std::max(row, 0);
  column = std::clamp(column, 0, kChecksColumn - 1);
  const int needed = row + static_cast<int>(cells.size()) - rowCount();
  if (needed > 0) {
    beginInsertRows({}, rowCount(), rowCount() + needed - 1);
    rows_.resize(rows_.size() + static_cast<std::size_t>(needed));
    checks_.resize(rows_.size());
    endInsertRows();
  }
  for (std::size_t r = 0; r < cells.size(); ++r) {
    Row& target = rows_[static_cast<std::size_t>(row) + r];
    for (std::size_t c = 0; c < cells[r].size() && column + c < target.size(); ++c) {
      target[column + c] = Cleaned(QString::fromStdString(cells[r][c]));
    }
  }
  emit dataChanged(index(row, 0), index(row + static_cast<int>(cells.size()) - 1, kChecksColumn));
  emit Edited();
}

void LensKitModel::SetCheck(int row, const QString& text) {
  QString& cell = checks_[static_cast<std::size_t>(row)];
  if (cell == text) return;
  cell = text;
  emit dataChanged(index(row, kChecksColumn), index(row, kChecksColumn));
}

void LensKitModel::ShowChecks(const planner::LensKitTable& kit) {
  // The planner reads the rows in use in order: the first is line 2 of the CSV (under its header)
  // or entry 1 of a plain list.
  const std::vector<int> used = UsedRows();
  const std::size_t first = Plain() ? 1 : 2;
  const auto rowOf = [&](std::size_t line) { return line >= first && line - first < used.size() ? used[line - first] : -1; };
  std::vector<QString> checks(rows_.size());
  // The rows the planner skipped, with the reason; checked against the CSV, whose notes name the cell.
  const planner::LensKitRead own = planner::ReadLensKit(KitCsv());
  for (std::size_t n = 0; n < own.notes.size(); ++n) {
    const std::size_t line = own.noteLines[n];
    if (line >= 2 && line - 2 < used.size()) checks[static_cast<std::size_t>(used[line - 2])] = QString::fromStdString(own.notes[n]);
  }
  for (const planner::KitRow& lensRow : kit.rows) {
    const int row = rowOf(lensRow.lens.line);
    if (row >= 0) checks[static_cast<std::size_t>(row)] = QString::fromStdString(lensRow.checks.words);
  }
  for (int row = 0; row < rowCount(); ++row) SetCheck(row, checks[static_cast<std::size_t>(row)]);
}

}  // namespace korvan
