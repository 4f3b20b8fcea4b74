#include "ui/planner/CLensKitEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "planner/AtomicFile.h"
#include "planner/LensRecord.h"
#include "optics/NumberText.h"
#include "ui/planner/LensKitModel.h"

namespace korvan {
namespace {

constexpr int kMaxNotesShown = 10;
constexpr char kKitFilter[] = "Lens Kits (*.csv);;All Files (*)";

QPushButton* Button(const char* text, const char* name, const char* accessible, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAccessibleName(QString::fromUtf8(accessible));
  button->setToolTip(button->accessibleName());
  button->setAutoDefault(false);
  return button;
}

LensKitModel::Row RowOf(const planner::LensRecord& lens) {
  const auto number = [](const std::optional<double>& value) {
    return value ? QString::fromStdString(FormatShortest(*value)) : QString();
  };
  return {QString::fromStdString(lens.name),   QString::fromStdString(lens.text), number(lens.fNumberMin),
          number(lens.fNumberMax),             number(lens.closestFocus),         number(lens.imageCircleMm),
          QString::fromStdString(lens.mount)};
}

}  // namespace

CLensKitEditor::CLensKitEditor(QWidget* parent)
    : QWidget(parent), model_(new LensKitModel(this)), table_(new QTableView(this)) {
  table_->setObjectName(QStringLiteral("kitRecords"));
  table_->setModel(model_);
  table_->setAccessibleName(QStringLiteral("Lens kit"));
  table_->setAccessibleDescription(QStringLiteral(
      "One lens per row: name, focal length, f-number range, closest focus, image circle and mount; the last "
      "column says how the lens fares. Edit a cell with F2 or a double-click; paste rows from a spreadsheet "
      "with Ctrl+V."));
  table_->setToolTip(table_->accessibleDescription());
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  table_->setWordWrap(false);
  // Room for a small kit without scrolling: the headings (two lines) and seven lenses.
  table_->setMinimumHeight(table_->verticalHeader()->defaultSectionSize() * 7 +
                           table_->fontMetrics().height() * 2 + 3 * table_->frameWidth() + 8);

  auto* label = new QLabel(QStringLiteral("Lens &kit"), this);
  label->setBuddy(table_);

  auto* paste = new QAction(table_);
  paste->setShortcut(QKeySequence::Paste);
  paste->setShortcutContext(Qt::WidgetShortcut);
  table_->addAction(paste);
  connect(paste, &QAction::triggered, this, [this] { Paste(QApplication::clipboard()->text()); });

  auto* buttons = new QHBoxLayout;
  const struct {
    const char* text;
    const char* name;
    const char* accessible;
    void (CLensKitEditor::*run)();
  } actions[] = {
      {"&Add", "addLensButton", "Add a lens", &CLensKitEditor::AddLens},
      {"&Remove", "removeLensButton", "Remove the selected lenses", &CLensKitEditor::RemoveLenses},
      {"D&uplicate", "duplicateLensButton", "Duplicate the selected lenses", &CLensKitEditor::DuplicateLenses},
  };
  for (const auto& action : actions) {
    QPushButton* button = Button(action.text, action.name, action.accessible, this);
    connect(button, &QPushButton::clicked, this, action.run);
    buttons->addWidget(button);
  }
  QPushButton* pasteButton = Button("&Paste", "pasteLensButton", "Paste lenses from a spreadsheet", this);
  connect(pasteButton, &QPushButton::clicked, this, [this] { Paste(QApplication::clipboard()->text()); });
  buttons->addWidget(pasteButton);
  buttons->addStretch(1);
  QPushButton* importButton = Button("&Import...", "importKitButton", "Import a lens kit file", this);
  connect(importButton, &QPushButton::clicked, this, &CLensKitEditor::ImportKit);
  QPushButton* exportButton = Button("E&xport...", "exportKitButton", "Export the lens kit to a file", this);
  connect(exportButton, &QPushButton::clicked, this, &CLensKitEditor::ExportKit);
  buttons->addWidget(importButton);
  buttons->addWidget(exportButton);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(label);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);

  connect(model_, &LensKitModel::Edited, this, &CLensKitEditor::Edited);
}

std::string CLensKitEditor::KitText() const { return model_->KitText(); }

void CLensKitEditor::SetKitText(const std::string& text) { model_->SetKitText(text); }

void CLensKitEditor::ShowChecks(const planner::LensKitTable& kit) { model_->ShowChecks(kit); }

std::vector<int> CLensKitEditor::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedIndexes()) rows.push_back(index.row());
  if (rows.empty() && table_->currentIndex().isValid()) rows.push_back(table_->currentIndex().row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void CLensKitEditor::AddLens() {
  model_->InsertRows(model_->rowCount(), {LensKitModel::Row{}});
  // The focal length is the one cell a lens needs.
  const QModelIndex cell = model_->index(model_->rowCount() - 1, 1);
  table_->setCurrentIndex(cell);
  table_->setFocus();
  table_->edit(cell);
}

void CLensKitEditor::RemoveLenses() { model_->RemoveRows(SelectedRows()); }

void CLensKitEditor::DuplicateLenses() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  std::vector<LensKitModel::Row> copies;
  for (const int row : rows) copies.push_back(model_->RowAt(row));
  model_->InsertRows(rows.back() + 1, copies);
}

void CLensKitEditor::Paste(const QString& text) {
  const std::string pasted = text.toStdString();
  if (pasted.find_first_not_of(" \t\r\n") == std::string::npos) return;
  // Spreadsheets copy cells separated by tabs; a CSV text has commas.
  const char separator = pasted.find('\t') != std::string::npos ? '\t' : ',';
  std::vector<std::vector<std::string>> cells;
  for (planner::CsvRow& row : planner::SplitCsv(pasted, separator)) cells.push_back(std::move(row.cells));
  while (!cells.empty() && std::all_of(cells.back().begin(), cells.back().end(),
                                       [](const std::string& cell) { return cell.empty(); })) {
    cells.pop_back();
  }
  std::string asCsv;
  for (const std::vector<std::string>& row : cells) asCsv += planner::CsvLine(row) + '\n';
  if (planner::IsLensKitCsv(asCsv)) {
    // Rows under a header go where their headings say, below the kit.
    cells = planner::LensKitCells(asCsv);
    model_->PasteCells(model_->rowCount(), 0, cells);
    return;
  }
  const QModelIndex at = table_->currentIndex();
  model_->PasteCells(at.isValid() ? at.row() : model_->rowCount(), at.isValid() ? at.column() : 0, cells);
}

QString CLensKitEditor::ChooseFile(bool save) {
  if (chooseFile) return chooseFile(this, save);
  const QString caption = save ? QStringLiteral("Export Lens Kit") : QStringLiteral("Import Lens Kit");
  return save ? QFileDialog::getSaveFileName(this, caption, QString(), QString::fromLatin1(kKitFilter))
              : QFileDialog::getOpenFileName(this, caption, QString(), QString::fromLatin1(kKitFilter));
}

void CLensKitEditor::Message(const QString& text) {
  if (showMessage) showMessage(text);
}

bool CLensKitEditor::ImportKit() {
  const QString path = ChooseFile(false);
  if (path.isEmpty()) return false;
  const planner::LensKitRead read = planner::ReadLensKitFile(path.toStdString());
  if (!read.problem.empty()) {
    Message(QString::fromStdString(read.problem));
    return false;
  }
  // Added below the lenses already there, so that an import never loses a row typed before.
  std::vector<LensKitModel::Row> rows;
  for (const planner::LensRecord& lens : read.lenses) rows.push_back(RowOf(lens));
  model_->InsertRows(model_->rowCount(), rows);
  if (!read.notes.empty()) {
    QStringList lines;
    lines << QStringLiteral("Imported %1 lenses from %2.").arg(rows.size()).arg(path);
    for (std::size_t n = 0; n < read.notes.size() && n < kMaxNotesShown; ++n) lines << QString::fromStdString(read.notes[n]);
    if (read.notes.size() > kMaxNotesShown) lines << QStringLiteral("... and %1 more").arg(read.notes.size() - kMaxNotesShown);
    Message(lines.join(QLatin1Char('\n')));
  }
  return !rows.empty();
}

bool CLensKitEditor::ExportKit() {
  const QString path = ChooseFile(true);
  if (path.isEmpty()) return false;
  const std::string failure = planner::WriteFileAtomically(path.toStdString(), model_->KitCsv());
  if (failure.empty()) return true;
  Message(QString::fromStdString(failure));
  return false;
}

}  // namespace korvan
