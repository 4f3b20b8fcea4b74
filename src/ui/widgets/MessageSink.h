#pragma once

#include <QString>

class QWidget;

namespace korvan {

// Every message box of the windows goes through this, so tests can record the messages instead
// of blocking on a modal box.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Show(QWidget* owner, const QString& caption, const QString& text) = 0;
};

// A modal box with the warning icon and one OK button.
class MessageBoxSink final : public MessageSink {
 public:
  void Show(QWidget* owner, const QString& caption, const QString& text) override;
};

MessageSink& DefaultMessageSink();

}  // namespace korvan
