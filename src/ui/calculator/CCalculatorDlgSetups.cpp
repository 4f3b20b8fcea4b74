// Setups in the calculator window: the inputs of the calculator, its attachments and its planner
// saved as a setup and entered again as the user would enter them, the copy items, and files
// dropped on the window.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>

#include <algorithm>
#include <cctype>

#include "camera/CameraFile.h"
#include "camera/CameraModes.h"
#include "optics/Attachments.h"
#include "optics/ControlIds.h"
#include "optics/ComputeModes.h"
#include "optics/Display.h"
#include "optics/NumberText.h"
#include "optics/Units.h"
#include "planner/JsonText.h"
#include "planner/Setup.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/planner/CPlannerDlg.h"

namespace korvan {

namespace {

// The boxes a setup fills, by option name.
struct BoxOption {
  std::string_view name;
  int id;
};
constexpr BoxOption kBoxOptions[] = {{"focal-length", ids::kFocalLengthEdit},
                                     {"magnification", ids::kMagnificationEdit},
                                     {"distance", ids::kObjectDistanceEdit},
                                     {"field-width", ids::kFieldWidthEdit},
                                     {"velocity", ids::kVelocityEdit}};

// The planner's own inputs, by option name.
struct PlannerOption {
  std::string_view name;
  std::string planner::PlannerTexts::*text;
};
constexpr PlannerOption kPlannerOptions[] = {{"depth", &planner::PlannerTexts::depth},
                                             {"wavelength", &planner::PlannerTexts::wavelength},
                                             {"blur-limit", &planner::PlannerTexts::blurLimit},
                                             {"event-ms", &planner::PlannerTexts::eventMs},
                                             {"memory-gb", &planner::PlannerTexts::memoryGb},
                                             {"bit-depth", &planner::PlannerTexts::bitDepth},
                                             {"lenses", &planner::PlannerTexts::lenses}};

// Options the window enters; any other option of a setup is left out with a note.
bool WindowTakes(std::string_view name) {
  static constexpr std::string_view kLists[] = {"camera", "frame-rate", "resolution", "shutter",
                                                "compute", "lens-input", "f-number", "unit",
                                                "direction", "tele-extender", "close-up", "tubes"};
  return std::find(std::begin(kLists), std::end(kLists), name) != std::end(kLists) ||
         std::any_of(std::begin(kBoxOptions), std::end(kBoxOptions), [&](const BoxOption& b) { return b.name == name; }) ||
         std::any_of(std::begin(kPlannerOptions), std::end(kPlannerOptions),
                     [&](const PlannerOption& p) { return p.name == name; });
}

template <typename Items>
int IndexIn(const Items& items, std::string_view name) {
  const auto found = std::find(std::begin(items), std::end(items), name);
  return found == std::end(items) ? -1 : static_cast<int>(found - std::begin(items));
}

std::string_view TubeOptionName(std::string_view item) { return item.substr(0, item.find(' ')); }

int TubeIndex(std::string_view name) {
  for (std::size_t i = 0; i < kTubeItems.size(); ++i) {
    if (TubeOptionName(kTubeItems[i]) == name) return static_cast<int>(i);
  }
  return -1;
}

// "640x512" and "640 X 512" name the entry "640 x 512".
std::string Squeezed(std::string_view text) {
  std::string squeezed;
  for (char c : text) {
    if (!std::isspace(static_cast<unsigned char>(c))) squeezed += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return squeezed;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void CCalculatorDlg::InsertMenuAction(QAction* action) {
  // Ahead of the About item and its separator, which stay last.
  QAction* before = nullptr;
  for (QAction* existing : actions()) {
    if (existing->isSeparator()) {
      before = existing;
      break;
    }
  }
  insertAction(before, action);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CCalculatorDlg::AddSetupMenuItems() {
  const auto add = [this](const QString& text, const QKeySequence& keys, auto handler) {
    auto* action = new QAction(text, this);
    if (!keys.isEmpty()) {
      action->setShortcut(keys);
      action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(action, &QAction::triggered, this, handler);
    InsertMenuAction(action);
  };
  add(QStringLiteral("Open Setup..."), QKeySequence(Qt::CTRL | Qt::Key_O), [this] { OnOpenSetup(); });
  add(QStringLiteral("Save Setup..."), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { OnSaveSetup(); });
  add(QStringLiteral("Copy Command Line"), QKeySequence(),
      [this] { QApplication::clipboard()->setText(Q(planner::SetupCommandLine(CurrentSetup()))); });
  add(QStringLiteral("Copy Results"), QKeySequence(), [this] { QApplication::clipboard()->setText(ResultsText()); });
  recentSetupsMenu_ = new QMenu(this);
  auto* recent = new QAction(QStringLiteral("Recent Setups"), this);
  recent->setMenu(recentSetupsMenu_);
  InsertMenuAction(recent);
  FillRecentSetupsMenu();
  restoreInputsAction_ = new QAction(QStringLiteral("Restore Inputs at Start"), this);
  restoreInputsAction_->setCheckable(true);
  restoreInputsAction_->setChecked(context_.restoreInputs && context_.restoreInputs());
  restoreInputsAction_->setEnabled(!context_.lastInputsFile.empty());
  connect(restoreInputsAction_, &QAction::toggled, this, [this](bool on) {
    if (context_.saveRestoreInputs) context_.saveRestoreInputs(on);
  });
  InsertMenuAction(restoreInputsAction_);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  setAcceptDrops(true);
}

planner::Setup CCalculatorDlg::CurrentSetup() const {
  planner::Setup setup;
  const int cameraIndex = List(ids::kCameraList)->currentIndex();
  const bool fromFile = cameraIndex > 0 && static_cast<std::size_t>(cameraIndex) < cameraFilePaths_.size() &&
                        currentCamera_.filePath == cameraFilePaths_[static_cast<std::size_t>(cameraIndex)];
  if (fromFile) setup.Set("camera", currentCamera_.filePath);
  setup.camera = currentCamera_;
  setup.camera->filePath = fromFile ? currentCamera_.filePath : std::string();
  setup.Set("frame-rate", List(ids::kFrameRateList)->currentText().toStdString());
  setup.Set("resolution", List(ids::kResolutionList)->currentText().toStdString());
  setup.Set("shutter", FormatInt(List(ids::kShutterList)->currentIndex() + 1));
  setup.Set("compute", std::string(planner::kComputeModeOptionNames[std::max(0, ComputeModeIndex())]));
  const bool magnification = controls_.Get<QRadioButton>(ids::kMagnificationRadio)->isChecked();
  setup.Set("lens-input", std::string(planner::kLensInputOptionNames[magnification ? 1 : 0]));
  // The boxes the user types into; the others show results, which the setup computes again.
  for (const BoxOption& box : kBoxOptions) {
    if (!Edit(box.id)->isReadOnly()) setup.Set(std::string(box.name), Edit(box.id)->text().toStdString());
  }
  setup.Set("f-number", List(ids::kFNumberList)->currentText().toStdString());
  setup.Set("unit", std::string(kUnitListItems[std::max(0, UnitIndex())]));
  setup.Set("direction", std::string(kDirectionListItems[std::max(0, List(ids::kDirectionList)->currentIndex())]));
  const AttachmentChoices& c = attachmentsWindow_->Choices();
  setup.Set("tele-extender", std::string(c.teleExtenderOn ? kTeleExtenderItems[c.teleExtenderIndex] : kTeleExtenderItems[0]));
  setup.Set("close-up", std::string(c.closeUpOn ? kCloseUpItems[c.closeUpIndex] : kCloseUpItems[0]));
  setup.Set("tubes", std::string(TubeOptionName(c.tubesOn ? kTubeItems[c.tubesIndex] : kTubeItems[0])));
  const planner::PlannerTexts texts = plannerWindow_->Texts();
  for (const PlannerOption& option : kPlannerOptions) setup.Set(std::string(option.name), texts.*option.text);
  for (const planner::KitLens& lens : planner::ReadPlannerInputs(texts, state_.unit).kit) {
    setup.lenses.push_back({{{"focalLength", planner::ExactDoubleText(lens.focalLengthMm)}, {"name", lens.text}}});
  }
  return setup;
}

void CCalculatorDlg::FillRecentSetupsMenu() {
  recentSetupsMenu_->clear();
  const std::vector<std::string> paths = context_.recentSetups ? context_.recentSetups() : std::vector<std::string>{};
  int number = 0;
  for (const std::string& path : paths) {
    if (path.empty()) continue;
    auto* action = recentSetupsMenu_->addAction(QStringLiteral("&%1 %2").arg(++number).arg(
        QDir::toNativeSeparators(PathFromBytes(path))));
    connect(action, &QAction::triggered, this, [this, path] { OpenRecentSetup(path); });
  }
  recentSetupsMenu_->menuAction()->setEnabled(number > 0);
}

void CCalculatorDlg::OpenRecentSetup(const std::string& path) {
  if (!QFileInfo(PathFromBytes(path)).isFile()) {
    ShowMessage("The setup file " + path + " no longer exists; it is taken off the recent setups.");
    if (context_.rememberSetup) context_.rememberSetup(path, false);
    FillRecentSetupsMenu();
    return;
  }
  OpenSetup(path);
}

void CCalculatorDlg::RestoreInputs() {
  if (!restoreInputsAction_->isChecked()) return;
  // None kept yet: the first run with the item on starts empty.
  if (!QFileInfo(PathFromBytes(context_.lastInputsFile)).isFile()) return;
  OpenSetup(context_.lastInputsFile, false);
}

void CCalculatorDlg::KeepInputs() {
  if (!restoreInputsAction_ || !restoreInputsAction_->isChecked() || context_.lastInputsFile.empty()) return;
  // Written atomically; a failure at the end has no one left to tell.
  planner::WriteSetupFile(context_.lastInputsFile, CurrentSetup());
}

bool CCalculatorDlg::SaveSetup(const std::string& path) {
  const std::string failure = planner::WriteSetupFile(path, CurrentSetup());
  if (failure.empty()) return true;
  ShowMessage(failure);
  return false;
}

void CCalculatorDlg::OnSaveSetup() {
  const std::optional<QString> path = context_.chooseSetupSavePath
                                          ? context_.chooseSetupSavePath(this)
                                          : std::optional<QString>(QFileDialog::getSaveFileName(
                                                this, QStringLiteral("Save Setup"), QString(),
                                                QStringLiteral("Setups (*.klsetup)")));
  if (!path || path->isEmpty()) return;
  QString chosen = *path;
  if (!chosen.endsWith(QStringLiteral(".klsetup"), Qt::CaseInsensitive)) chosen += QStringLiteral(".klsetup");
  const std::string bytes = PathToBytes(chosen);
  if (SaveSetup(bytes) && context_.rememberSetup) {
    context_.rememberSetup(bytes, true);
    FillRecentSetupsMenu();
  }
}

void CCalculatorDlg::OnOpenSetup() {
  const std::optional<QString> path =
      context_.chooseSetupFile ? context_.chooseSetupFile(this)
                               : std::optional<QString>(QFileDialog::getOpenFileName(
                                     this, QStringLiteral("Open Setup"), QString(),
                                     QStringLiteral("Setups (*.klsetup *.json);;All Files (*)")));
  if (!path || path->isEmpty()) return;
  OpenSetup(PathToBytes(*path));
}

bool CCalculatorDlg::OpenSetup(const std::string& path, bool remember) {
  const planner::SetupReading reading = planner::ReadSetupFile(path);
  if (!reading.setup) {
    ShowMessage(reading.error);
    return false;
  }
  const planner::Setup& setup = *reading.setup;

  // Everything is checked before anything is entered, so that a refused setup changes nothing.
  std::optional<CameraDefinition> camera;
  const planner::SetupCamera source = planner::ResolveSetupCamera(setup);
  const std::string* cameraOption = setup.Find("camera");
  std::string cameraPath = source.source == planner::SetupCamera::Source::File ? source.path : std::string();
  if (!setup.camera && cameraOption != nullptr) cameraPath = *cameraOption;
  if (!cameraPath.empty()) {
    const CameraReadResult read = ReadCameraFile(cameraPath);
    if (read.status != CameraReadStatus::Loaded) {
      ShowMessage(read.message);
      return false;
    }
    camera = read.camera;
  } else if (source.source == planner::SetupCamera::Source::Embedded) {
    camera = *setup.camera;
  }
  const CameraDefinition& target = camera ? *camera : genericCamera_;
  const auto refuse = [this](const std::string& option, const std::string& value) {
    ShowMessage("The setup's " + option + " \"" + value + "\" is not offered here.");
    return false;
  };
  const std::vector<std::string> rates = FrameRateEntries(target);
  const std::string* rate = setup.Find("frame-rate");
  if (rate && std::find(rates.begin(), rates.end(), *rate) == rates.end()) return refuse("frame-rate", *rate);
  const std::string rateText = rate ? *rate : (rates.empty() ? std::string() : rates.front());
  const std::optional<std::size_t> firstAtRate = FindCurrentMode(target, rateText, {});
  const std::string* resolution = setup.Find("resolution");
  if (resolution) {
    const ResolutionList sizes =
        firstAtRate ? BuildResolutionList(target, target.frameRates[*firstAtRate], std::nullopt) : ResolutionList{};
    if (std::none_of(sizes.entries.begin(), sizes.entries.end(),
                     [&](const std::string& e) { return Squeezed(e) == Squeezed(*resolution); })) {
      return refuse("resolution", *resolution);
    }
  }
  const auto checkChoice = [&](const char* name, auto index) {
    const std::string* value = setup.Find(name);
    return value == nullptr || index(*value) >= 0 || refuse(name, *value);
  };
  const auto shutterIndex = [](const std::string& v) {
    const int n = ParseInt(v);
    return n >= 1 && n <= 20 && FormatInt(n) == v ? n : -1;
  };
  const auto fNumberIndex = [this](const std::string& v) { return List(ids::kFNumberList)->findText(Q(v)); };
  if (!checkChoice("shutter", shutterIndex) ||
      !checkChoice("compute", [](const std::string& v) { return IndexIn(planner::kComputeModeOptionNames, v); }) ||
      !checkChoice("lens-input", [](const std::string& v) { return IndexIn(planner::kLensInputOptionNames, v); }) ||
      !checkChoice("f-number", fNumberIndex) ||
      !checkChoice("unit", [](const std::string& v) { return IndexIn(kUnitListItems, v); }) ||
      !checkChoice("direction", [](const std::string& v) { return IndexIn(kDirectionListItems, v); }) ||
      !checkChoice("tele-extender", [](const std::string& v) { return IndexIn(kTeleExtenderItems, v); }) ||
      !checkChoice("close-up", [](const std::string& v) { return IndexIn(kCloseUpItems, v); }) ||
      !checkChoice("tubes", TubeIndex)) {
    return false;
  }

  // Entered as the user would: the camera chosen, each list picked, each box typed into, through
  // the window's own handlers.
  if (!cameraPath.empty()) {
    OpenCameraFiles({QString::fromStdString(cameraPath)});
  } else if (camera) {
    AddCameraToList(camera->name, camera->filePath.empty() ? std::string(kGenericCameraPath) : camera->filePath);
    SelectCameraEntry(camera->name);
    ApplyCamera(*camera);
  } else {
    ChooseListEntry(ids::kCameraList, List(ids::kCameraList)->itemText(0));
  }
  ChooseListEntry(ids::kFrameRateList, Q(rateText));
  if (resolution) {
    QComboBox* sizes = List(ids::kResolutionList);
    for (int i = 0; i < sizes->count(); ++i) {
      if (Squeezed(sizes->itemText(i).toStdString()) == Squeezed(*resolution)) ChooseListEntry(ids::kResolutionList, sizes->itemText(i));
    }
  }
  const auto valueOr = [&](const char* name, std::string_view fallback) {
    const std::string* value = setup.Find(name);
    return value ? *value : std::string(fallback);
  };
  ChooseShutter(shutterIndex(valueOr("shutter", "1")));
  QComboBox* modes = List(ids::kComputeModeList);
  ChooseListEntry(ids::kComputeModeList,
                  modes->itemText(IndexIn(planner::kComputeModeOptionNames, valueOr("compute", "focal-length"))));
  auto* radio = controls_.Get<QRadioButton>(valueOr("lens-input", "focal-length") == "magnification"
                                                ? ids::kMagnificationRadio
                                                : ids::kFocalLengthRadio);
  if (radio->isEnabled()) radio->click();
  QComboBox* units = List(ids::kUnitsList);
  ChooseListEntry(ids::kUnitsList, units->itemText(IndexIn(kUnitListItems, valueOr("unit", "meters"))));
  QComboBox* directions = List(ids::kDirectionList);
  ChooseListEntry(ids::kDirectionList,
                  directions->itemText(IndexIn(kDirectionListItems, valueOr("direction", "horizontal"))));
  ChooseListEntry(ids::kFNumberList, Q(valueOr("f-number", "1.0")));
  AttachmentChoices choices;
  choices.teleExtenderIndex = IndexIn(kTeleExtenderItems, valueOr("tele-extender", "none"));
  choices.closeUpIndex = IndexIn(kCloseUpItems, valueOr("close-up", "none"));
  choices.tubesIndex = TubeIndex(valueOr("tubes", "none"));
  choices.teleExtenderOn = choices.teleExtenderIndex > 0;
  choices.closeUpOn = choices.closeUpIndex > 0;
  choices.tubesOn = choices.tubesIndex > 0;
  // No box holds the focus while they are written, so one full cycle follows, as after typing.
  if (QWidget* focused = QApplication::focusWidget(); focused && focused->window() == this) focused->clearFocus();
  for (const BoxOption& box : kBoxOptions) {
    if (!Edit(box.id)->isReadOnly()) WriteBox(box.id, valueOr(std::string(box.name).c_str(), ""));
  }
  Recalculate();
  // Chosen after the cycle, so that the attachments window shows the values they correct.
  attachmentsWindow_->ChooseAttachments(choices);
  planner::PlannerTexts texts;
  for (const PlannerOption& option : kPlannerOptions) {
    if (const std::string* value = setup.Find(option.name)) texts.*option.text = *value;
  }
  plannerWindow_->EnterTexts(texts);

  std::string notice = source.notice;
  for (const planner::SetupOption& option : setup.options) {
    if (!WindowTakes(option.name) && notice.empty()) notice = "The setup's option " + option.name + " is left out here.";
  }
  if (!notice.empty()) WriteBox(ids::kStatusLine, notice);
  if (remember && context_.rememberSetup) {
    context_.rememberSetup(path, true);
    FillRecentSetupsMenu();
  }
  return true;
}

QString CCalculatorDlg::ResultsText() const {
  const ResultTexts t = MakeResultTexts(state_);
  const UnitLabels units = UnitLabelsFor(state_.unit);
  const auto mode = static_cast<ComputeMode>(std::max(0, ComputeModeIndex()));
  const std::string length(units.length);
  const std::vector<std::array<std::string, 3>> rows = {
      {std::string(kComputeModeTexts[static_cast<std::size_t>(mode)].resultName), t.result,
       std::string(ResultUnitLabel(mode, state_.unit))},
      {"Focal Length", t.focalLength, "mm"},
      {"Magnification", t.magnification, "x"},
      {"Object Distance", t.objectDistance, length},
      {"Field Width", t.fieldWidth, length},
      {"Object Velocity", t.velocity, std::string(units.speed)},
      {"Working f/#", t.workingFNumber, ""},
      {"Depth of Field", t.depthOfField, length},
      {"Near Focus", t.nearFocus, length},
      {"Far Focus", t.farFocus, length},
      {"Hyper Focus", t.hyperFocus, length},
      {"Field Angle", t.fieldAngle, "deg"},
      {"Format-Centered", t.format, "mount"},
      {"Motion Blur", t.motionBlur, length},
      {"Pixel Blur", t.pixelBlur, "pixels"}};
  QString text;
  for (const auto& row : rows) text += Q(row[0] + '\t' + row[1] + '\t' + row[2] + '\n');
  return text;
}

void CCalculatorDlg::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.size() == 1 && urls.front().isLocalFile()) {
    const QString file = urls.front().toLocalFile();
    if (file.endsWith(QStringLiteral(".klsetup"), Qt::CaseInsensitive) ||
        file.endsWith(QStringLiteral(".cam"), Qt::CaseInsensitive)) {
      event->acceptProposedAction();
    }
  }
}

void CCalculatorDlg::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return;
  const QString file = urls.front().toLocalFile();
  event->acceptProposedAction();
  if (file.endsWith(QStringLiteral(".cam"), Qt::CaseInsensitive)) {
    OpenCameraFiles({file});
  } else {
    OpenSetup(PathToBytes(file));
  }
}

}  // namespace korvan
