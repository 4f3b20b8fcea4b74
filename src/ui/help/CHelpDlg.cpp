#include "ui/help/CHelpDlg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/widgets/ScreenFit.h"

// Resources of a static library are registered by name from the global namespace.
static void InitHelpResources() { Q_INIT_RESOURCE(korvan_help); }

namespace korvan {

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
  InitHelpResources();
  setObjectName(QStringLiteral("CHelpDlg"));
  setWindowTitle(QStringLiteral("Korvan Lens Calculator Help"));
  browser_->setObjectName(QStringLiteral("guide"));
  browser_->setOpenExternalLinks(true);
  browser_->setSource(QUrl(QStringLiteral("qrc:/korvan/help/guide.html")));
  browser_->setToolTip(QStringLiteral("The user guide"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setToolTip(QStringLiteral("Close the help"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(browser_);
  layout->addWidget(buttons);
  resize(fontMetrics().averageCharWidth() * 90, fontMetrics().lineSpacing() * 40);
  FitToScreen(this);
}

CHelpDlg* ShowHelp(QWidget* owner) {
  auto* help = owner->findChild<CHelpDlg*>(QString(), Qt::FindDirectChildrenOnly);
  if (help == nullptr) help = new CHelpDlg(owner);
  help->show();
  help->raise();
  help->activateWindow();
  return help;
}

}  // namespace korvan
