#include "ui/widgets/WidgetLooks.h"

#include <algorithm>
#include <iterator>

#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include "optics/CalcState.h"
#include "optics/Units.h"

namespace korvan {

namespace {

// QLineEdit's own inner margin on each side plus room for the caret.
constexpr int kBoxPadding = 10;

int TextWidth(const QWidget* widget, const QString& text) {
  return widget->fontMetrics().horizontalAdvance(text);
}

}  // namespace

void ApplyReadOnlyLook(QLineEdit* box) {
  box->setReadOnly(true);
  QPalette palette = box->palette();
  palette.setBrush(QPalette::Base, palette.brush(QPalette::Window));
  box->setPalette(palette);
}

void SetWritable(QLineEdit* box, bool writable) {
  if (writable == !box->isReadOnly()) return;
  if (writable) {
    box->setReadOnly(false);
    box->setPalette(QPalette());  // back to the inherited palette
  } else {
    ApplyReadOnlyLook(box);
  }
}

void SizeForNumbers(QLineEdit* box) {
  box->setFixedWidth(TextWidth(box, QStringLiteral("-8.888e-88")) + kBoxPadding);
}

void SizeForShortNumbers(QLineEdit* box) {
  box->setFixedWidth(TextWidth(box, QStringLiteral("8888.88")) + kBoxPadding);
}

void SizeForLengthUnits(QLabel* label) {
  int width = 0;
  for (std::size_t index = 0; index < std::size(kUnitListItems); ++index) {
    const LengthUnit unit = LengthUnitFromIndex(static_cast<int>(index));
    for (std::string_view name : {LengthUnitName(unit), SpeedUnitName(unit)}) {
      width = std::max(width, TextWidth(label, QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))));
    }
  }
  label->setMinimumWidth(width);
}

}  // namespace korvan
