#include "ui/about/CAboutDlg.h"

#include <QFont>
#include <QSvgWidget>

#include "ui/widgets/ToolTips.h"
#include "ui_CAboutDlg.h"

namespace korvan {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::CAboutDlg>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  ui_->icon->load(QStringLiteral(":/korvan/icon.svg"));
  ui_->c1102->setText(QString::fromLatin1(kAboutVersionText));
  QFont heading = ui_->c1102->font();
  heading.setBold(true);
  ui_->c1102->setFont(heading);

  // Wide enough that the formulas' paragraph takes about four lines, whatever the font.
  const int textWidth = ui_->formulasText->fontMetrics().averageCharWidth() * 62;
  ui_->formulasText->setMinimumWidth(textWidth);
  AddAboutToolTips(this);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

CAboutDlg::~CAboutDlg() = default;

}  // namespace korvan
