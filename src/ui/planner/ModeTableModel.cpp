#include "ui/planner/ModeTableModel.h"

#include <QFont>

namespace korvan {

namespace {

constexpr int kInForceColumn = 11;

}  // namespace

void ModeTableModel::SetTable(const planner::ModeTable* table, const QStringList& headings) {
  const int rowsBefore = rowCount();
  const bool headingsChanged = headings != headings_;
  const int rowsAfter = table ? static_cast<int>(table->size()) : 0;
  cached_.reset();
  if (rowsBefore != rowsAfter || headings.size() != headings_.size()) {
    beginResetModel();
    table_ = table;
    headings_ = headings;
    endResetModel();
    return;
  }
  table_ = table;
  headings_ = headings;
  if (headingsChanged) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  if (rowsAfter > 0) emit dataChanged(index(0, 0), index(rowsAfter - 1, columnCount() - 1));
}

int ModeTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !table_ ? 0 : static_cast<int>(table_->size());
}

int ModeTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headings_.size());
}

const planner::ModeRow& ModeTableModel::Row(int row) const {
  if (!cached_ || cached_->first != row) cached_.emplace(row, table_->Row(static_cast<std::size_t>(row)));
  return cached_->second;
}

QVariant ModeTableModel::data(const QModelIndex& index, int role) const {
  if (!table_ || !index.isValid() || index.row() >= rowCount()) return {};
  switch (role) {
    case Qt::DisplayRole: {
      const planner::ModeRow& row = Row(index.row());
      const planner::PlanNumber* numbers[] = {&row.frameRate,    &row.fieldWidth,   &row.fieldWidth,
                                              &row.fieldPerPixel, &row.exposureUs,  &row.pixelBlur,
                                              &row.shutterLimit,  &row.eventFrames, &row.crossingFrames,
                                              &row.recordTime,    &row.lightNeeded};
      if (index.column() == 1) return QString::fromStdString(row.resolution);
      if (index.column() == kInForceColumn) return row.inForce ? QStringLiteral("*") : QString();
      if (index.column() == 0) return QString::fromStdString(row.frameRate.text);
      if (index.column() < kInForceColumn) return QString::fromStdString(numbers[index.column()]->text);
      return {};
    }
    case Qt::ToolTipRole: {
      const planner::ModeRow& row = Row(index.row());
      const planner::PlanNumber* numbers[] = {&row.frameRate,    nullptr,          &row.fieldWidth,
                                              &row.fieldPerPixel, &row.exposureUs,  &row.pixelBlur,
                                              &row.shutterLimit,  &row.eventFrames, &row.crossingFrames,
                                              &row.recordTime,    &row.lightNeeded};
      // What the column holds; with the reason when the cell has no number.
      QString tip = headerData(index.column(), Qt::Horizontal, Qt::ToolTipRole).toString();
      if (index.column() < kInForceColumn && numbers[index.column()] && !numbers[index.column()]->reason.empty()) {
        tip += QLatin1Char('\n') + QString::fromStdString(numbers[index.column()]->reason);
      }
      return tip;
    }
    case Qt::FontRole:
      if (table_->inForce && *table_->inForce == static_cast<std::size_t>(index.row())) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant ModeTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= headings_.size()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::ToolTipRole && static_cast<std::size_t>(section) < planner::kModeColumns.size()) {
    return QString::fromUtf8(planner::kModeColumns[static_cast<std::size_t>(section)].tip.data(),
                             static_cast<qsizetype>(planner::kModeColumns[static_cast<std::size_t>(section)].tip.size()));
  }
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  return headings_[section];
}

}  // namespace korvan
