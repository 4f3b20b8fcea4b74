#pragma once

#include <QString>

class QAbstractItemView;
class QWidget;

namespace korvan {

// The selected cells of a table as tab-separated lines: the header of the selected columns first,
// then one line per row that has a selected cell (cells not selected are left empty).
QString SelectionAsTabSeparated(const QAbstractItemView& table);

// Ctrl+C (the platform's copy keys) in every table of `window` copies its selection that way.
void InstallTableCopy(QWidget* window);

}  // namespace korvan
