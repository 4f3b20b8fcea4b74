#pragma once

#include <memory>

#include <QDialog>

namespace Ui {
class CSplashDlg;
}

namespace korvan {

// The start-up picture. Only "Click to Continue" closes it: Enter, Esc and a close request
// leave it on the screen.
class CSplashDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWidth = 627;
  static constexpr int kHeight = 502;

  explicit CSplashDlg(QWidget* parent = nullptr);
  ~CSplashDlg() override;

 public slots:
  void accept() override {}
  void reject() override {}

 private:
  std::unique_ptr<Ui::CSplashDlg> ui_;
};

}  // namespace korvan
