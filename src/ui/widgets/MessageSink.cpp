#include "ui/widgets/MessageSink.h"

#include <QMessageBox>

namespace korvan {

void MessageBoxSink::Show(QWidget* owner, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, owner);
  box.exec();
}

MessageSink& DefaultMessageSink() {
  static MessageBoxSink sink;
  return sink;
}

}  // namespace korvan
