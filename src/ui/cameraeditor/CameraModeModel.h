#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractTableModel>
#include <QString>

#include "camera/CameraDefinition.h"

namespace korvan {

// The camera editor's mode table: each cell keeps the text as typed and the reading of it, so a
// cell that cannot be written yet stays as typed and carries its reason. Rows are added, removed
// and pasted in bulk, with one model notification per operation, never one per row.
class CameraModeModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kRateColumn, kWidthColumn, kHeightColumn, kColumnCount };

  struct Cell {
    QString text;
    std::uint32_t value = 0;
    std::optional<std::string_view> problem;
  };
  using Row = std::array<Cell, kColumnCount>;

  explicit CameraModeModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  static Row MakeRow(const QString& rate, const QString& width, const QString& height);
  // The same from texts already in hand as bytes, read without a round trip through QString.
  static Row MakeRow(const std::string& rate, const std::string& width, const std::string& height);

  // `rows` go in before row `position` (at the end when it is past the last row).
  void InsertRows(int position, std::vector<Row> rows);
  void RemoveRowsAt(std::vector<int> rows);
  // Copies of `rows`, each inserted after the last of them.
  void DuplicateRowsAt(std::vector<int> rows);
  // By frame rate, then the largest image first; rows that are not all valid go last, in order.
  void SortModes();
  void SetModes(const CameraDefinition& camera);

  const Row& RowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  int InvalidCellCount() const { return invalidCells_; }
  // The first cell with a reason against it, row then column.
  std::optional<std::pair<int, int>> FirstProblem() const;
  // The modes of the rows whose cells are all valid, in order, into `camera`'s lists.
  void FillModes(CameraDefinition& camera) const;

 signals:
  void modesChanged();

 private:
  static void Read(Cell& cell);
  static void Read(Cell& cell, const std::string& text);
  static bool RowValid(const Row& row);
  void Recount();

  std::vector<Row> rows_;
  int invalidCells_ = 0;
};

}  // namespace korvan
