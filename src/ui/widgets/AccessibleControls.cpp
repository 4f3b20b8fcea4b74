#include "ui/widgets/AccessibleControls.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>
#include <QVariant>
#include <iterator>
#include <utility>

#include "optics/ControlIds.h"
#include "optics/NumberText.h"
#include "ui/widgets/Controls.h"

namespace korvan {

namespace {

constexpr char kUnitLabelProperty[] = "korvanUnitLabel";
constexpr char kCheckBoxProperty[] = "korvanLabellingCheckBox";

template <class Widget>
const Widget* Linked(const QObject* control, const char* property) {
  return qobject_cast<const Widget*>(control->property(property).value<QObject*>());
}

// "Fr&ame Rate" and "C&ompute:" as they are read: without the mnemonic marker and the colon.
QString Spoken(QString text) {
  for (qsizetype at = text.indexOf(QLatin1Char('&')); at >= 0; at = text.indexOf(QLatin1Char('&'), at + 1)) {
    text.remove(at, 1);  // "&&" keeps one
  }
  text = text.trimmed();
  if (text.endsWith(QLatin1Char(':'))) text.chop(1);
  return text;
}

bool IsControl(const QObject* object) {
  const QString name = object->objectName();
  return name.size() > 1 && name.front() == QLatin1Char('c') && ControlName(ParseInt(name.mid(1).toStdString())) == name;
}

// The label that leads to `widget` by its mnemonic; null when there is none.
const QLabel* BuddyOf(const QWidget* widget) {
  const QWidget* window = widget->window();
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    if (label->buddy() == widget) return label;
  }
  return nullptr;
}

// The current entry is the list's value and, read only, its text: an AT-SPI reader asks the text
// interface (as Qt's own combo box offers it), since the name stays the label's.
class ListAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int start, int end) const override { return List()->currentText().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(List()->currentText().size()); }
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

  QString text(QAccessible::Text kind) const override {
    switch (kind) {
      case QAccessible::Name:
        if (const QWidget* label = Label()) {
          const auto* check = qobject_cast<const QCheckBox*>(label);
          const QString text = Spoken(check ? check->text() : static_cast<const QLabel*>(label)->text());
          if (!text.isEmpty()) return text;
        }
        if (!List()->accessibleName().isEmpty()) return List()->accessibleName();
        return List()->currentText();
      case QAccessible::Value:
        return List()->currentText();
      default:
        return QAccessibleWidget::text(kind);
    }
  }

  QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    auto found = QAccessibleWidget::relations(match);
    if (const QCheckBox* check = Linked<QCheckBox>(List(), kCheckBoxProperty); check && (match & QAccessible::Label)) {
      found.append({QAccessible::queryAccessibleInterface(const_cast<QCheckBox*>(check)), QAccessible::Label});
    }
    return found;
  }

  // The entries' pop-up list, as Qt's own view of a list offers it.
  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(List()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child && child->object() == List()->view() ? 0 : -1;
  }

  QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
  void doAction(const QString& action) override {
    if (action != showMenuAction() && action != pressAction()) return;
    if (List()->view()->isVisible()) {
      List()->hidePopup();
    } else {
      List()->showPopup();
    }
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QComboBox* List() const { return static_cast<QComboBox*>(widget()); }
  const QWidget* Label() const {
    if (const QCheckBox* check = Linked<QCheckBox>(List(), kCheckBoxProperty)) return check;
    return BuddyOf(List());
  }
};

class BoxAccessible : public QAccessibleWidget,
                      public QAccessibleTextInterface,
                      public QAccessibleEditableTextInterface {
 public:
  explicit BoxAccessible(QLineEdit* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface) {
      return Box()->isReadOnly() ? nullptr : static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = Box()->isReadOnly();
    state.editable = !Box()->isReadOnly();
    state.selectableText = true;
    return state;
  }

  QString text(QAccessible::Text kind) const override {
    switch (kind) {
      case QAccessible::Value:
        return Box()->text();
      case QAccessible::Description: {
        // Not the tooltip, which Qt would offer in its place: the unit is what the reader needs.
        QString description = Box()->accessibleDescription();
        if (const QLabel* unit = Linked<QLabel>(Box(), kUnitLabelProperty); unit && !unit->text().isEmpty()) {
          if (!description.isEmpty()) description += QStringLiteral(", ");
          description += unit->text();
        }
        return description;
      }
      default:
        return QAccessibleWidget::text(kind);
    }
  }

  void setText(QAccessible::Text kind, const QString& text) override {
    if (kind == QAccessible::Value && !Box()->isReadOnly()) {
      Box()->selectAll();
      Box()->insert(text);
      return;
    }
    QAccessibleWidget::setText(kind, text);
  }

  // Text: the box's own text, caret and selection.
  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    if (index != 0 || !Box()->hasSelectedText()) return;
    *start = Box()->selectionStart();
    *end = *start + static_cast<int>(Box()->selectedText().size());
  }
  int selectionCount() const override { return Box()->hasSelectedText() ? 1 : 0; }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int index) override {
    if (index == 0) Box()->deselect();
  }
  void setSelection(int, int start, int end) override { Box()->setSelection(start, end - start); }
  int cursorPosition() const override { return Box()->cursorPosition(); }
  void setCursorPosition(int position) override { Box()->setCursorPosition(position); }
  QString text(int start, int end) const override { return Box()->text().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(Box()->text().size()); }
  QRect characterRect(int offset) const override {
    const QString shown = Box()->text();
    if (offset < 0 || offset >= shown.size()) return {};
    const QFontMetrics metrics = Box()->fontMetrics();
    const QRect inside = Box()->contentsRect().marginsRemoved(Box()->textMargins());
    const int textWidth = metrics.horizontalAdvance(shown);
    const Qt::Alignment horizontal = QStyle::visualAlignment(Box()->layoutDirection(), Box()->alignment());
    int left = inside.left() + 2;  // QLineEdit's own inner margin
    if (horizontal & Qt::AlignRight) left = inside.right() - 2 - textWidth;
    if (horizontal & Qt::AlignHCenter) left = inside.center().x() - textWidth / 2;
    const QRect local(left + metrics.horizontalAdvance(shown.left(offset)), inside.top(),
                      metrics.horizontalAdvance(shown.at(offset)), inside.height());
    return QRect(Box()->mapToGlobal(local.topLeft()), local.size());
  }
  int offsetAtPoint(const QPoint& point) const override { return Box()->cursorPositionAt(Box()->mapFromGlobal(point)); }
  void scrollToSubstring(int, int end) override { Box()->setCursorPosition(end); }
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

  // Editable text, only offered while the box is writable. Changes go through the box's own
  // editing, so they start a cycle as typing does.
  void deleteText(int start, int end) override {
    Box()->setSelection(start, end - start);
    Box()->del();
  }
  void insertText(int offset, const QString& text) override {
    Box()->setCursorPosition(offset);
    Box()->insert(text);
  }
  void replaceText(int start, int end, const QString& text) override {
    Box()->setSelection(start, end - start);
    Box()->insert(text);
  }

 private:
  QLineEdit* Box() const { return static_cast<QLineEdit*>(widget()); }
};

constexpr char kWindowProperty[] = "korvanAccessibleControls";

QAccessibleInterface* ControlsFactory(const QString& className, QObject* object) {
  // Asked while the form is still being set up, before the control has its name: the window tells.
  if (!object || !object->isWidgetType()) return nullptr;
  if (!static_cast<QWidget*>(object)->window()->property(kWindowProperty).toBool()) return nullptr;
  if (className == QLatin1String("QComboBox")) return new ListAccessible(static_cast<QComboBox*>(object));
  if (className == QLatin1String("QLineEdit")) return new BoxAccessible(static_cast<QLineEdit*>(object));
  return nullptr;
}

struct UnitOf {
  int box;
  const char* unitLabel;  // object name of the label after the box
};

constexpr UnitOf kCalculatorUnits[] = {
    {ids::kFocalLengthEdit, "focalLengthUnit"}, {ids::kMagnificationEdit, "magnificationUnit"},
    {ids::kObjectDistanceEdit, "c1033"},        {ids::kFieldWidthEdit, "c1040"},
    {ids::kVelocityEdit, "c1036"},              {ids::kResultBox, "c1041"},
    {ids::kSensorWidthBox, "row1Unit"},         {ids::kSensorHeightBox, "row1Unit"},
    {ids::kWidthPxBox, "row2Unit"},             {ids::kHeightPxBox, "row2Unit"},
    {ids::kDepthOfFieldBox, "c1035"},           {ids::kNearFocusBox, "c1046"},
    {ids::kFarFocusBox, "c1045"},               {ids::kHyperFocusBox, "c1047"},
    {ids::kFieldAngleBox, "row8Unit"},          {ids::kFormatBox, "row9Unit"},
    {ids::kMotionBlurBox, "c1037"},             {ids::kPixelBlurBox, "row11Unit"},
};

constexpr UnitOf kAttachmentUnits[] = {
    {ids::kAdjFocalLengthBox, "adjFocalUnit"},
    {ids::kAdjMagnificationBox, "adjMagUnit"},
    {ids::kAdjFieldWidthBox, "c1094"},
    {ids::kAdjFocusShiftBox, "c1095"},
};

void Describe(QWidget* window, const UnitOf* first, const UnitOf* last) {
  for (const UnitOf* entry = first; entry != last; ++entry) {
    auto* box = window->findChild<QWidget*>(ControlName(entry->box));
    const auto* unit = window->findChild<QLabel*>(QLatin1String(entry->unitLabel));
    if (box && unit) SetUnitLabel(box, unit);
  }
  // Read-only boxes are Tab stops like the others: a result is no use to a reader who cannot get to it.
  for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
    if (IsControl(box) && box->focusPolicy() == Qt::ClickFocus) box->setFocusPolicy(Qt::StrongFocus);
  }
}

}  // namespace

void DescribeCalculatorControls(QWidget* calculator) {
  Describe(calculator, std::begin(kCalculatorUnits), std::end(kCalculatorUnits));
}

void DescribeAttachmentControls(QWidget* attachments) {
  Describe(attachments, std::begin(kAttachmentUnits), std::end(kAttachmentUnits));
  for (const auto& [check, list] : {std::pair{ids::kTeleExtenderCheck, ids::kTeleExtenderList},
                                    std::pair{ids::kCloseUpCheck, ids::kCloseUpList},
                                    std::pair{ids::kTubesCheck, ids::kTubesList}}) {
    auto* listWidget = attachments->findChild<QWidget*>(ControlName(list));
    const auto* checkBox = attachments->findChild<QCheckBox*>(ControlName(check));
    if (listWidget && checkBox) SetLabellingCheckBox(listWidget, checkBox);
  }
}

void InstallAccessibleControls(QWidget* window) {
  static bool installed = false;
  if (!installed) QAccessible::installFactory(ControlsFactory);
  installed = true;
  window->setProperty(kWindowProperty, true);
}

void SetUnitLabel(QWidget* box, const QLabel* unit) {
  box->setProperty(kUnitLabelProperty, QVariant::fromValue(static_cast<QObject*>(const_cast<QLabel*>(unit))));
}

void SetUnitText(QLabel* unit, const QString& text) {
  if (unit->text() == text) return;
  unit->setText(text);
  if (!QAccessible::isActive()) return;
  for (QLineEdit* box : unit->window()->findChildren<QLineEdit*>()) {
    if (Linked<QLabel>(box, kUnitLabelProperty) != unit) continue;
    QAccessibleEvent changed(box, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
  }
}

void SetLabellingCheckBox(QWidget* list, const QCheckBox* check) {
  list->setProperty(kCheckBoxProperty, QVariant::fromValue(static_cast<QObject*>(const_cast<QCheckBox*>(check))));
}

}  // namespace korvan
