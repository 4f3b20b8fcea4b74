#pragma once

#include <QString>
#include <vector>

#include "ui/widgets/MessageSink.h"

class QWidget;

namespace korvan::testing {

struct RecordedMessage {
  QWidget* owner;
  QString caption;
  QString text;
};

// Keeps every message a window would have shown in a box, so tests can read them instead of
// blocking on a modal box.
class RecordingSink final : public MessageSink {
 public:
  void Show(QWidget* owner, const QString& caption, const QString& text) override {
    messages.push_back({owner, caption, text});
  }
  std::vector<RecordedMessage> messages;
};

}  // namespace korvan::testing
