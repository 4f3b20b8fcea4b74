#include "ui/calculator/CStaticLink.h"

#include <memory>

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QStyleOptionFocusRect>
#include <QTimer>
#include <QUrl>

namespace korvan {

CStaticLink::CStaticLink(QWidget* parent) : QLabel(parent) {
  shell_ = {&CStaticLink::OpenWithDesktop, [] { QApplication::beep(); }};
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);  // reachable from the keyboard, opened with Space or Enter
  setTextInteractionFlags(Qt::NoTextInteraction);
}

void CStaticLink::SetShell(Shell shell) { shell_ = std::move(shell); }

bool CStaticLink::ShowsText() const { return pixmap().isNull() && picture().isNull() && movie() == nullptr; }

void CStaticLink::UpdateLook() {
  if (!ShowsText()) return;
  if (!underlined_) {
    QFont underlinedFont = font();
    underlinedFont.setUnderline(true);
    setFont(underlinedFont);
    underlined_ = true;
  }
  QPalette colours = palette();
  const QColor colour = visited_ ? visitedColor_ : unvisitedColor_;
  for (auto group : {QPalette::Active, QPalette::Inactive}) colours.setColor(group, QPalette::WindowText, colour);
  setPalette(colours);
}

bool CStaticLink::event(QEvent* event) {
  // The looks are settled when the label is first polished, after a form has set its text.
  if (event->type() == QEvent::Polish) UpdateLook();
  return QLabel::event(event);
}

void CStaticLink::Open() {
  if (linkTarget_.isEmpty()) linkTarget_ = text();
  if (!shell_.open) {
    if (shell_.beep) shell_.beep();
    return;
  }
  // The dialog holding the link may be gone by the time a slow opener answers; a failure still beeps.
  shell_.open(QUrl(linkTarget_), [link = QPointer<CStaticLink>(this), beep = shell_.beep](bool opened) {
    if (!opened) {
      if (beep) beep();
      return;
    }
    if (!link) return;
    link->visited_ = true;
    link->UpdateLook();
    link->update();
  });
}

void CStaticLink::OpenWithDesktop(const QUrl& url, OpenedReply reply) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (!opener.isEmpty()) {
    constexpr int kStillOpeningMs = 3000;
    // Not a child of the link: closing the dialog must not end the browser's start. Owned by the
    // application, so that it is freed at the latest at exit (ending xdg-open then leaves the
    // browser it started running).
    auto* process = new QProcess(QCoreApplication::instance());
    auto answered = std::make_shared<bool>(false);
    auto answer = [reply = std::move(reply), answered](bool opened) {
      if (*answered) return;
      *answered = true;
      reply(opened);
    };
    QObject::connect(process, &QProcess::finished, process, [process, answer](int code, QProcess::ExitStatus status) {
      answer(status == QProcess::NormalExit && code == 0);
      process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, answer](QProcess::ProcessError error) {
      if (error != QProcess::FailedToStart) return;
      answer(false);
      process->deleteLater();
    });
    QTimer::singleShot(kStillOpeningMs, process, [answer] { answer(true); });
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(opener, {url.toString(QUrl::FullyEncoded)});
    return;
  }
#endif
  reply(QDesktopServices::openUrl(url));
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    Open();
    event->accept();
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

void CStaticLink::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Taken here, so Enter on the link does not also accept the dialog around it.
      Open();
      event->accept();
      return;
    default:
      QLabel::keyPressEvent(event);
  }
}

void CStaticLink::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.rect = contentsRect();
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

}  // namespace korvan
