#pragma once

#include <functional>
#include <string>

#include <QWidget>

#include "planner/Planner.h"

class QLabel;
class QPushButton;
class QTableView;

namespace korvan {

class LensKitModel;

// The lens kit as an editable table of lens records: add, remove, duplicate, paste rows from a
// spreadsheet, import and export the kit's CSV file; each row says in words how its lens fares
// with the calculator's set-up.
class CLensKitEditor : public QWidget {
  Q_OBJECT

 public:
  explicit CLensKitEditor(QWidget* parent = nullptr);

  // Asks for a kit file to open (save false) or to write (save true); empty when cancelled. A file
  // dialog when not set.
  std::function<QString(QWidget* owner, bool save)> chooseFile;
  // Shows a message to the user.
  std::function<void(const QString& text)> showMessage;

  std::string KitText() const;
  void SetKitText(const std::string& text);
  void ShowChecks(const planner::LensKitTable& kit);

  void AddLens();
  void RemoveLenses();
  void DuplicateLenses();
  void Paste(const QString& text);
  // False when nothing was imported or written (cancelled, or the message said why).
  bool ImportKit();
  bool ExportKit();

 signals:
  // The kit changed by an edit of the user.
  void Edited();

 private:
  std::vector<int> SelectedRows() const;
  QString ChooseFile(bool save);
  void Message(const QString& text);

  LensKitModel* model_;
  QTableView* table_;
};

}  // namespace korvan
