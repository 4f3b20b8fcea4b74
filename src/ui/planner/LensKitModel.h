#pragma once

#include <array>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QString>

#include "planner/LensRecord.h"
#include "planner/Planner.h"

namespace korvan {

// The lens kit as the user edits it: one row of cell texts per lens in the kit file's column order,
// and a last, read-only column that says in words how each lens fares (or why its row is left out).
// A row stays as typed until it is fixed, so that nothing typed is lost.
class LensKitModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kChecksColumn = static_cast<int>(planner::kLensKitColumns);
  using Row = std::array<QString, planner::kLensKitColumns>;

  explicit LensKitModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // The kit text the planner reads: a plain list of focal lengths while no row gives more, else the
  // CSV; rows left empty are left out.
  std::string KitText() const;
  // The same rows always as CSV (for a file).
  std::string KitCsv() const;
  void SetKitText(const std::string& text);

  void InsertRows(int at, const std::vector<Row>& rows);
  void RemoveRows(std::vector<int> rows);
  Row RowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  // Cells from (row, column) rightwards and downwards, as a spreadsheet pastes; adds rows as needed.
  void PasteCells(int row, int column, const std::vector<std::vector<std::string>>& cells);

  // Each row's checks from the plan, or the note that says why the row is left out.
  void ShowChecks(const planner::LensKitTable& kit);

 signals:
  void Edited();

 private:
  bool Plain() const;
  std::vector<int> UsedRows() const;  // the rows that are not empty, in order
  void SetCheck(int row, const QString& text);

  std::vector<Row> rows_;
  std::vector<QString> checks_;
};

}  // namespace korvan
