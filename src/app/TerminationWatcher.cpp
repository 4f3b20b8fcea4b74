#include "app/TerminationWatcher.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace korvan {

#ifdef Q_OS_UNIX
namespace {

constexpr int kWatchedSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeEnds[2] = {-1, -1};  // [0] written by the handler, [1] read by the notifier
struct sigaction previousActions[std::size(kWatchedSignals)];

void OnSignal(int signalNumber) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &byte, 1);
  errno = savedErrno;
}

}  // namespace

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent) {
  if (pipeEnds[0] >= 0) return;  // another watcher is in place
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pipeEnds) != 0) {
    pipeEnds[0] = pipeEnds[1] = -1;
    return;
  }
  // Neither end may block (a full pipe must not stall the handler) nor leak into child processes.
  for (int end : pipeEnds) {
    ::fcntl(end, F_SETFD, FD_CLOEXEC);
    ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
  }
  notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationWatcher::OnReadable);

  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kWatchedSignals); ++i) {
    ::sigaction(kWatchedSignals[i], &action, &previousActions[i]);
  }
}

TerminationWatcher::~TerminationWatcher() {
  if (!notifier_) return;
  for (std::size_t i = 0; i < std::size(kWatchedSignals); ++i) {
    ::sigaction(kWatchedSignals[i], &previousActions[i], nullptr);
  }
  delete notifier_;
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
  pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationWatcher::OnReadable() {
  unsigned char bytes[16];
  const ssize_t count = ::read(pipeEnds[1], bytes, sizeof bytes);
  // Several requests at once end the process only once; the first one names the cause.
  if (count > 0) emit terminationRequested(bytes[0]);
}

#else

// Windows ends a windowed program through its windows; there is nothing to watch.
TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent) {}
TerminationWatcher::~TerminationWatcher() = default;
void TerminationWatcher::OnReadable() {}

#endif

}  // namespace korvan
