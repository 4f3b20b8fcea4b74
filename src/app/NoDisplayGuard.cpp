#include "app/NoDisplayGuard.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace korvan {

namespace {

struct HeldMessage {
  QtMsgType type;
  QString category;
  QString text;
};

QtMessageHandler previousHandler = nullptr;
bool guarding = false;
std::vector<HeldMessage>* held = nullptr;

void HoldOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  // A platform that cannot start is the only fatal error while the application object is made.
  if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
    std::fputs(kNoDisplayMessage, stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    std::_Exit(1);
  }
  if (type == QtFatalMsg || !held) {
    if (previousHandler) previousHandler(type, context, text);
    return;
  }
  held->push_back({type, QString::fromLatin1(context.category ? context.category : ""), text});
}

}  // namespace

NoDisplayGuard::NoDisplayGuard() {
  held = new std::vector<HeldMessage>;
  guarding = true;
  previousHandler = qInstallMessageHandler(HoldOrEnd);
}

NoDisplayGuard::~NoDisplayGuard() { Release(); }

void NoDisplayGuard::Release() {
  if (!guarding) return;
  guarding = false;
  qInstallMessageHandler(previousHandler);
  std::vector<HeldMessage> messages = std::move(*held);
  delete held;
  held = nullptr;
  for (const HeldMessage& message : messages) {
    const QByteArray category = message.category.toLatin1();
    const QMessageLogContext context(nullptr, 0, nullptr, category.isEmpty() ? "default" : category.constData());
    qt_message_output(message.type, context, message.text);
  }
}

}  // namespace korvan
