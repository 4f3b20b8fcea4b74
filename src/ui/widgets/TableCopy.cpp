#include "ui/widgets/TableCopy.h"

#include <QAction>
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
    for (int column : columns) fields << textOf(column);
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

void InstallTableCopy(QWidget* window) {
  for (QTableView* table : window->findChildren<QTableView*>()) {
    auto* copy = new QAction(table);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(copy, &QAction::triggered, table, [table] {
      const QString text = SelectionAsTabSeparated(*table);
      if (!text.isEmpty()) QApplication::clipboard()->setText(text);
    });
    table->addAction(copy);
  }
}

}  // namespace korvan
