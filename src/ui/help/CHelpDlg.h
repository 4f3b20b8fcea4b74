#pragma once

#include <QDialog>

class QTextBrowser;

namespace korvan {

// The user guide, shipped in the resources, in a window of its own.
class CHelpDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CHelpDlg(QWidget* parent = nullptr);

  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

// Shows the one help window of `owner`, made on first use, and brings it to the front.
CHelpDlg* ShowHelp(QWidget* owner);

}  // namespace korvan
