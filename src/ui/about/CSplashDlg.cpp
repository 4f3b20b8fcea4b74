#include "ui/about/CSplashDlg.h"

#include <QPushButton>
#include <QSvgWidget>

#include "ui_CSplashDlg.h"

// Resources of a static library are registered by name from the global namespace.
static void InitAppResources() { Q_INIT_RESOURCE(korvan_about); }

namespace korvan {

CSplashDlg::CSplashDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::CSplashDlg>()) {
  InitAppResources();
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setFixedSize(kWidth, kHeight);
  ui_->picture->load(QStringLiteral(":/korvan/splash.svg"));
  ui_->picture->setGeometry(0, 0, kWidth, kHeight);

  // The button lies over the picture's lower right corner, as wide as its text needs.
  QPushButton* button = ui_->c1031;
  const QRect nominal = button->geometry();
  const QSize size = button->sizeHint().expandedTo(nominal.size());
  button->setGeometry(nominal.right() + 1 - size.width(), nominal.bottom() + 1 - size.height(), size.width(),
                      size.height());
  button->setDefault(false);
  button->setAutoDefault(false);
  // accept() is a no-op here, so the button ends the modal run itself.
  connect(button, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
}

CSplashDlg::~CSplashDlg() = default;

}  // namespace korvan
