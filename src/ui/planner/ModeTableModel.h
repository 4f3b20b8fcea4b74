#pragma once

#include <optional>

#include <QAbstractTableModel>
#include <QStringList>

#include "planner/Planner.h"

namespace korvan {

// The planner's mode table for a view: a camera may hold 100,000 modes, so a row's texts are
// made by the core only when the view draws that row.
class ModeTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  // `table` must outlive the next call; the view is told what changed.
  void SetTable(const planner::ModeTable* table, const QStringList& headings);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const planner::ModeRow& Row(int row) const;

  const planner::ModeTable* table_ = nullptr;
  QStringList headings_;
  mutable std::optional<std::pair<int, planner::ModeRow>> cached_;
};

}  // namespace korvan
