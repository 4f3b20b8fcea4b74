#pragma once

#include <memory>

#include <QDialog>

namespace Ui {
class CAboutDlg;
}

namespace korvan {

inline constexpr char kAboutVersionText[] = "Korvan Lens Calculator Version 1.0.8";

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
