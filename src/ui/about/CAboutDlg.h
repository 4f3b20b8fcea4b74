#pragma once

#include <memory>

#include <QDialog>

#include "version/Version.h"

namespace Ui {
class CAboutDlg;
}

namespace korvan {

inline constexpr char kAboutVersionText[] = "Korvan Lens Calculator Version " KORVAN_VERSION;

// The About box: the program's version, what the formulas cover, and who makes it.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
  ~CAboutDlg() override;

 private:
  std::unique_ptr<Ui::CAboutDlg> ui_;
};

}  // namespace korvan
