#include "ui/planner/CPlannerDlg.h"

#include <QHeaderView>
#include <QHideEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "optics/Units.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/MessageSink.h"
#include "ui/planner/LightPage.h"
#include "ui/planner/ModeTableModel.h"
#include "ui/planner/PlannerCharts.h"
#include "ui/widgets/WidgetLooks.h"
#include "ui_CPlannerDlg.h"

namespace korvan {

namespace {

using planner::PlanNumber;

constexpr char kWindowCaption[] = "Korvan Lens Calculator";
constexpr char kMarkText[] = "*";

QString Q(const std::string& text) { return QString::fromStdString(text); }

void Show(QLineEdit* box, const PlanNumber& number) {
  const QString text = Q(number.text);
  if (box->text() != text) box->setText(text);
  box->setToolTip(Q(number.reason));
}

void ShowText(QLineEdit* box, const std::string& text) {
  const QString shown = Q(text);
  if (box->text() != shown) box->setText(shown);
}

// The first reason among the values, so one line says why a group shows "n/a" or "none".
QString FirstReason(std::initializer_list<const PlanNumber*> numbers) {
  for (const PlanNumber* number : numbers) {
    if (!number->reason.empty()) return Q(number->reason);
  }
  return {};
}

void SetNote(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
  label->setVisible(!text.isEmpty());
}

QString Heading(const planner::Column& column, LengthUnit unit) {
  QString heading = FromText(column.heading);
  if (column.unit.empty()) return heading;
  const std::string_view unitName = column.unit == "length" ? LengthUnitName(unit) : column.unit;
  return heading + QStringLiteral("\n(") + FromText(unitName) + QStringLiteral(")");
}

void SetCell(QTableWidget* table, int row, int column, const QString& text, bool marked) {
  QTableWidgetItem* cell = table->item(row, column);
  if (!cell) {
    cell = new QTableWidgetItem;
    cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table->setItem(row, column, cell);
  }
  if (cell->text() != text) cell->setText(text);
  QFont font = cell->font();
  if (font.bold() != marked) {
    font.setBold(marked);
    cell->setFont(font);
  }
}

void SetHeadings(QTableWidget* table, const QStringList& headings) {
  if (table->columnCount() != headings.size()) table->setColumnCount(static_cast<int>(headings.size()));
  for (int column = 0; column < headings.size(); ++column) {
    QTableWidgetItem* header = table->horizontalHeaderItem(column);
    if (!header) {
      table->setHorizontalHeaderItem(column, new QTableWidgetItem(headings[column]));
    } else if (header->text() != headings[column]) {
      header->setText(headings[column]);
    }
  }
}

std::unique_ptr<Ui::CPlannerDlg> SetUpForm(QDialog* window) {
  auto ui = std::make_unique<Ui::CPlannerDlg>();
  ui->setupUi(window);
  return ui;
}

}  // namespace

CPlannerDlg::CPlannerDlg(CCalculatorDlg& calculator, PlannerContext context)
    : QDialog(&calculator),
      ui_(SetUpForm(this)),
      calculator_(calculator),
      context_(std::move(context)),
      modeModel_(new ModeTableModel(this)),
      lightPage_(new LightPage) {
  ui_->pages->insertTab(1, lightPage_, QStringLiteral("Light"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::WindowMinMaxButtonsHint);
  SizeControls();
  ApplyTexts(context_.loadTexts ? context_.loadTexts() : planner::PlannerTexts{});
  ConnectControls();
  SetNote(ui_->prerequisiteNote, {});
  for (QLabel* note : {ui_->sharpnessInputNote, ui_->budgetNote, ui_->bestNote, ui_->shutterNote, ui_->modesNote,
                       ui_->kitNote}) {
    SetNote(note, {});
  }
  layout()->activate();
  resize(sizeHint());
}

CPlannerDlg::~CPlannerDlg() {
  // The base classes hide the window and delete its children after this object is gone; a box
  // losing the focus or the kit list emptying then must not reach this window's handlers.
  for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
}

void CPlannerDlg::SizeControls() {
  for (QLineEdit* box : findChildren<QLineEdit*>()) {
    if (box->isReadOnly()) ApplyReadOnlyLook(box);
    SizeForNumbers(box);
  }
  // "0.2524 ... 14.64" and the largest term's name need more than one number.
  for (QLineEdit* box : {ui_->apertureBox, ui_->largestBox}) {
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-8.888e-88 ... -8.888e-88")) + 10);
  }
  for (QLabel* unit : {ui_->depthUnit, ui_->sharpNearUnit, ui_->sharpFarUnit, ui_->focusAdviceUnit}) {
    SizeForLengthUnits(unit);
  }
  ui_->modeTable->setModel(modeModel_);
  for (QTableView* table : {static_cast<QTableView*>(ui_->modeTable), static_cast<QTableView*>(ui_->kitTable)}) {
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->setMinimumWidth(table->fontMetrics().averageCharWidth() * 100);
  }
  // The list is as wide as its two buttons.
  ui_->kitList->setFixedWidth(ui_->addLensButton->sizeHint().width() + ui_->removeLensButton->sizeHint().width() +
                              ui_->kitButtons->spacing());
  ui_->budgetChart->setMinimumHeight(ui_->budgetChart->fontMetrics().height() * 13);
}

void CPlannerDlg::ConnectControls() {
  for (QLineEdit* edit : {ui_->depthEdit, ui_->wavelengthEdit, ui_->blurLimitEdit, ui_->eventEdit, ui_->memoryEdit,
                          ui_->bitDepthEdit}) {
    connect(edit, &QLineEdit::textEdited, this, &CPlannerDlg::OnInputEdited);
    connect(edit, &QLineEdit::editingFinished, this, &CPlannerDlg::SaveTexts);
  }
  QAbstractItemModel* kit = ui_->kitList->model();
  // An entry counts once its editor closes; an entry is kept at once, like a box losing the focus.
  connect(kit, &QAbstractItemModel::dataChanged, this, [this] {
    OnInputEdited();
    if (!refreshing_) SaveTexts();
  });
  connect(kit, &QAbstractItemModel::rowsRemoved, this, [this] {
    OnInputEdited();
    if (!refreshing_) SaveTexts();
  });
  connect(ui_->addLensButton, &QPushButton::clicked, this, &CPlannerDlg::OnAddLens);
  connect(ui_->removeLensButton, &QPushButton::clicked, this, &CPlannerDlg::OnRemoveLens);
  connect(ui_->useFNumberButton, &QPushButton::clicked, this, &CPlannerDlg::OnUseFNumber);
  connect(ui_->useShutterButton, &QPushButton::clicked, this, &CPlannerDlg::OnUseShutter);
  connect(ui_->modeTable, &QTableView::activated, this, [this](const QModelIndex& at) { OnModeActivated(at.row()); });
  connect(ui_->kitTable, &QTableWidget::activated, this, [this](const QModelIndex& at) { OnLensActivated(at.row()); });
  connect(lightPage_, &LightPage::InputEdited, this, &CPlannerDlg::OnInputEdited);
  connect(lightPage_, &LightPage::InputFinished, this, &CPlannerDlg::SaveTexts);
  connect(lightPage_, &LightPage::UseRecommended, this, &CPlannerDlg::OnUseRecommended);
  connect(ui_->exportButton, &QPushButton::clicked, this, &CPlannerDlg::ExportSheet);
  // Close, Esc and the close box end in done(), which only hides a modeless dialog.
  connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CPlannerDlg::ApplyTexts(const planner::PlannerTexts& texts) {
  ui_->depthEdit->setText(Q(texts.depth));
  ui_->wavelengthEdit->setText(Q(texts.wavelength));
  ui_->blurLimitEdit->setText(Q(texts.blurLimit));
  ui_->eventEdit->setText(Q(texts.eventMs));
  ui_->memoryEdit->setText(Q(texts.memoryGb));
  ui_->bitDepthEdit->setText(Q(texts.bitDepth));
  lightPage_->SetTexts(texts.light);
  ui_->kitList->clear();
  for (const QString& lens : Q(texts.lenses).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    auto* entry = new QListWidgetItem(lens.trimmed(), ui_->kitList);
    entry->setFlags(entry->flags() | Qt::ItemIsEditable);
  }
}

planner::PlannerTexts CPlannerDlg::Texts() const {
  planner::PlannerTexts texts;
  texts.depth = ui_->depthEdit->text().toStdString();
  texts.wavelength = ui_->wavelengthEdit->text().toStdString();
  texts.blurLimit = ui_->blurLimitEdit->text().toStdString();
  texts.eventMs = ui_->eventEdit->text().toStdString();
  texts.memoryGb = ui_->memoryEdit->text().toStdString();
  texts.bitDepth = ui_->bitDepthEdit->text().toStdString();
  QStringList lenses;
  for (int row = 0; row < ui_->kitList->count(); ++row) {
    const QString lens = ui_->kitList->item(row)->text().trimmed();
    if (!lens.isEmpty()) lenses << lens;
  }
  texts.lenses = lenses.join(QStringLiteral(", ")).toStdString();
  texts.light = lightPage_->Texts();
  return texts;
}

void CPlannerDlg::OnInputEdited() {
  if (refreshing_) return;
  RefreshPlanner();
}

void CPlannerDlg::SaveTexts() {
  if (context_.saveTexts) context_.saveTexts(Texts());
  if (context_.saveIso && isoCamera_) context_.saveIso(*isoCamera_, lightPage_->Texts().iso);
}

void CPlannerDlg::FollowCameraIso() {
  // Each camera has its own sensitivity: another camera brings back the ISO typed for it, or none.
  const std::string& camera = calculator_.CurrentCamera().name;
  if (isoCamera_ == camera) return;
  isoCamera_ = camera;
  const std::string iso = context_.loadIso ? context_.loadIso(camera) : std::string();
  lightPage_->IsoBox()->setText(QString::fromStdString(iso.empty() ? planner::LightTexts{}.iso : iso));
}

void CPlannerDlg::hideEvent(QHideEvent* event) {
  // Hiding is how the window closes; its inputs are kept for the next start then, and whenever
  // an input box loses the focus.
  if (!event->spontaneous()) SaveTexts();
  QDialog::hideEvent(event);
}

void CPlannerDlg::RefreshPlanner() {
  refreshing_ = true;
  FollowCameraIso();
  const planner::PlannerInputs inputs = planner::ReadPlannerInputs(Texts(), calculator_.State().unit);
  plan_ = planner::ComputePlan(calculator_.State(), calculator_.CurrentCamera(), inputs,
                               calculator_.AttachmentsWindow()->Choices());
  SetNote(ui_->prerequisiteNote, Q(plan_.prerequisite));
  ShowSharpness();
  ShowModes();
  ShowLenses();
  ShowCharts();
  lightPage_->Show(plan_);
  refreshing_ = false;
}

void CPlannerDlg::ShowSharpness() {
  const planner::Plan& plan = plan_;
  const QString unit = FromText(LengthUnitName(plan.state.unit));
  for (QLabel* label : {ui_->depthUnit, ui_->sharpNearUnit, ui_->sharpFarUnit, ui_->focusAdviceUnit}) {
    if (label->text() != unit) label->setText(unit);
  }
  QStringList problems;
  for (const planner::PlannerValue* value : {&plan.inputs.depth, &plan.inputs.wavelength, &plan.inputs.blurLimit}) {
    if (!value->Usable()) problems << Q(value->problem);
  }
  SetNote(ui_->sharpnessInputNote, problems.join(QLatin1Char('\n')));

  const planner::SharpnessBudget& budget = plan.budget;
  ui_->budgetChart->SetData(BudgetChart(plan));
  ShowText(ui_->largestBox, budget.largestText);
  Show(ui_->defocusNearBox, budget.defocusNear);
  Show(ui_->defocusFarBox, budget.defocusFar);
  SetNote(ui_->budgetNote, FirstReason({&budget.motion, &budget.defocus, &budget.diffraction, &budget.total}));

  Show(ui_->sharpNearBox, budget.sharpNear);
  Show(ui_->sharpFarBox, budget.sharpFar);
  Show(ui_->lightBox, budget.lightStops);

  const planner::BestFNumber& best = plan.best;
  Show(ui_->optimumBox, best.optimum);
  Show(ui_->bestEntryBox, best.bestEntry);
  Show(ui_->bestSumBox, best.bestEntrySum);
  Show(ui_->bestTotalBox, best.bestEntryTotal);
  Show(ui_->focusAdviceBox, best.focusDistance);
  ShowText(ui_->apertureBox, plan.apertureWindow.text);
  ui_->apertureBox->setToolTip(Q(plan.apertureWindow.reason));
  QString bestNote = FirstReason({&best.optimum, &best.bestEntry, &best.focusDistance});
  if (!plan.apertureWindow.reason.empty()) {
    bestNote += (bestNote.isEmpty() ? QString() : QStringLiteral("\n")) + Q(plan.apertureWindow.reason);
  }
  SetNote(ui_->bestNote, bestNote);
  ui_->useFNumberButton->setEnabled(best.bestEntry.Available());

  const planner::ShutterLimit& shutter = plan.shutterLimit;
  Show(ui_->shutterLimitBox, shutter.multiple);
  Show(ui_->shutterBlurBox, shutter.blur);
  SetNote(ui_->shutterNote, FirstReason({&shutter.multiple, &shutter.blur}));
  ui_->useShutterButton->setEnabled(shutter.multiple.Available() && std::isfinite(shutter.multiple.value));
}

void CPlannerDlg::ShowModes() {
  const planner::ModeTable& modes = plan_.modes;
  QStringList headings;
  for (const planner::Column& column : planner::kModeColumns) headings << Heading(column, plan_.state.unit);
  modeModel_->SetTable(&modes, headings);
  ui_->modeTable->setColumnHidden(9, !modes.showRecordTime);
  SetNote(ui_->modesNote, Q(modes.reason));
}

void CPlannerDlg::ShowLenses() {
  const planner::LensKitTable& kit = plan_.kit;
  QTableWidget* table = ui_->kitTable;
  QStringList headings;
  for (const planner::Column& column : planner::kKitColumns) headings << Heading(column, plan_.state.unit);
  headings << QStringLiteral("Best");
  SetHeadings(table, headings);
  if (table->rowCount() != static_cast<int>(kit.rows.size())) table->setRowCount(static_cast<int>(kit.rows.size()));
  for (std::size_t index = 0; index < kit.rows.size(); ++index) {
    const planner::KitRow& row = kit.rows[index];
    const int r = static_cast<int>(index);
    int c = 0;
    for (const PlanNumber* number : {&row.focalLength, &row.fieldWidth, &row.fieldAngle, &row.depthOfField,
                                     &row.nearFocus, &row.farFocus, &row.pixelBlur, &row.distanceForField}) {
      SetCell(table, r, c++, Q(number->text), row.marked);
    }
    SetCell(table, r, c++, row.marked ? QString::fromLatin1(kMarkText) : QString(), row.marked);
  }
  QStringList notes;
  for (const std::string& note : kit.notes) notes << Q(note);
  if (!kit.reason.empty()) notes << Q(kit.reason);
  SetNote(ui_->kitNote, notes.join(QLatin1Char('\n')));
}

void CPlannerDlg::ShowCharts() {
  ui_->sideView->SetData(SideView(plan_));
  ui_->focusChart->SetData(FocusChart(plan_));
  ui_->blurChart->SetData(BlurChart(plan_));
  ui_->shutterChart->SetData(ShutterChart(plan_));
  ui_->fieldChart->SetData(FieldChart(plan_));
}

void CPlannerDlg::OnUseFNumber() {
  if (!plan_.best.bestEntry.Available()) return;
  calculator_.ChooseListEntry(ids::kFNumberList, Q(plan_.best.bestEntry.text));
}

void CPlannerDlg::OnUseShutter() {
  const PlanNumber& multiple = plan_.shutterLimit.multiple;
  if (!multiple.Available() || !std::isfinite(multiple.value)) return;
  calculator_.ChooseShutter(static_cast<int>(multiple.value));
}

void CPlannerDlg::OnUseRecommended() {
  if (!plan_.envelope.recommended) return;
  // Copies: the calculator's cycles refresh this window, which replaces the plan.
  const planner::EnvelopeSetting setting = *plan_.envelope.recommended;
  const std::string fNumber = plan_.envelope.fNumberTexts[setting.cell % plan_.envelope.fNumbers.size()];
  const int shutter = plan_.envelope.cells[setting.cell].shutter;
  calculator_.ChooseShutter(shutter);
  calculator_.ChooseListEntry(ids::kFNumberList, Q(fNumber));
}

void CPlannerDlg::OnModeActivated(int row) {
  if (row < 0 || row >= static_cast<int>(plan_.modes.size())) return;
  calculator_.ChooseMode(static_cast<std::size_t>(row));
}

void CPlannerDlg::OnLensActivated(int row) {
  if (row < 0 || row >= static_cast<int>(plan_.kit.rows.size())) return;
  // A copy: the calculator's cycles refresh this window, which replaces the plan.
  calculator_.EnterFocalLength(plan_.kit.rows[static_cast<std::size_t>(row)].lens.text);
}

void CPlannerDlg::OnAddLens() {
  auto* entry = new QListWidgetItem(ui_->kitList);
  entry->setFlags(entry->flags() | Qt::ItemIsEditable);
  ui_->kitList->setCurrentItem(entry);
  ui_->kitList->editItem(entry);
}

void CPlannerDlg::OnRemoveLens() {
  const int row = ui_->kitList->currentRow();
  if (row >= 0) delete ui_->kitList->takeItem(row);
}

void CPlannerDlg::ShowMessage(const QString& text) {
  MessageSink& sink = context_.messages ? *context_.messages : DefaultMessageSink();
  sink.Show(this, QString::fromLatin1(kWindowCaption), text);
}

}  // namespace korvan
