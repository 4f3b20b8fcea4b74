#include "ui/calculator/CCalculatorDlg.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QSvgRenderer>
#include <QSvgWidget>

#include "launch/LaunchMessage.h"
#include "optics/ComputeModes.h"
#include "optics/ControlIds.h"
#include "optics/Display.h"
#include "ui/widgets/AccessibleControls.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/planner/CPlannerDlg.h"
#include "ui/widgets/ScreenFit.h"
#include "ui/widgets/WidgetLooks.h"
#include "ui_CCalculatorDlg.h"

// Resources of a static library are registered by name from the global namespace.
static void InitUiResources() { Q_INIT_RESOURCE(korvan_ui); }

namespace korvan {

namespace {

std::unique_ptr<Ui::CCalculatorDlg> SetUpForm(QDialog* window) {
  InitUiResources();
  // Before the form fills its lists: a list's accessible view is made as soon as it gets entries.
  InstallAccessibleControls(window);
  auto ui = std::make_unique<Ui::CCalculatorDlg>();
  ui->setupUi(window);
  return ui;
}

// The result boxes that are always read-only, and the ones showing a pair of numbers.
constexpr int kNumberBoxes[] = {ids::kResultBox,       ids::kWorkingFNumberBox, ids::kDepthOfFieldBox,
                                ids::kNearFocusBox,    ids::kFarFocusBox,       ids::kHyperFocusBox,
                                ids::kFieldAngleBox,   ids::kFormatBox,         ids::kMotionBlurBox,
                                ids::kPixelBlurBox};
constexpr int kPairBoxes[] = {ids::kSensorWidthBox, ids::kSensorHeightBox, ids::kWidthPxBox, ids::kHeightPxBox};
constexpr int kInputEdits[] = {ids::kFocalLengthEdit, ids::kMagnificationEdit, ids::kObjectDistanceEdit,
                               ids::kFieldWidthEdit, ids::kVelocityEdit};
constexpr int kUnitLabels[] = {ids::kObjectDistanceUnit, ids::kFieldWidthUnit, ids::kVelocityUnit,
                               ids::kDepthOfFieldUnit,   ids::kNearFocusUnit,  ids::kFarFocusUnit,
                               ids::kHyperFocusUnit,     ids::kMotionBlurUnit, ids::kResultUnit};

}  // namespace

CCalculatorDlg::CCalculatorDlg(CalculatorContext context, QWidget* parent)
    : QDialog(parent), ui_(SetUpForm(this)), controls_(this), context_(std::move(context)) {
  // Fixed size with a minimise box and no maximise box.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  controls_.Get<QSvgWidget>(ids::kPicture)->load(QStringLiteral(":/korvan/diagram.svg"));
  SizeControls();
  DescribeCalculatorControls(this);
  ConnectControls();
  AddHelp();
  OnInitDialog();
  layout()->activate();
  setFixedSize(sizeHint());
  FitToScreen(this);
}

CCalculatorDlg::~CCalculatorDlg() = default;

void CCalculatorDlg::SizeControls() {
  auto* picture = controls_.Get<QSvgWidget>(ids::kPicture);
  picture->setFixedSize(picture->renderer()->defaultSize());

  // The resolution list shows a camera's largest image sizes whole ("4096 x 2176" and beyond).
  auto* resolutions = List(ids::kResolutionList);
  QStyleOptionComboBox option;
  option.initFrom(resolutions);
  const QSize widest(resolutions->fontMetrics().horizontalAdvance(QStringLiteral("88888 x 88888")),
                     resolutions->fontMetrics().height());
  resolutions->setMinimumWidth(
      resolutions->style()->sizeFromContents(QStyle::CT_ComboBox, &option, widest, resolutions).width());
  for (int id : kNumberBoxes) {
    ApplyReadOnlyLook(Edit(id));
    SizeForNumbers(Edit(id));
  }
  for (int id : kPairBoxes) {
    ApplyReadOnlyLook(Edit(id));
    SizeForShortNumbers(Edit(id));
  }
  for (int id : kInputEdits) SizeForNumbers(Edit(id));
  for (int id : kUnitLabels) SizeForLengthUnits(controls_.Get<QLabel>(id));

  auto* status = Edit(ids::kStatusLine);
  ApplyReadOnlyLook(status);
  int statusWidth = 0;
  for (const StatusMessage& message : kStatusMessages) {
    statusWidth = std::max(statusWidth, status->fontMetrics().horizontalAdvance(QString::fromLatin1(message.text)));
  }
  status->setMinimumWidth(statusWidth + status->fontMetrics().averageCharWidth() * 2);
  status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

  // Two lines for the longest description, whatever the mode; the window never changes size.
  auto* description = controls_.Get<QLabel>(ids::kDescriptionBox);
  description->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  description->setFixedHeight(description->fontMetrics().lineSpacing() * 2 + 2);

  // The three information frames line their columns up with each other.
  std::array<QGridLayout*, 3> grids = {ui_->cameraGrid, ui_->lensGrid, ui_->sceneGrid};
  std::array<int, 6> widths{};
  for (QGridLayout* grid : grids) {
    for (int index = 0; index < grid->count(); ++index) {
      int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
      grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
      if (columnSpan != 1 || column >= static_cast<int>(widths.size())) continue;
      widths[column] = std::max(widths[column], grid->itemAt(index)->sizeHint().width());
    }
  }
  for (QGridLayout* grid : grids) {
    for (std::size_t column = 0; column < widths.size(); ++column) {
      grid->setColumnMinimumWidth(static_cast<int>(column), widths[column]);
    }
  }
}

void CCalculatorDlg::ConnectControls() {
  connect(List(ids::kComputeModeList), &QComboBox::activated, this, &CCalculatorDlg::OnComputeModeChanged);
  connect(List(ids::kCameraList), &QComboBox::activated, this, &CCalculatorDlg::OnCameraChange);
  connect(List(ids::kFrameRateList), &QComboBox::activated, this, &CCalculatorDlg::OnFrameRateChanged);
  connect(List(ids::kResolutionList), &QComboBox::activated, this, &CCalculatorDlg::OnResolutionChanged);
  connect(List(ids::kShutterList), &QComboBox::activated, this, &CCalculatorDlg::RecalculateBlur);
  connect(List(ids::kDirectionList), &QComboBox::activated, this, &CCalculatorDlg::Recalculate);
  connect(List(ids::kFNumberList), &QComboBox::activated, this, &CCalculatorDlg::Recalculate);
  connect(List(ids::kUnitsList), &QComboBox::activated, this, &CCalculatorDlg::OnUnitsChanged);

  // Typing reaches the same handler that every programmatic write runs (WriteBox); textEdited is
  // not raised by setText, so no write runs a handler twice.
  for (int id : kInputEdits) {
    connect(Edit(id), &QLineEdit::textEdited, this, [this, id] { OnEditTextChanged(id); });
  }

  connect(controls_.Get<QRadioButton>(ids::kFocalLengthRadio), &QRadioButton::clicked, this,
          &CCalculatorDlg::OnFocalLengthRadio);
  connect(controls_.Get<QRadioButton>(ids::kMagnificationRadio), &QRadioButton::clicked, this,
          &CCalculatorDlg::OnMagnificationRadio);

  connect(controls_.Get<QPushButton>(ids::kSelectButton), &QPushButton::clicked, this,
          &CCalculatorDlg::OnSelectCameraFiles);
  connect(controls_.Get<QPushButton>(ids::kAttachmentsButton), &QPushButton::clicked, this,
          &CCalculatorDlg::ShowAttachments);
  connect(controls_.Get<QPushButton>(ids::kResetButton), &QPushButton::clicked, this, &CCalculatorDlg::OnReset);
  connect(controls_.Get<QPushButton>(ids::kAboutButton), &QPushButton::clicked, this, &CCalculatorDlg::OnAbout);
  connect(controls_.Get<QPushButton>(ids::kPlannerButton), &QPushButton::clicked, this, &CCalculatorDlg::ShowPlanner);
  connect(controls_.Get<QPushButton>(ids::kQuitButton), &QPushButton::clicked, this, &CCalculatorDlg::OnQuit);
  AddCameraFileActions();
}

void CCalculatorDlg::OnInitDialog() {
  // The lists hold their initial entries from the form; these are the bound defaults.
  List(ids::kComputeModeList)->setCurrentIndex(static_cast<int>(ComputeMode::FocalLength));
  List(ids::kDirectionList)->setCurrentIndex(static_cast<int>(Direction::Horizontal));
  List(ids::kFNumberList)->setCurrentIndex(0);
  List(ids::kFrameRateList)->setCurrentIndex(0);
  List(ids::kShutterList)->setCurrentIndex(0);
  List(ids::kUnitsList)->setCurrentIndex(static_cast<int>(LengthUnit::Meters));
  List(ids::kResolutionList)->setCurrentIndex(0);
  controls_.Get<QRadioButton>(ids::kFocalLengthRadio)->setChecked(true);
  controls_.Get<QLabel>(ids::kDescriptionBox)->setText(FromText(kDefaultModeDescription));

  AddAboutMenuItem();
  SetUpIcon();

  attachmentsWindow_ = new CAttachmentsDlg(state_, currentCamera_, this);
  attachmentsWindow_->hide();
  PlannerContext planner = context_.planner;
  if (!planner.messages) planner.messages = context_.messages;
  plannerWindow_ = new CPlannerDlg(*this, std::move(planner));
  plannerWindow_->hide();
  AddPlannerMenuItem();
  AddSetupMenuItems();

  statusRowByKey_ = BuildStatusRowByKey();
  OnUnitsChanged();
  if (controls_.Get<QRadioButton>(ids::kMagnificationRadio)->isChecked()) {
    OnMagnificationRadio();
  } else {
    OnFocalLengthRadio();
  }
  OnComputeModeChanged();

  AppendCameraEntry(std::string(kGenericCameraName));
  List(ids::kCameraList)->setCurrentIndex(0);
  genericCamera_ = BuildGenericCamera();
  cameraFilePaths_.assign(1, std::string(kGenericCameraPath));
  ApplyCamera(genericCamera_);

  if (context_.launchRequest && context_.launchRequest->valid) {
    ApplyLaunchRequest();
  } else {
    RestoreLastCamera();
  }
  FillCameraListFromRecentFiles();
  ShowResults();
  // What the host asked for comes before the inputs of the last run.
  if (!context_.launchRequest || !context_.launchRequest->valid) RestoreInputs();

  // No edit box has the focus when the window first shows.
  List(ids::kComputeModeList)->setFocus(Qt::OtherFocusReason);
}

int CCalculatorDlg::ComputeModeIndex() const { return List(ids::kComputeModeList)->currentIndex(); }

int CCalculatorDlg::UnitIndex() const { return List(ids::kUnitsList)->currentIndex(); }

void CCalculatorDlg::OnComputeModeChanged() {
  for (int id : {ids::kFieldWidthEdit, ids::kFocalLengthEdit, ids::kMagnificationEdit, ids::kObjectDistanceEdit}) {
    SetWritable(Edit(id), true);
  }
  auto* focalRadio = controls_.Get<QRadioButton>(ids::kFocalLengthRadio);
  auto* magnificationRadio = controls_.Get<QRadioButton>(ids::kMagnificationRadio);

  const int mode = ComputeModeIndex();
  if (mode >= 0 && mode < static_cast<int>(kComputeModeTexts.size())) {
    controls_.Get<QLabel>(ids::kDescriptionBox)->setText(FromText(kComputeModeTexts[mode].description));
    controls_.Get<QLabel>(ids::kResultName)->setText(FromText(kComputeModeTexts[mode].resultName));
  }
  switch (static_cast<ComputeMode>(mode)) {
    case ComputeMode::FocalLength:
      SetWritable(Edit(ids::kFocalLengthEdit), false);
      SetWritable(Edit(ids::kMagnificationEdit), false);
      focalRadio->setEnabled(false);
      magnificationRadio->setEnabled(false);
      break;
    case ComputeMode::Magnification:
      SetWritable(Edit(ids::kFocalLengthEdit), false);
      SetWritable(Edit(ids::kMagnificationEdit), false);
      SetWritable(Edit(ids::kObjectDistanceEdit), false);
      focalRadio->setEnabled(false);
      magnificationRadio->setEnabled(false);
      break;
    case ComputeMode::ObjectDistance:
      SetWritable(Edit(ids::kObjectDistanceEdit), false);
      focalRadio->setEnabled(true);
      magnificationRadio->setEnabled(false);
      OnFocalLengthRadio();
      break;
    case ComputeMode::FieldWidth:
      SetWritable(Edit(ids::kFieldWidthEdit), false);
      focalRadio->setEnabled(true);
      magnificationRadio->setEnabled(true);
      if (focalRadio->isChecked()) {
        OnFocalLengthRadio();
      } else {
        OnMagnificationRadio();
      }
      break;
  }
  UpdateResultUnitLabel();
  Recalculate();
}

void CCalculatorDlg::OnFocalLengthRadio() {
  switch (static_cast<ComputeMode>(ComputeModeIndex())) {
    case ComputeMode::FocalLength:
    case ComputeMode::Magnification:
      return;
    case ComputeMode::FieldWidth:
      SetWritable(Edit(ids::kObjectDistanceEdit), true);
      [[fallthrough]];
    case ComputeMode::ObjectDistance:
      SetWritable(Edit(ids::kFocalLengthEdit), true);
      SetWritable(Edit(ids::kMagnificationEdit), false);
      controls_.Get<QRadioButton>(ids::kFocalLengthRadio)->setChecked(true);
      return;
  }
}

void CCalculatorDlg::OnMagnificationRadio() {
  switch (static_cast<ComputeMode>(ComputeModeIndex())) {
    case ComputeMode::FocalLength:
    case ComputeMode::Magnification:
      return;
    case ComputeMode::ObjectDistance:
      // Only the focal length can be the lens input when the distance is computed.
      controls_.Get<QRadioButton>(ids::kFocalLengthRadio)->setChecked(true);
      return;
    case ComputeMode::FieldWidth:
      SetWritable(Edit(ids::kObjectDistanceEdit), false);
      SetWritable(Edit(ids::kMagnificationEdit), true);
      SetWritable(Edit(ids::kFocalLengthEdit), false);
      controls_.Get<QRadioButton>(ids::kMagnificationRadio)->setChecked(true);
      return;
  }
}

void CCalculatorDlg::OnReset() {
  state_.focalLengthMm = 0;
  state_.fieldRatio = 0;
  state_.objectDistance = 0;
  state_.fieldWidth = 0;
  state_.velocity = 0;
  state_.computedValue = 0;
  state_.workingFNumber = 0;
  state_.depthOfField = 0;
  // The focus limits go too: left alone they would show a far limit ("Infinity") for inputs that
  // are gone.
  state_.nearFocus = 0;
  state_.farFocus = 0;
  state_.hyperfocal = 0;
  state_.fieldAngleDeg = 0;
  state_.motionBlur = 0;
  state_.pixelBlur = 0;
  SetStatus(kStatusAbout);
  ShowResults();
}

void CCalculatorDlg::OnOK() {
  // Enter must never end the calculator.
}

void CCalculatorDlg::OnQuit() { accept(); }

void CCalculatorDlg::done(int result) {
  // Every way out (Esc, Quit, the title bar, the end of the session) passes here.
  KeepInputs();
  attachmentsWindow_->hide();
  plannerWindow_->hide();
  QDialog::done(result);
}

void CCalculatorDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // A focused push button takes Enter as a click, as in any dialog; everywhere else Enter is
    // the OK command, which does nothing here.
    if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget()); button && button->window() == this) {
      button->click();
    } else {
      OnOK();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace korvan
