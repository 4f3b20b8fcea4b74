#include "ui/cameraeditor/CameraModeModel.h"

#include <algorithm>

#include <QBrush>
#include <QColor>

#include "camera/CameraWriter.h"
#include "ui/widgets/Controls.h"

namespace korvan {

CameraModeModel::CameraModeModel(QObject* parent) : QAbstractTableModel(parent) {}

int CameraModeModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CameraModeModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant CameraModeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Cell& cell = rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return cell.text;
    case Qt::ToolTipRole: return cell.problem ? FromText(*cell.problem) : QVariant();
    case Qt::BackgroundRole: return cell.problem ? QBrush(QColor(255, 214, 214)) : QVariant();
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default: return {};
  }
}

bool CameraModeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount()) return false;
  Cell& cell = rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
  const bool wasInvalid = cell.problem.has_value();
  cell.text = value.toString();
  Read(cell);
  invalidCells_ += (cell.problem ? 1 : 0) - (wasInvalid ? 1 : 0);
  emit dataChanged(index, index);
  emit modesChanged();
  return true;
}

QVariant CameraModeModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  static const char* const kHeadings[] = {"Frame Rate", "Width", "Height"};
  return section >= 0 && section < kColumnCount ? QString::fromLatin1(kHeadings[section]) : QVariant();
}

Qt::ItemFlags CameraModeModel::flags(const QModelIndex& index) const {
  return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void CameraModeModel::Read(Cell& cell) { Read(cell, cell.text.toStdString()); }

void CameraModeModel::Read(Cell& cell, const std::string& text) {
  const ModeValueReading reading = ReadModeValueText(text);
  cell.value = reading.value;
  cell.problem = reading.problem;
}

bool CameraModeModel::RowValid(const Row& row) {
  return std::none_of(row.begin(), row.end(), [](const Cell& cell) { return cell.problem.has_value(); });
}

CameraModeModel::Row CameraModeModel::MakeRow(const QString& rate, const QString& width, const QString& height) {
  Row row;
  row[kRateColumn].text = rate;
  row[kWidthColumn].text = width;
  row[kHeightColumn].text = height;
  for (Cell& cell : row) Read(cell);
  return row;
}

CameraModeModel::Row CameraModeModel::MakeRow(const std::string& rate, const std::string& width,
                                              const std::string& height) {
  Row row;
  const std::string* texts[] = {&rate, &width, &height};
  for (int c = 0; c < kColumnCount; ++c) {
    Cell& cell = row[static_cast<std::size_t>(c)];
    cell.text = QString::fromStdString(*texts[c]);
    Read(cell, *texts[c]);
  }
  return row;
}

void CameraModeModel::Recount() {
  invalidCells_ = 0;
  for (const Row& row : rows_) {
    for (const Cell& cell : row) invalidCells_ += cell.problem ? 1 : 0;
  }
}

void CameraModeModel::InsertRows(int position, std::vector<Row> rows) {
  if (rows.empty()) return;
  position = std::clamp(position, 0, rowCount());
  beginInsertRows({}, position, position + static_cast<int>(rows.size()) - 1);
  rows_.insert(rows_.begin() + position, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
  endInsertRows();
  Recount();
  emit modesChanged();
}

void CameraModeModel::RemoveRowsAt(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= rowCount(); }), rows.end());
  if (rows.empty()) return;
  // One reset instead of a removal per selected range: a scattered selection of thousands of
  // rows would otherwise relayout the view thousands of times.
  beginResetModel();
  std::vector<Row> kept;
  kept.reserve(rows_.size() - rows.size());
  std::size_t next = 0;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (next < rows.size() && static_cast<std::size_t>(rows[next]) == i) {
      ++next;
      continue;
    }
    kept.push_back(std::move(rows_[i]));
  }
  rows_ = std::move(kept);
  endResetModel();
  Recount();
  emit modesChanged();
}

void CameraModeModel::DuplicateRowsAt(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= rowCount(); }), rows.end());
  if (rows.empty()) return;
  std::vector<Row> copies;
  copies.reserve(rows.size());
  for (int row : rows) copies.push_back(rows_[static_cast<std::size_t>(row)]);
  InsertRows(rows.back() + 1, std::move(copies));
}

void CameraModeModel::SortModes() {
  emit layoutAboutToBeChanged();
  std::stable_sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
    const bool aValid = RowValid(a);
    const bool bValid = RowValid(b);
    if (aValid != bValid) return aValid;
    if (!aValid) return false;
    if (a[kRateColumn].value != b[kRateColumn].value) return a[kRateColumn].value < b[kRateColumn].value;
    if (a[kWidthColumn].value != b[kWidthColumn].value) return a[kWidthColumn].value > b[kWidthColumn].value;
    return a[kHeightColumn].value > b[kHeightColumn].value;
  });
  emit layoutChanged();
  emit modesChanged();
}

void CameraModeModel::SetModes(const CameraDefinition& camera) {
  beginResetModel();
  rows_.clear();
  const std::size_t count = std::min({camera.ModeCount(), camera.widthsPx.size(), camera.heightsPx.size()});
  rows_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    rows_.push_back(MakeRow(QString::number(camera.frameRates[i]), QString::number(camera.widthsPx[i]),
                            QString::number(camera.heightsPx[i])));
  }
  endResetModel();
  Recount();
  emit modesChanged();
}

std::optional<std::pair<int, int>> CameraModeModel::FirstProblem() const {
  if (invalidCells_ == 0) return std::nullopt;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    for (int c = 0; c < kColumnCount; ++c) {
      if (rows_[r][static_cast<std::size_t>(c)].problem) return std::make_pair(static_cast<int>(r), c);
    }
  }
  return std::nullopt;
}

void CameraModeModel::FillModes(CameraDefinition& camera) const {
  camera.rateTexts.clear();
  camera.frameRates.clear();
  camera.widthsPx.clear();
  camera.heightsPx.clear();
  camera.rateTexts.reserve(rows_.size());
  camera.frameRates.reserve(rows_.size());
  camera.widthsPx.reserve(rows_.size());
  camera.heightsPx.reserve(rows_.size());
  for (const Row& row : rows_) {
    if (!RowValid(row)) continue;
    camera.rateTexts.push_back(std::to_string(row[kRateColumn].value));
    camera.frameRates.push_back(row[kRateColumn].value);
    camera.widthsPx.push_back(row[kWidthColumn].value);
    camera.heightsPx.push_back(row[kHeightColumn].value);
  }
}

}  // namespace korvan
