#include "ui/planner/LightPage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "optics/Units.h"
#include "ui/widgets/CEnvelopeWidget.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/WidgetLooks.h"

namespace korvan {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

void SetText(QLineEdit* box, const QString& text) {
  if (box->text() != text) box->setText(text);
}

// The box's own explanation, and why its value is n/a when it is.
void ShowNumber(QLineEdit* box, const planner::PlanNumber& number) {
  SetText(box, Q(number.text));
  const QString about = box->property("about").toString();
  const QString tip = number.reason.empty() ? about : about + QLatin1Char('\n') + Q(number.reason);
  if (box->toolTip() != tip) box->setToolTip(tip);
}

void SetNote(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
  label->setVisible(!text.isEmpty());
}

QLabel* Note(QWidget* parent, const char* name) {
  auto* note = new QLabel(parent);
  note->setObjectName(QLatin1String(name));
  note->setWordWrap(true);
  note->setVisible(false);
  return note;
}

}  // namespace

LightPage::LightPage(QWidget* parent) : QWidget(parent), grid_(new QGridLayout) {
  setObjectName(QStringLiteral("lightPage"));
  isoEdit_ = AddInput("isoEdit", "ISO:", "", "The camera's ISO rating; 0: no light figures. Kept per camera");
  meterConstantEdit_ = AddInput("meterConstantEdit", "Meter constant:", "lux s",
                                "Incident-light calibration constant C (flat receptor: 240 ... 400)");
  transmissionEdit_ = AddInput("transmissionEdit", "Transmission:", "%", "Light the lens passes");
  luxEdit_ = AddInput("luxEdit", "Light at subject:", "lux", "Measured light at the subject; 0: from the lamps");
  lampLuxEdit_ = AddInput("lampLuxEdit", "Lamp at 1 m:", "lux", "One lamp's light on its axis at 1 m");
  lampDistanceEdit_ = AddInput("lampDistanceEdit", "Lamp distance:", "meters", "Lamp to subject");
  lampDistanceUnit_ = qobject_cast<QLabel*>(grid_->itemAtPosition(row_ - 1, 2)->widget());
  lampsEdit_ = AddInput("lampsEdit", "Lamps:", "", "Lamps of that kind aimed at the subject");
  mainsEdit_ = AddInput("mainsEdit", "Mains:", "Hz", "0: DC or flicker-free lamps; 50 or 60: lamps on AC mains");
  inputNote_ = Note(this, "lightInputNote");
  grid_->addWidget(inputNote_, row_++, 0, 1, 3);
  grid_->setRowMinimumHeight(row_++, fontMetrics().height() / 2);

  exposureBox_ = AddValue("exposureBox", "Exposure:", "usec",
                           "The exposure of a frame: 1 / (frame rate x shutter multiple)");
  neededBox_ = AddValue("lightNeededBox", "Light needed:", "lux",
                           "Light needed at the subject: meter constant x working f-number^2 / (ISO x exposure x transmission)");
  availableBox_ = AddValue("lightAvailableBox", "Light available:", "lux",
                           "The light at the subject when given, else lamps x lamp lux / lamp distance^2 (inverse square)");
  headroomBox_ = AddValue("headroomBox", "Headroom:", "stops",
                           "log2(available / needed): above 0 spare light, below 0 short by that many stops");
  lampsNeededBox_ = AddValue("lampsNeededBox", "Lamps needed:", "",
                           "The fewest lamps of this kind at this distance that give the light needed");
  farthestBox_ = AddValue("farthestLampBox", "Farthest lamp:", "meters",
                           "The farthest lamp distance at which the lamps given still give the light needed: sqrt(lamps x lamp lux / needed)");
  farthestUnit_ = qobject_cast<QLabel*>(grid_->itemAtPosition(row_ - 1, 2)->widget());
  framesPerCycleBox_ = AddValue("framesPerCycleBox", "Frames per light cycle:", "",
                           "Frames per flicker cycle of lamps on AC mains: frame rate / (2 x mains)");
  flickerNote_ = Note(this, "flickerNote");
  flickerNote_->setStyleSheet(QStringLiteral("color: #a03000"));
  grid_->addWidget(flickerNote_, row_++, 0, 1, 3);
  grid_->setRowStretch(row_, 1);
  for (QLabel* unit : {lampDistanceUnit_, farthestUnit_}) SizeForLengthUnits(unit);

  chart_ = new CEnvelopeWidget(this);
  chart_->setObjectName(QStringLiteral("envelopeChart"));
  recommendedLabel_ = new QLabel(this);
  recommendedLabel_->setObjectName(QStringLiteral("recommendedLabel"));
  recommendedLabel_->setWordWrap(true);
  useButton_ = new QPushButton(QStringLiteral("Use"), this);
  useButton_->setObjectName(QStringLiteral("useRecommendedButton"));
  useButton_->setToolTip(QStringLiteral("Selects the recommended shutter and f-number in the calculator"));
  nearestLabel_ = Note(this, "nearestLabel");

  auto* recommended = new QHBoxLayout;
  recommended->addWidget(recommendedLabel_, 1);
  recommended->addWidget(useButton_);
  auto* right = new QVBoxLayout;
  right->addWidget(chart_, 1);
  right->addLayout(recommended);
  right->addWidget(nearestLabel_);
  auto* page = new QHBoxLayout(this);
  page->addLayout(grid_);
  page->addLayout(right, 1);

  connect(useButton_, &QPushButton::clicked, this, &LightPage::UseRecommended);
}

QLineEdit* LightPage::AddInput(const char* name, const char* label, const char* unit, const char* tip) {
  QLineEdit* box = AddValue(name, label, unit, tip);
  SetWritable(box, true);
  connect(box, &QLineEdit::textEdited, this, &LightPage::InputEdited);
  connect(box, &QLineEdit::editingFinished, this, &LightPage::InputFinished);
  return box;
}

QLineEdit* LightPage::AddValue(const char* name, const char* label, const char* unit, const char* about) {
  auto* box = new QLineEdit(this);
  box->setObjectName(QLatin1String(name));
  box->setProperty("about", QString::fromUtf8(about));
  box->setToolTip(QString::fromUtf8(about));
  box->setReadOnly(true);
  ApplyReadOnlyLook(box);
  SizeForNumbers(box);
  QString accessible = QLatin1String(label);
  accessible.chop(1);  // the colon
  box->setAccessibleName(accessible);
  auto* caption = new QLabel(QLatin1String(label), this);
  caption->setBuddy(box);
  grid_->addWidget(caption, row_, 0);
  grid_->addWidget(box, row_, 1);
  grid_->addWidget(new QLabel(QLatin1String(unit), this), row_, 2);
  ++row_;
  return box;
}

planner::LightTexts LightPage::Texts() const {
  planner::LightTexts texts;
  texts.iso = isoEdit_->text().toStdString();
  texts.meterConstant = meterConstantEdit_->text().toStdString();
  texts.transmission = transmissionEdit_->text().toStdString();
  texts.lux = luxEdit_->text().toStdString();
  texts.lampLux = lampLuxEdit_->text().toStdString();
  texts.lampDistance = lampDistanceEdit_->text().toStdString();
  texts.lamps = lampsEdit_->text().toStdString();
  texts.mains = mainsEdit_->text().toStdString();
  return texts;
}

void LightPage::SetTexts(const planner::LightTexts& texts) {
  isoEdit_->setText(Q(texts.iso));
  meterConstantEdit_->setText(Q(texts.meterConstant));
  transmissionEdit_->setText(Q(texts.transmission));
  luxEdit_->setText(Q(texts.lux));
  lampLuxEdit_->setText(Q(texts.lampLux));
  lampDistanceEdit_->setText(Q(texts.lampDistance));
  lampsEdit_->setText(Q(texts.lamps));
  mainsEdit_->setText(Q(texts.mains));
}

void LightPage::Show(const planner::Plan& plan) {
  const QString unit = FromText(LengthUnitName(plan.state.unit));
  for (QLabel* label : {lampDistanceUnit_, farthestUnit_}) {
    if (label->text() != unit) label->setText(unit);
  }
  const planner::LightInputs& in = plan.inputs.light;
  QStringList problems;
  for (const planner::PlannerValue* value : {&in.iso, &in.meterConstant, &in.transmission, &in.lux, &in.lampLux,
                                             &in.lampDistance, &in.lamps, &in.mains}) {
    if (!value->Usable()) problems << Q(value->problem);
  }
  SetNote(inputNote_, problems.join(QLatin1Char('\n')));

  const planner::LightValues& light = plan.light;
  ShowNumber(exposureBox_, light.exposure);
  ShowNumber(neededBox_, light.needed);
  ShowNumber(availableBox_, light.available);
  ShowNumber(headroomBox_, light.headroom);
  ShowNumber(lampsNeededBox_, light.lampsNeeded);
  ShowNumber(farthestBox_, light.farthestLamp);
  ShowNumber(framesPerCycleBox_, light.framesPerCycle);
  SetNote(flickerNote_, Q(light.flickerWarning));

  const planner::Envelope& envelope = plan.envelope;
  chart_->SetEnvelope(envelope);
  QString recommended;
  if (envelope.recommended) {
    recommended = QStringLiteral("Recommended: ") + Q(envelope.recommended->text) + QStringLiteral(" (total ") +
                  Q(envelope.total.text) + QStringLiteral(" px");
    if (envelope.withLight) recommended += QStringLiteral(", headroom ") + Q(envelope.headroom.text) + QStringLiteral(" stops");
    recommended += QStringLiteral(")");
  } else {
    recommended = QStringLiteral("Recommended: ") + Q(envelope.text) + QStringLiteral(" (") + Q(envelope.reason) +
                  QStringLiteral(")");
  }
  if (!envelope.withLight && !envelope.lightReason.empty() && !envelope.cells.empty()) {
    recommended += QStringLiteral("\nSharpness alone: ") + Q(envelope.lightReason);
  }
  if (recommendedLabel_->text() != recommended) recommendedLabel_->setText(recommended);
  QStringList nearest;
  for (const auto* setting : {&envelope.nearestSharp, &envelope.nearestBright}) {
    if (*setting) nearest << Q((*setting)->text + ": " + (*setting)->verdict);
  }
  SetNote(nearestLabel_, nearest.join(QLatin1Char('\n')));
  useButton_->setEnabled(envelope.recommended.has_value());
}

}  // namespace korvan
