#include "ui/calculator/CAttachmentsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "camera/CameraDefinition.h"
#include "optics/CalcState.h"
#include "optics/ControlIds.h"
#include "ui/widgets/AccessibleControls.h"
#include "ui/widgets/ScreenFit.h"
#include "ui/widgets/ToolTips.h"
#include "ui/widgets/WidgetLooks.h"
#include "ui_CAttachmentsDlg.h"

namespace korvan {

namespace {

struct Attachment {
  int checkId;
  int listId;
};
constexpr std::array<Attachment, 3> kAttachments = {{
    {ids::kTeleExtenderCheck, ids::kTeleExtenderList},
    {ids::kCloseUpCheck, ids::kCloseUpList},
    {ids::kTubesCheck, ids::kTubesList},
}};

constexpr std::array<int, 5> kValueBoxes = {ids::kAdjFocalLengthBox, ids::kAdjMagnificationBox,
                                            ids::kAdjWorkingFNumberBox, ids::kAdjFieldWidthBox,
                                            ids::kAdjFocusShiftBox};

std::unique_ptr<Ui::CAttachmentsDlg> SetUpForm(QDialog* window) {
  // Before the form fills its lists: a list's accessible view is made as soon as it gets entries.
  InstallAccessibleControls(window);
  auto ui = std::make_unique<Ui::CAttachmentsDlg>();
  ui->setupUi(window);
  return ui;
}

}  // namespace

CAttachmentsDlg::CAttachmentsDlg(const CalcState& state, const CameraDefinition& camera, QWidget* owner)
    : QDialog(owner),
      ui_(SetUpForm(this)),
      controls_(this),
      state_(state),
      camera_(camera) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  for (int id : kValueBoxes) {
    auto* box = controls_.Get<QLineEdit>(id);
    ApplyReadOnlyLook(box);
    SizeForNumbers(box);
  }
  for (int id : {ids::kAdjFieldWidthUnit, ids::kAdjFocusShiftUnit}) SizeForLengthUnits(controls_.Get<QLabel>(id));
  DescribeAttachmentControls(this);
  AddAttachmentToolTips(this);

  for (const Attachment& attachment : kAttachments) {
    const auto changed = [this] {
      RefreshAttachments();
      emit choicesChanged();
    };
    connect(controls_.Get<QCheckBox>(attachment.checkId), &QCheckBox::clicked, this, changed);
    connect(controls_.Get<QComboBox>(attachment.listId), &QComboBox::activated, this, changed);
  }
  // Dismiss, Enter and Esc all end in done(), which only hides a modeless dialog.
  connect(controls_.Get<QPushButton>(ids::kDismissButton), &QPushButton::clicked, this, &QDialog::accept);

  RefreshAttachments();
  layout()->activate();
  setFixedSize(sizeHint());
  FitToScreen(this);
}

CAttachmentsDlg::~CAttachmentsDlg() = default;

void CAttachmentsDlg::ReadChoices() {
  choices_.teleExtenderOn = controls_.Get<QCheckBox>(ids::kTeleExtenderCheck)->isChecked();
  choices_.teleExtenderIndex = controls_.Get<QComboBox>(ids::kTeleExtenderList)->currentIndex();
  choices_.closeUpOn = controls_.Get<QCheckBox>(ids::kCloseUpCheck)->isChecked();
  choices_.closeUpIndex = controls_.Get<QComboBox>(ids::kCloseUpList)->currentIndex();
  choices_.tubesOn = controls_.Get<QCheckBox>(ids::kTubesCheck)->isChecked();
  choices_.tubesIndex = controls_.Get<QComboBox>(ids::kTubesList)->currentIndex();
}

void CAttachmentsDlg::ChooseAttachments(const AttachmentChoices& choices) {
  const std::array<std::pair<bool, int>, 3> wanted = {{{choices.teleExtenderOn, choices.teleExtenderIndex},
                                                        {choices.closeUpOn, choices.closeUpIndex},
                                                        {choices.tubesOn, choices.tubesIndex}}};
  for (std::size_t i = 0; i < kAttachments.size(); ++i) {
    controls_.Get<QCheckBox>(kAttachments[i].checkId)->setChecked(wanted[i].first);
    controls_.Get<QComboBox>(kAttachments[i].listId)->setCurrentIndex(wanted[i].second);
  }
  RefreshAttachments();
  emit choicesChanged();
}

void CAttachmentsDlg::Write(int id, const std::string& text) {
  auto* box = controls_.Get<QLineEdit>(id);
  const QString shown = QString::fromStdString(text);
  if (box->text() != shown) box->setText(shown);
}

void CAttachmentsDlg::RefreshAttachments() {
  ReadChoices();
  controls_.Get<QComboBox>(ids::kTeleExtenderList)->setEnabled(choices_.teleExtenderOn);
  controls_.Get<QComboBox>(ids::kCloseUpList)->setEnabled(choices_.closeUpOn);
  controls_.Get<QComboBox>(ids::kTubesList)->setEnabled(choices_.tubesOn);

  result_ = ComputeAttachments(state_, camera_.pixelPitchX, camera_.pixelPitchY, choices_);
  const AttachmentTexts texts = MakeAttachmentTexts(result_);
  Write(ids::kAdjFocalLengthBox, texts.focalLength);
  Write(ids::kAdjMagnificationBox, texts.magnification);
  Write(ids::kAdjWorkingFNumberBox, texts.workingFNumber);
  Write(ids::kAdjFieldWidthBox, texts.fieldWidth);
  Write(ids::kAdjFocusShiftBox, texts.focusShift);
  const QString unit = QString::fromStdString(texts.unit);
  SetUnitText(controls_.Get<QLabel>(ids::kAdjFieldWidthUnit), unit);
  SetUnitText(controls_.Get<QLabel>(ids::kAdjFocusShiftUnit), unit);
}

}  // namespace korvan
