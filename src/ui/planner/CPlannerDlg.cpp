#include "ui/planner/CPlannerDlg.h"

#include <QAction>

#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QHideEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <tuple>
#include <utility>

#include "optics/Display.h"
#include "optics/NumberText.h"
#include "optics/Units.h"
#include "planner/JsonText.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/planner/CLensKitEditor.h"
#include "ui/planner/LightPage.h"
#include "ui/planner/ModeTableModel.h"
#include "ui/planner/PlannerCharts.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/MessageSink.h"
#include "ui/widgets/ScreenFit.h"
#include "ui/widgets/TableCopy.h"
#include "ui/widgets/WidgetLooks.h"
#include "ui_CPlannerDlg.h"

namespace korvan {

namespace {

using planner::PlanNumber;

constexpr char kWindowCaption[] = "Korvan Lens Calculator";
constexpr char kMarkText[] = "*";

QString Q(const std::string& text) { return QString::fromStdString(text); }

// What a value is and how it is computed, and why it has no number when it has none.
void SetTip(QWidget* widget, const char* tip, const std::string& reason) {
  QString text = QString::fromUtf8(tip);
  if (!reason.empty()) text += QStringLiteral("\n") + Q(reason);
  if (widget->toolTip() != text) widget->setToolTip(text);
}

void Show(QLineEdit* box, const PlanNumber& number, const char* tip) {
  const QString text = Q(number.text);
  if (box->text() != text) box->setText(text);
  SetTip(box, tip, number.reason);
}

void ShowText(QLineEdit* box, const std::string& text) {
  const QString shown = Q(text);
  if (box->text() != shown) box->setText(shown);
}

// One reason per group, and a reason another group of the page already gives is not repeated.
class Reasons {
 public:
  explicit Reasons(QStringList shown = {}) : shown_(std::move(shown)) {}
  QString First(std::initializer_list<const std::string*> reasons) {
    for (const std::string* reason : reasons) {
      if (reason->empty()) continue;
      const QString text = Q(*reason);
      if (shown_.contains(text)) return {};
      shown_ << text;
      return text;
    }
    return {};
  }

 private:
  QStringList shown_;
};

// A note keeps its line when empty, so that a reason appearing does not move the page.
void SetNote(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
  label->setMinimumHeight(label->fontMetrics().lineSpacing());
  label->setVisible(true);
}

constexpr char kDefocusNearTip[] = "Defocus at the near edge of the depth, x = u - D/2: (f / N) x m x |x - u| / x / pitch";
constexpr char kDefocusFarTip[] = "Defocus at the far edge of the depth, x = u + D/2: (f / N) x m x |x - u| / x / pitch";

QString Heading(const planner::Column& column, LengthUnit unit) {
  QString heading = FromText(column.heading);
  if (column.unit.empty()) return heading;
  return heading + QStringLiteral("\n(") + FromText(planner::ColumnUnit(column, unit)) + QStringLiteral(")");
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
  AddControls();
  SizeControls();
  // The depth is kept in meters; it shows in the calculator's unit.
  depthUnit_ = LengthUnit::Meters;
  ApplyTexts(context_.loadTexts ? context_.loadTexts() : planner::PlannerTexts{});
  ConvertDepth(calculator_.State().unit);
  ConnectControls();
  InstallTableCopy(this);
  // The calculator's setup items, at hand here as well: a setup holds the planner's inputs too.
  // Beside "Export Sheet...", with the calculator's keys.
  int place = ui_->bottomRow->indexOf(ui_->exportButton);
  for (const auto& [text, name, keys, open] :
       {std::tuple{QStringLiteral("Open Setup..."), QStringLiteral("openSetupButton"), QKeySequence(Qt::CTRL | Qt::Key_O), true},
        std::tuple{QStringLiteral("Save Setup..."), QStringLiteral("saveSetupButton"), QKeySequence(Qt::CTRL | Qt::Key_S), false}}) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setToolTip(open ? QStringLiteral("Open a setup file: the calculator's and the planner's inputs")
                            : QStringLiteral("Save the calculator's and the planner's inputs as a setup file"));
    button->setAutoDefault(false);
    button->setShortcut(keys);
    connect(button, &QPushButton::clicked, this, [this, open = open] {
      if (open) {
        calculator_.OnOpenSetup();
      } else {
        calculator_.OnSaveSetup();
      }
    });
    ui_->bottomRow->insertWidget(++place, button);
  }
  SetNote(ui_->prerequisiteNote, {});
  SetNote(lensInForceNote_, {});
  for (QLabel* note : {ui_->sharpnessInputNote, ui_->budgetNote, ui_->bestNote, ui_->shutterNote, ui_->modesNote,
                       ui_->kitNote, mountedNote_, targetsNote_, statusNote_}) {
    SetNote(note, {});
  }
  layout()->activate();
  resize(sizeHint());
  FitToScreen(this);
}

CPlannerDlg::~CPlannerDlg() {
  // The base classes hide the window and delete its children after this object is gone; a box
  // losing the focus or the kit list emptying then must not reach this window's handlers.
  for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
}

void CPlannerDlg::AddControls() {
  mountedNote_ = new QLabel(this);
  mountedNote_->setObjectName(QStringLiteral("mountedNote"));
  mountedNote_->setToolTip(QStringLiteral("The attachments of the attachments window the plan includes: every value "
                                          "is for the optics as mounted (the lens kit compares bare lenses)"));
  static_cast<QBoxLayout*>(layout())->insertWidget(1, mountedNote_);

  targetsNote_ = new QLabel(ui_->lensesPage);
  targetsNote_->setObjectName(QStringLiteral("targetsNote"));
  targetsNote_->setToolTip(QStringLiteral("The targets a lens choice keeps: the distance, or the field width asked for"));
  keepDistanceButton_ = new QPushButton(QStringLiteral("Keep &Distance"), ui_->lensesPage);
  keepDistanceButton_->setObjectName(QStringLiteral("keepDistanceButton"));
  keepDistanceButton_->setToolTip(QStringLiteral("Use the selected lens at the current distance: the field follows"));
  keepFieldButton_ = new QPushButton(QStringLiteral("Keep &Field"), ui_->lensesPage);
  keepFieldButton_->setObjectName(QStringLiteral("keepFieldButton"));
  keepFieldButton_->setToolTip(QStringLiteral("Use the selected lens for the wanted field: the distance follows"));
  auto* choices = new QHBoxLayout;
  choices->addWidget(targetsNote_, 1);
  choices->addWidget(keepDistanceButton_);
  choices->addWidget(keepFieldButton_);
  auto* blurDigits = new QLabel(
      QStringLiteral("Blurs in the planner show 4 digits; the calculator's Pixel Blur box shows fewer."),
      ui_->lensesPage);
  blurDigits->setObjectName(QStringLiteral("blurDigitsNote"));
  ui_->lensesColumn->addLayout(choices);
  ui_->lensesColumn->addWidget(blurDigits);

  statusNote_ = new QLabel(this);
  statusNote_->setObjectName(QStringLiteral("statusNote"));
  statusNote_->setToolTip(QStringLiteral("What the planner's last choice or export did"));
  ui_->bottomRow->insertWidget(1, statusNote_, 1);

  // The inputs of the planner's own and its buttons; the results get theirs with their values.
  const std::pair<QWidget*, const char*> tips[] = {
      {ui_->depthEdit, "Depth of the subject along the axis, in the calculator's unit, centred on the object "
                       "distance: the near edge is distance - depth/2, the far edge distance + depth/2"},
      {ui_->wavelengthEdit, "Wavelength of the light, in nm, for the diffraction blur: 2.44 x wavelength x "
                            "working f-number / pixel pitch"},
      {ui_->blurLimitEdit, "The blur you accept, in pixels: it sets the shutter limit, the best f-number and the "
                           "mode table's limits"},
      {ui_->useFNumberButton, "Choose the best f-number list entry in the calculator's Lens f/# list"},
      {ui_->useShutterButton, "Choose the longest shutter within the blur limit in the calculator's Shutter list"},
      {ui_->eventEdit, "Duration of the event to film, in ms: the mode table counts the frames across it"},
      {ui_->memoryEdit, "Camera memory, in GB (10^9 bytes), for the record time: memory x 8 / (pixels x bit depth) / "
                        "frame rate; 0 shows none"},
      {ui_->bitDepthEdit, "Stored bits per pixel, for the record time"},
      {ui_->kitTable, "One row per lens of the kit at the current distance, the best marked; Enter or a "
                      "double-click makes it the calculator's focal length"},
      {ui_->exportButton, "Save the plan as a PDF sheet, a CSV table or JSON data"},
      {ui_->closeButton, "Close the planner; the calculator keeps its values"},
  };
  for (const auto& [widget, tip] : tips) widget->setToolTip(QString::fromUtf8(tip));
}

void CPlannerDlg::ConvertDepth(LengthUnit to) {
  // As the calculator's boxes do: a number is rewritten in the new unit; anything else stays as typed.
  if (to == depthUnit_) return;
  const std::string text = ui_->depthEdit->text().toStdString();
  planner::PlannerTexts texts;
  texts.depth = text;
  const planner::PlannerValue depth = planner::ReadPlannerInputs(texts, depthUnit_).depth;
  if (depth.Usable() && planner::BeginsWithNumber(text)) {
    ui_->depthEdit->setText(Q(FormatG4(depth.value * FromMetersFactor(to))));
  }
  depthUnit_ = to;
}

void CPlannerDlg::ShowStatus(const QString& text) { SetNote(statusNote_, text); }

void CPlannerDlg::SizeControls() {
  for (QLineEdit* box : findChildren<QLineEdit*>()) {
    if (box->isReadOnly()) ApplyReadOnlyLook(box);
    SizeForNumbers(box);
  }
  // "0.2524 ... 14.64" and the largest term's name need more than one number.
  for (QLineEdit* box : {ui_->apertureBox, ui_->largestBox, ui_->shutterLimitBox}) {
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
  // The checks of the lens in force, below the sharpness page's groups.
  lensInForceNote_ = new QLabel(ui_->sharpnessPage);
  lensInForceNote_->setObjectName(QStringLiteral("lensInForceNote"));
  lensInForceNote_->setAccessibleName(QStringLiteral("Lens in force"));
  lensInForceNote_->setWordWrap(true);
  auto* grid = static_cast<QGridLayout*>(ui_->sharpnessPage->layout());
  grid->addWidget(lensInForceNote_, grid->rowCount(), 0, 1, grid->columnCount());
  ui_->budgetChart->setMinimumHeight(ui_->budgetChart->fontMetrics().height() * 13);
}

void CPlannerDlg::ConnectControls() {
  for (QLineEdit* edit : {ui_->depthEdit, ui_->wavelengthEdit, ui_->blurLimitEdit, ui_->eventEdit, ui_->memoryEdit,
                          ui_->bitDepthEdit}) {
    connect(edit, &QLineEdit::textEdited, this, &CPlannerDlg::OnInputEdited);
    connect(edit, &QLineEdit::editingFinished, this, &CPlannerDlg::SaveTexts);
  }
  // A cell counts once its editor closes; the kit is kept at once, like a box losing the focus.
  connect(ui_->kitEditor, &CLensKitEditor::Edited, this, [this] {
    OnInputEdited();
    if (!refreshing_) SaveTexts();
  });
  ui_->kitEditor->chooseFile = context_.chooseKitFile;
  ui_->kitEditor->showMessage = [this](const QString& text) { ShowMessage(text); };
  connect(ui_->useFNumberButton, &QPushButton::clicked, this, &CPlannerDlg::OnUseFNumber);
  connect(ui_->useShutterButton, &QPushButton::clicked, this, &CPlannerDlg::OnUseShutter);
  connect(ui_->modeTable, &QTableView::activated, this, [this](const QModelIndex& at) { OnModeActivated(at.row()); });
  connect(ui_->kitTable, &QTableWidget::activated, this, [this](const QModelIndex& at) { OnLensActivated(at.row()); });
  connect(lightPage_, &LightPage::InputEdited, this, &CPlannerDlg::OnInputEdited);
  connect(lightPage_, &LightPage::InputFinished, this, &CPlannerDlg::SaveTexts);
  connect(lightPage_, &LightPage::UseRecommended, this, &CPlannerDlg::OnUseRecommended);
  connect(keepDistanceButton_, &QPushButton::clicked, this, [this] {
    if (ui_->kitTable->currentRow() < 0) return ShowStatus(QStringLiteral("Select a lens of the kit first"));
    OnLensActivated(ui_->kitTable->currentRow());
  });
  connect(keepFieldButton_, &QPushButton::clicked, this, &CPlannerDlg::OnKeepField);
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
  ui_->kitEditor->SetKitText(texts.lenses);
  lightPage_->SetTexts(texts.light);
}

planner::PlannerTexts CPlannerDlg::Texts() const {
  planner::PlannerTexts texts;
  texts.depth = ui_->depthEdit->text().toStdString();
  texts.wavelength = ui_->wavelengthEdit->text().toStdString();
  texts.blurLimit = ui_->blurLimitEdit->text().toStdString();
  texts.eventMs = ui_->eventEdit->text().toStdString();
  texts.memoryGb = ui_->memoryEdit->text().toStdString();
  texts.bitDepth = ui_->bitDepthEdit->text().toStdString();
  texts.lenses = ui_->kitEditor->KitText();
  texts.light = lightPage_->Texts();
  return texts;
}

void CPlannerDlg::EnterTexts(const planner::PlannerTexts& texts) {
  // Texts entered as a user types them are in the calculator's unit of now, even while the hidden
  // planner has not yet followed a change of unit: the depth must not be converted once more.
  depthUnit_ = calculator_.State().unit;
  ApplyTexts(texts);
  OnInputEdited();
}

void CPlannerDlg::OnInputEdited() {
  if (refreshing_) return;
  RefreshPlanner();
}

void CPlannerDlg::SaveTexts() {
  if (context_.saveIso && isoCamera_) context_.saveIso(*isoCamera_, lightPage_->Texts().iso);
  if (!context_.saveTexts) return;
  // Kept in meters, so that a change of the unit before the next start cannot change the depth.
  planner::PlannerTexts texts = Texts();
  const planner::PlannerValue depth = planner::ReadPlannerInputs(texts, depthUnit_).depth;
  if (depth.Usable() && planner::BeginsWithNumber(texts.depth)) texts.depth = planner::ExactDoubleText(depth.value);
  context_.saveTexts(texts);
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
  const CalcState& state = calculator_.State();
  ConvertDepth(state.unit);
  // The field the user asked for is an input in every mode but Field Width.
  if (state.computeMode != ComputeMode::FieldWidth) wantedField_ = state.fieldWidth;
  const planner::PlannerInputs inputs = planner::ReadPlannerInputs(Texts(), state.unit);
  plan_ = planner::ComputePlan(calculator_.State(), calculator_.CurrentCamera(), inputs,
                               calculator_.AttachmentsWindow()->Choices());
  SetNote(ui_->prerequisiteNote, Q(plan_.prerequisite));
  SetNote(mountedNote_, plan_.attachmentsIncluded.empty()
                            ? QStringLiteral("Planned for the bare lens")
                            : QStringLiteral("Planned ") + Q(plan_.attachmentsIncluded) +
                                  QStringLiteral(" (the optics as mounted)"));
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
  Reasons reasons(QStringList{Q(plan.prerequisite)});
  SetNote(ui_->sharpnessInputNote,
          reasons.First({&plan.inputs.depth.problem, &plan.inputs.wavelength.problem, &plan.inputs.blurLimit.problem}));

  const planner::SharpnessBudget& budget = plan.budget;
  ui_->budgetChart->SetData(BudgetChart(plan));
  SetTip(ui_->budgetChart,
         "Blurs in pixels. Motion: velocity x exposure / field ratio / pitch. Defocus: the near edge's blur circle. "
         "Diffraction: 2.44 x wavelength x working f-number / pitch. Total: root-sum-square; linear sum: worst case. "
         "4 digits; the calculator's Pixel Blur box shows fewer.",
         budget.total.reason);
  ShowText(ui_->largestBox, budget.largestText);
  SetTip(ui_->largestBox, "The largest of motion, defocus and diffraction: the blur to reduce first", {});
  Show(ui_->defocusNearBox, budget.defocusNear, kDefocusNearTip);
  Show(ui_->defocusFarBox, budget.defocusFar, kDefocusFarTip);
  SetNote(ui_->budgetNote, reasons.First({&budget.motion.reason, &budget.defocus.reason, &budget.diffraction.reason,
                                          &budget.total.reason, &budget.sharpNear.reason}));

  Show(ui_->sharpNearBox, budget.sharpNear,
       "Nearest distance where defocus alone stays within the blur limit: u / (1 + a), a = k x p x N x (u - f) / f^2");
  Show(ui_->sharpFarBox, budget.sharpFar,
       "Farthest distance where defocus alone stays within the blur limit: u / (1 - a); Infinity when a >= 1");
  Show(ui_->lightBox, budget.lightStops,
       "Exposure against shutter 1x at f/1.0: -(log2(shutter multiple) + 2 x log2(f-number)) stops");

  const planner::BestFNumber& best = plan.best;
  Show(ui_->optimumBox, best.optimum,
       "N*, where defocus and diffraction in quadrature are least: sqrt(A / (C x (1 + m)))");
  Show(ui_->bestEntryBox, best.bestEntry, "The f-number list entry with the least defocus and diffraction in quadrature");
  Show(ui_->bestSumBox, best.bestEntrySum, "Defocus and diffraction there: sqrt(defocus^2 + diffraction^2)");
  Show(ui_->bestTotalBox, best.bestEntryTotal,
       "The whole budget there, motion included: sqrt(motion^2 + defocus^2 + diffraction^2)");
  Show(ui_->focusAdviceBox, best.focusDistance,
       "The focus that centres the depth best: 2 x near x far / (near + far) of its edges");
  ShowText(ui_->apertureBox, plan.apertureWindow.text);
  SetTip(ui_->apertureBox, "The f-numbers from 1 to 22 whose total blur stays within the blur limit",
         plan.apertureWindow.reason);
  SetNote(ui_->bestNote, reasons.First({&best.optimum.reason, &best.bestEntry.reason, &best.focusDistance.reason,
                                        &plan.apertureWindow.reason}));
  ui_->useFNumberButton->setEnabled(best.bestEntry.Available());

  const planner::ShutterLimit& shutter = plan.shutterLimit;
  const bool found = shutter.multiple.Available() && std::isfinite(shutter.multiple.value);
  ShowText(ui_->shutterLimitBox,
           found ? shutter.multiple.text + "x, " + shutter.exposureUs.text + " \u00b5s" : shutter.multiple.text);
  SetTip(ui_->shutterLimitBox,
         "The longest exposure whose motion blur stays within the limit: the smallest shutter multiple 1 ... 20 that "
         "keeps it, and its exposure 1e6 / (frame rate x multiple)",
         shutter.multiple.reason);
  Show(ui_->shutterBlurBox, shutter.blur, "Motion blur at that shutter: velocity x exposure / field ratio / pitch");
  SetNote(ui_->shutterNote, reasons.First({&shutter.multiple.reason, &shutter.blur.reason}));
  ui_->useShutterButton->setEnabled(found);
}

void CPlannerDlg::ShowModes() {
  const planner::ModeTable& modes = plan_.modes;
  QStringList headings;
  for (const planner::Column& column : planner::kModeColumns) headings << Heading(column, plan_.state.unit);
  modeModel_->SetTable(&modes, headings);
  ui_->modeTable->setColumnHidden(9, !modes.showRecordTime);
  ui_->modeTable->setColumnHidden(10, !modes.showLight);
  SetNote(ui_->modesNote, Q(modes.reason));
  ui_->modeTable->setToolTip(QStringLiteral("One row per mode of the camera, with the lens, distance and shutter in "
                                            "force; the mode in force is bold. Double-click a row to choose it."));
}

void CPlannerDlg::ShowLenses() {
  const planner::LensKitTable& kit = plan_.kit;
  QTableWidget* table = ui_->kitTable;
  QStringList headings;
  for (const planner::Column& column : planner::kKitColumns) headings << Heading(column, plan_.state.unit);
  headings << QStringLiteral("Best");
  SetHeadings(table, headings);
  for (std::size_t column = 0; column < planner::kKitColumns.size(); ++column) {
    table->horizontalHeaderItem(static_cast<int>(column))->setToolTip(FromText(planner::kKitColumns[column].tip));
  }
  if (table->rowCount() != static_cast<int>(kit.rows.size())) table->setRowCount(static_cast<int>(kit.rows.size()));
  for (std::size_t index = 0; index < kit.rows.size(); ++index) {
    const planner::KitRow& row = kit.rows[index];
    const int r = static_cast<int>(index);
    int c = 0;
    for (const PlanNumber* number : {&row.focalLength, &row.fieldWidth, &row.fieldAngle, &row.depthOfField,
                                     &row.nearFocus, &row.farFocus, &row.pixelBlur, &row.distanceForField}) {
      SetCell(table, r, c, Q(number->text), row.marked);
      table->item(r, c)->setToolTip(FromText(planner::kKitColumns[static_cast<std::size_t>(c)].tip) +
                                    (number->reason.empty() ? QString() : QLatin1Char('\n') + Q(number->reason)));
      ++c;
    }
    SetCell(table, r, c++, row.marked ? QString::fromLatin1(kMarkText) : QString(), row.marked);
  }
  QStringList notes;
  if (!kit.reason.empty()) notes << Q(kit.reason);
  for (const std::string& note : kit.notes) notes << Q(note);
  SetNote(ui_->kitNote, notes.join(QStringLiteral("; ")));
  ui_->kitEditor->ShowChecks(kit);
  QString inForce;
  if (kit.inForce && !kit.rows[*kit.inForce].checks.words.empty()) {
    const planner::KitRow& row = kit.rows[*kit.inForce];
    const std::string name = row.lens.name.empty() ? row.focalLength.text + " mm" : row.lens.name;
    inForce = QStringLiteral("Lens in force, ") + Q(name) + QStringLiteral(": ") + Q(row.checks.words);
  }
  SetNote(lensInForceNote_, inForce);
  const CalcState& state = plan_.state;
  const QString length = FromText(LengthUnitName(state.unit));
  const double toUnit = FromMetersFactor(state.unit);
  QString targets = QStringLiteral("Distance ") + Q(FormatG4(state.objectDistance * toUnit)) + QLatin1Char(' ') + length;
  if (wantedField_ > 0) {
    targets += QStringLiteral(", wanted field ") + Q(FormatG4(wantedField_ * toUnit)) + QLatin1Char(' ') + length;
    if (FormatG4(wantedField_ * toUnit) != FormatG4(state.fieldWidth * toUnit)) {
      targets += QStringLiteral(" (now ") + Q(FormatG4(state.fieldWidth * toUnit)) + QStringLiteral(")");
    }
  }
  SetNote(targetsNote_, targets);
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

namespace {

// The calculator's computed value as its result box shows it, with its name.
std::pair<QString, QString> ComputedValue(const CalcState& state) {
  const ResultTexts texts = MakeResultTexts(state);
  switch (state.computeMode) {
    case ComputeMode::FocalLength: return {QStringLiteral("focal length"), Q(texts.focalLength) + QStringLiteral(" mm")};
    case ComputeMode::Magnification: return {QStringLiteral("magnification"), Q(texts.magnification)};
    case ComputeMode::ObjectDistance:
      return {QStringLiteral("object distance"), Q(texts.objectDistance) + QLatin1Char(' ') + FromText(LengthUnitName(state.unit))};
    case ComputeMode::FieldWidth:
      return {QStringLiteral("field width"), Q(texts.fieldWidth) + QLatin1Char(' ') + FromText(LengthUnitName(state.unit))};
  }
  return {};
}

}  // namespace

void CPlannerDlg::OnModeActivated(int row) {
  if (row < 0 || row >= static_cast<int>(plan_.modes.size())) return;
  const auto before = ComputedValue(calculator_.State());
  calculator_.ChooseMode(static_cast<std::size_t>(row));
  const auto after = ComputedValue(calculator_.State());
  ShowStatus(before.second == after.second
                 ? QString()
                 : QStringLiteral("The mode changed the computed ") + after.first + QStringLiteral(" from ") +
                       before.second + QStringLiteral(" to ") + after.second);
}

void CPlannerDlg::OnLensActivated(int row) {
  if (row < 0 || row >= static_cast<int>(plan_.kit.rows.size())) return;
  // A copy: the calculator's cycles refresh this window, which replaces the plan.
  const std::string lens = plan_.kit.rows[static_cast<std::size_t>(row)].lens.text;
  const auto before = ComputedValue(calculator_.State());
  calculator_.EnterFocalLength(lens);
  const CalcState& state = calculator_.State();
  ShowStatus(QStringLiteral("Lens ") + Q(lens) + QStringLiteral(" mm at the same distance: the field is now ") +
             Q(MakeResultTexts(state).fieldWidth) + QLatin1Char(' ') + FromText(LengthUnitName(state.unit)) +
             (before.first == QStringLiteral("field width") ? QString() : QStringLiteral(" (computed)")));
}

void CPlannerDlg::OnKeepField() {
  const int row = ui_->kitTable->currentRow();
  if (row < 0 || row >= static_cast<int>(plan_.kit.rows.size())) {
    return ShowStatus(QStringLiteral("Select a lens of the kit first"));
  }
  if (!(wantedField_ > 0)) return ShowStatus(QStringLiteral("Enter the wanted field width in the calculator first"));
  const std::string lens = plan_.kit.rows[static_cast<std::size_t>(row)].lens.text;
  const CalcState& state = calculator_.State();
  calculator_.PlaceLensForField(lens, FormatG4(wantedField_ * FromMetersFactor(state.unit)));
  ShowStatus(QStringLiteral("Lens ") + Q(lens) + QStringLiteral(" mm for the wanted field: the distance is now ") +
             Q(MakeResultTexts(calculator_.State()).objectDistance) + QLatin1Char(' ') +
             FromText(LengthUnitName(calculator_.State().unit)));
}

void CPlannerDlg::ShowMessage(const QString& text) {
  MessageSink& sink = context_.messages ? *context_.messages : DefaultMessageSink();
  sink.Show(this, QString::fromLatin1(kWindowCaption), text);
}

}  // namespace korvan
