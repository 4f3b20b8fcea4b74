// What explains the calculator to its user: the tooltips of its controls and the Help item (F1)
// that opens the user guide.
#include <QAction>

#include "ui/calculator/CCalculatorDlg.h"
#include "ui/help/CHelpDlg.h"
#include "ui/widgets/ToolTips.h"

namespace korvan {

void CCalculatorDlg::AddHelp() {
  AddCalculatorToolTips(this);
  auto* help = new QAction(QStringLiteral("Help"), this);
  help->setObjectName(QStringLiteral("helpAction"));
  help->setShortcut(QKeySequence::HelpContents);
  help->setShortcutContext(Qt::WindowShortcut);
  connect(help, &QAction::triggered, this, [this] { ShowHelp(this); });
  addAction(help);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

}  // namespace korvan
