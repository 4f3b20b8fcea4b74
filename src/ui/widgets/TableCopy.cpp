#include "ui/widgets/TableCopy.h"

#include <QKeyEvent>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QTableView>

#include <map>
#include <set>

namespace korvan {

QString SelectionAsTabSeparated(const QAbstractItemView& table) {
  const QAbstractItemModel* model = table.model();
  if (model == nullptr || table.selectionModel() == nullptr) return {};
  std::map<int, std::map<int, QString>> cells;  // row, column, text: in the table's order
  std::set<int> columns;
  for (const QModelIndex& index : table.selectionModel()->selectedIndexes()) {
    cells[index.row()][index.column()] = index.data(Qt::DisplayRole).toString();
    columns.insert(index.column());
  }
  if (cells.empty()) return {};
  const auto line = [&](auto textOf) {
    QStringList fields;
    // A header set on two lines, or a tab in a text, would break the lines and columns apart.
    for (int column : columns) {
      fields << textOf(column).replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\t'), QLatin1Char(' '));
    }
    return fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
  };
  QString text = line([&](int column) { return model->headerData(column, Qt::Horizontal).toString(); });
  for (const auto& [row, texts] : cells) {
    text += line([&](int column) {
      const auto found = texts.find(column);
      return found == texts.end() ? QString() : found->second;
    });
  }
  return text;
}

namespace {

// The table's own copy takes only the current cell; this one takes the copy keys first.
class TableCopyFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) return false;
    if (event->type() == QEvent::ShortcutOverride) {
      event->accept();
      return true;
    }
    const QString text = SelectionAsTabSeparated(*static_cast<QAbstractItemView*>(watched));
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
    return true;
  }
};

}  // namespace

void InstallTableCopy(QWidget* window) {
  auto* filter = new TableCopyFilter(window);
  for (QTableView* table : window->findChildren<QTableView*>()) table->installEventFilter(filter);
}

}  // namespace korvan
